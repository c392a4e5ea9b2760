#include "app/download/FilesListDownloaderModel.h"

#include <QDir>
#include <QPointer>

FilesListDownloaderModel::FilesListDownloaderModel(QObject* parent) : QObject(parent) {}

FilesListDownloaderModel::~FilesListDownloaderModel() = default;

void FilesListDownloaderModel::startDownload() {
    FileDownLoadModel::setNetworkActivity(true);
    if (!m_modelOfDownload) {
        m_modelOfDownload = std::make_unique<FileDownLoadModel>();
        m_modelOfDownload->setDelegate(this);
    }
    m_modelOfDownload->cancle();
    m_success.clear();
    m_currentDownloadIndex = 0;
    m_countOfDownloadFile = quint32(m_queue.size());
    if (m_queue.isEmpty()) {
        // Nothing to fetch: the indicator must not stay on.
        FileDownLoadModel::setNetworkActivity(false);
        return;
    }
    downloadWithFile(m_queue.first());
}

void FilesListDownloaderModel::cancleDownload() {
    if (m_modelOfDownload) m_modelOfDownload->cancle();
    FileDownLoadModel::setNetworkActivity(false);
}

void FilesListDownloaderModel::downloadWithFile(const FileDO& file) {
    if (!QDir(m_savePathString).exists()) QDir().mkdir(m_savePathString);
    m_current = file;
    m_modelOfDownload->setSaveNameString(file.strFileName);
    m_modelOfDownload->setUrlString(file.strPath);
    m_modelOfDownload->setPathString(m_savePathString);
    m_modelOfDownload->setUserInfo(QVariant::fromValue(file));
    m_modelOfDownload->setPicturesOnly(m_picturesOnly);
    QPointer<FilesListDownloaderModel> guard(this);
    if (auto* d = m_delegate.get()) d->modelStartDownloadFile(this, file);
    if (!guard) return;
    // A name that would leave the directory is never written.
    if (!FileDO::isSafeFileName(file.strFileName)) {
        modelDownloadSuccsess(m_modelOfDownload.get(), false, QStringLiteral("文件名无效"));
        return;
    }
    m_modelOfDownload->download();
}

void FilesListDownloaderModel::modelReceiveDataWithLength(FileDownLoadModel* model,
                                                          quint32 received, qint64 total) {
    if (model != m_modelOfDownload.get()) return;
    m_current.sizeOfCurrent = received;
    m_current.sizeOfFile = total;
    if (auto* d = m_delegate.get()) d->modelDownloadingFile(this, m_current);
}

void FilesListDownloaderModel::modelDownloadSuccsess(FileDownLoadModel* model, bool success,
                                                     const QString& error) {
    if (model != m_modelOfDownload.get()) return;
    const FileDO file = m_current;
    QPointer<FilesListDownloaderModel> guard(this);
    if (success) {
        m_success.append(file);
        if (auto* d = m_delegate.get()) d->modelFinishDownloadFile(this, file);
    } else if (auto* d = m_delegate.get()) {
        d->modelFailDownloadFile(this, file, error);
    }
    if (!guard) return;
    // A record without a file name equals nothing; it still leaves the list, or the run
    // would fetch it forever.
    if (m_queue.removeIf([&file](const FileDO& entry) { return entry == file; }) == 0 &&
        !m_queue.isEmpty())
        m_queue.removeFirst();
    if (!m_queue.isEmpty()) {
        ++m_currentDownloadIndex;
        downloadWithFile(m_queue.first());
    } else {
        finishDownload();
    }
}

void FilesListDownloaderModel::finishDownload() {
    FileDownLoadModel::setNetworkActivity(false);
    if (auto* d = m_delegate.get()) d->modelFinishDownloadFiles(this, m_success);
}

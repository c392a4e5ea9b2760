#include "app/download/PCFileDownLoadModel.h"

#include "app/download/FileDO.h"
#include "app/download/PCDownloadingQueue.h"
#include "app/download/PCFile.h"
#include "app/download/Scale.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/NetworkActivity.h"
#include "platform/foundation/RegularFile.h"
#include "platform/ui/Image.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QUrl>

namespace {

template <typename T> PCFileDownLoadModel::Ptr make(const QString& url, const QString& path) {
    auto model = std::make_shared<T>();
    model->setUrlString(url);
    model->setPathString(path);
    return model;
}

} // namespace

PCFileDownLoadModel::PCFileDownLoadModel(QObject* parent) : QObject(parent) {
    m_connection.onResponse = [this](const ns::HttpDownload::Response& r) { onResponse(r); };
    m_connection.onData = [this](const QByteArray& piece) { onData(piece); };
    m_connection.onFinished = [this] { finishTransfer(); };
    m_connection.onFailed = [this](int code, const QString& text) {
        const Ptr self = shared_from_this();
        endTransfer();
        // Resuming would only bring more of what is already too much.
        if (code == ns::HttpDownload::DataLengthExceedsMaximum) QFile::remove(m_saveTempPath);
        downloadFailWith(text);
    };
}

PCFileDownLoadModel::~PCFileDownLoadModel() {
    if (m_connection.isRunning()) setNetworkActivity(false);
}

PCFileDownLoadModel::Ptr PCFileDownLoadModel::create(const QString& url, const QString& path) {
    return make<PCFileDownLoadModel>(url, path);
}

PCFileDownLoadModel::Ptr PCFileDownLoadModel::modelWithUrl(const QString& url,
                                                           const QString& path) {
    if (auto running = PCDownloadingQueue::downloadModelWithURL(url, path)) return running;
    return create(url, path);
}

PCFileDownLoadModel::Ptr PCImageFileDownloadModel::create(const QString& url, const QString& path) {
    return make<PCImageFileDownloadModel>(url, path);
}

PCFileDownLoadModel::Ptr PCImageFileDownloadModel::modelWithUrl(const QString& url,
                                                                const QString& path) {
    if (auto running = PCDownloadingQueue::downloadModelWithURL(url, path)) return running;
    return create(url, path);
}

void PCFileDownLoadModel::setNetworkActivity(bool visible) {
    ns::NetworkActivity::setVisible(visible);
}

QString PCFileDownLoadModel::savePath() const {
    return m_pathString + QLatin1Char('/') + m_saveNameString;
}

QString PCFileDownLoadModel::streamPath() const {
    if (m_allowResume) return savePath(); // kept across starts for the range request
    const QString staging = ns::Directories::stagingFolderFor(m_pathString);
    if (staging == m_pathString) return savePath();
    const QByteArray key =
        QCryptographicHash::hash(savePath().toUtf8(), QCryptographicHash::Md5).toHex();
    return staging + QStringLiteral("/part-") + QLatin1String(key);
}

void PCFileDownLoadModel::addDelegate(PCFileDownLoadModelDelegate* delegate) {
    if (delegate) m_delegates.append(ns::Weak<PCFileDownLoadModelDelegate>(delegate));
}

void PCFileDownLoadModel::removeDelegate(PCFileDownLoadModelDelegate* delegate) {
    m_delegates.removeIf([delegate](const ns::Weak<PCFileDownLoadModelDelegate>& entry) {
        return !entry || entry.get() == delegate;
    });
}

void PCFileDownLoadModel::leave(PCFileDownLoadModelDelegate* delegate) {
    removeDelegate(delegate);
    if (delegateCount() == 0 && !m_completion && !m_receiveData) cancle();
}

int PCFileDownLoadModel::delegateCount() const {
    return int(liveDelegates().size());
}

QList<PCFileDownLoadModelDelegate*> PCFileDownLoadModel::liveDelegates() const {
    QList<PCFileDownLoadModelDelegate*> list;
    for (const auto& entry : m_delegates)
        if (entry) list.append(entry.get());
    return list;
}

void PCFileDownLoadModel::download() {
    if (PCDownloadingQueue::contains(this)) return;
    PCDownloadingQueue::addDownload(shared_from_this());
    m_isLoading = true;
    m_downLoadData.clear();
    m_totalLength = 0;
    m_currentLength = 0;
    m_partFile.reset();
    if (m_saveNameString.isEmpty()) m_saveNameString = FileDO::lastPathComponent(m_urlString);
    // Escapes what needs it and keeps escapes already there ("%20" stays "%20").
    const QUrl address(m_urlString, QUrl::TolerantMode);
    if (!m_pathString.isEmpty()) QDir().mkpath(m_pathString);
    m_saveTempPath = ns::PartFile::tempPathFor(streamPath());
    m_requestHeaders.remove("Range");
    qint64 partial = 0;
    if (m_allowResume && streams()) {
        partial = ns::PartFile(streamPath()).partialSize();
        if (partial > 0) {
            m_totalLength = partial;
            m_requestHeaders.insert("Range", ns::HttpDownload::rangeFrom(partial));
        }
    }
    setNetworkActivity(true);
    m_connection.setMaxLength(m_maxLength);
    m_connection.setResumeFrom(partial);
    m_connection.setDeadline(m_deadlineMs);
    m_connection.start(address, m_requestHeaders);
}

void PCFileDownLoadModel::onResponse(const ns::HttpDownload::Response& response) {
    const Ptr self = shared_from_this();
    m_downLoadData.clear();
    if (response.status < 200 || response.status > 299) {
        endTransfer();
        downloadFailWith(ns::HttpDownload::statusError(response.status));
        return;
    }
    m_totalLength = response.contentLength < 0 ? 0 : response.contentLength;
    m_responseHeaders = response.headers;
    if (!streams()) return;
    // The rest goes after what the part file holds; the whole file replaces it.
    m_partFile = std::make_unique<ns::PartFile>(streamPath());
    if (!m_partFile->open(response.offset > 0)) {
        endTransfer();
        downloadFailWith(QStringLiteral("文件保存失败"));
    }
}

void PCFileDownLoadModel::onData(const QByteArray& piece) {
    const Ptr self = shared_from_this();
    m_currentLength += piece.size();
    if (m_partFile) {
        if (!m_partFile->write(piece)) {
            // A full disk or a part file that cannot be written is no download.
            endTransfer();
            downloadFailWith(QStringLiteral("文件保存失败"));
            return;
        }
    } else {
        m_downLoadData.append(piece);
    }
    if (m_receiveData) m_receiveData(m_downLoadData);
    for (auto* delegate : liveDelegates())
        delegate->modelReceiveDataWithLength(this, m_currentLength, m_totalLength);
}

void PCFileDownLoadModel::finishTransfer() {
    const Ptr self = shared_from_this();
    endTransfer();
    downloadSuccess();
}

void PCFileDownLoadModel::endTransfer() {
    setNetworkActivity(false);
    if (m_partFile) m_partFile->close();
    m_connection.cancel();
}

void PCFileDownLoadModel::cancle() {
    const Ptr self = weak_from_this().lock();
    transferOver();
    PCDownloadingQueue::removeDownload(this);
}

void PCFileDownLoadModel::transferOver() {
    m_isLoading = false;
    if (m_connection.isRunning()) endTransfer();
    m_partFile.reset();
}

bool PCFileDownLoadModel::saveFileCache(QString* error) {
    if (!m_downLoadData.isEmpty()) {
        *error = PCFile::fileSaveAtomically(m_pathString, m_saveNameString, m_downLoadData);
        return error->isEmpty();
    }
    if (m_partFile) m_partFile->close();
    if (m_partFile && m_partFile->partialSize() > 0) {
        if (!ns::moveIntoPlace(m_saveTempPath, savePath())) {
            *error = QStringLiteral("文件保存失败");
            return false;
        }
        return true;
    }
    *error = QStringLiteral("下载数据为空");
    return false;
}

PCImageFileDownloadModel::PCImageFileDownloadModel(QObject* parent) : PCFileDownLoadModel(parent) {
    setMaxLength(ui::kMaxPictureBytes);
    setDeadlineMs(ns::HttpDownload::kPictureDeadlineMs);
}

bool PCImageFileDownloadModel::saveFileCache(QString* error) {
    m_picture = QImage();
    const QByteArray data = downLoadData();
    const bool streamed = data.isEmpty() && isNeedOutputStream() && !pathString().isEmpty();
    if (data.isEmpty() && !streamed) return PCFileDownLoadModel::saveFileCache(error);
    const QSize fit(int(Scale::kMaxCachedWidth), 1 << 20);
    m_picture = Scale::limitedWidth(streamed ? ui::decodePicture(saveTempPath(), fit)
                                             : ui::decodePicture(data, fit));
    if (m_picture.isNull()) {
        if (streamed) QFile::remove(saveTempPath());
        *error = QStringLiteral("下载文件不是图片");
        return false;
    }
    return PCFileDownLoadModel::saveFileCache(error);
}

void PCFileDownLoadModel::downloadSuccess() {
    const Ptr self = shared_from_this();
    m_isLoading = false;
    QString error;
    if (!saveFileCache(&error)) {
        downloadFailWith(error);
        return;
    }
    PCDownloadingQueue::removeDownload(this);
    m_partFile.reset();
    if (m_completion) m_completion(true);
    for (auto* delegate : liveDelegates())
        delegate->modelDownloadSuccsess(this, true, QString());
    m_downLoadData.clear();
}

void PCFileDownLoadModel::downloadFailWith(const QString& error) {
    const Ptr self = shared_from_this();
    m_isLoading = false;
    // Out of the register before anyone hears of it, so a retry starts a new transfer.
    PCDownloadingQueue::removeDownload(this);
    m_partFile.reset();
    for (auto* delegate : liveDelegates())
        delegate->modelDownloadSuccsess(this, false, error);
    if (m_completion) m_completion(false);
    m_downLoadData.clear();
}

#include "app/download/FileDownLoadModel.h"

#include "app/download/PCFile.h"
#include "platform/foundation/NetworkActivity.h"

#include <QDir>
#include <QPointer>
#include <QUrl>

FileDownLoadModel::FileDownLoadModel(QObject* parent) : QObject(parent) {
    m_connection.onResponse = [this](const ns::HttpDownload::Response& r) { onResponse(r); };
    m_connection.onData = [this](const QByteArray& piece) {
        m_downLoadData.append(piece);
        if (auto* d = m_delegate.get())
            d->modelReceiveDataWithLength(this, quint32(m_downLoadData.size()), m_totalLength);
    };
    m_connection.onFinished = [this] {
        stopConnection();
        downloadFinish();
    };
    m_connection.onFailed = [this](int, const QString& text) {
        stopConnection();
        downloadFailWith(text);
    };
}

FileDownLoadModel::~FileDownLoadModel() = default; // the download cancels itself

void FileDownLoadModel::setNetworkActivity(bool visible) {
    ns::NetworkActivity::setVisible(visible);
}

void FileDownLoadModel::download() {
    m_downLoadData.clear();
    m_totalLength = 0;
    m_isLoading = true;
    m_connection.setMaxLength(maxLength());
    m_connection.setDeadline(deadlineMs());
    m_connection.start(QUrl(m_urlString, QUrl::TolerantMode));
}

void FileDownLoadModel::onResponse(const ns::HttpDownload::Response& r) {
    m_downLoadData.clear();
    if (r.status < 200 || r.status > 299) {
        stopConnection();
        downloadFailWith(ns::HttpDownload::statusError(r.status));
        return;
    }
    m_totalLength = r.contentLength < 0 ? 0 : r.contentLength;
}

void FileDownLoadModel::stopConnection() {
    m_isLoading = false;
    setNetworkActivity(false);
    m_connection.cancel();
}

void FileDownLoadModel::cancle() {
    if (!m_isLoading) return;
    m_isLoading = false;
    m_connection.cancel();
}

void FileDownLoadModel::downloadFinish() {
    // Decoded small: whether it is a picture, not how it looks.
    const QString error =
        m_picturesOnly && !m_downLoadData.isEmpty() &&
                ui::decodePicture(m_downLoadData, QSize(64, 64)).isNull()
            ? QStringLiteral("下载文件不是图片")
            : PCFile::fileSaveAtomically(m_pathString, m_saveNameString, m_downLoadData);
    const bool success = error.isEmpty();
    QPointer<FileDownLoadModel> guard(this);
    if (auto* d = m_delegate.get()) d->modelDownloadSuccsess(this, success, error);
    if (guard && m_completion) m_completion(success);
}

void FileDownLoadModel::downloadFailWith(const QString& error) {
    QPointer<FileDownLoadModel> guard(this);
    if (auto* d = m_delegate.get()) d->modelDownloadSuccsess(this, false, error);
    if (guard && m_completion) m_completion(false);
}

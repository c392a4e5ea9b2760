#pragma once

#include "platform/foundation/HttpDownload.h"
#include "platform/foundation/Weak.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

class PCFileDownLoadModel;

class PCFileDownLoadModelDelegate {
public:
    virtual ~PCFileDownLoadModelDelegate() = default;
    virtual void modelReceiveDataWithLength(PCFileDownLoadModel*, qint64 /*received*/,
                                            qint64 /*total*/) {}
    // model:downloadSuccsess:error:
    virtual void modelDownloadSuccsess(PCFileDownLoadModel*, bool /*success*/,
                                       const QString& /*error*/) {}
    // model:unZipSuccsess:error: (archive downloads only; errors joined by "\n")
    virtual void modelUnZipSuccsess(PCFileDownLoadModel*, bool /*success*/,
                                    const QString& /*error*/) {}
};

// Downloads one address into one file of a directory and tells its waiters. While it runs it
// sits in the shared register (PCDownloadingQueue), where a second caller for the same address
// and directory finds it and waits on it too instead of starting another transfer. A file past
// maxLength fails while it arrives (a resumed one with its part file's bytes, one sent whole
// from zero), and its part file goes; a transfer still running at deadlineMs fails then, its
// part file kept. Resuming takes output-stream mode: the part file is what is resumed.
class PCFileDownLoadModel : public QObject,
                            public std::enable_shared_from_this<PCFileDownLoadModel> {
    Q_OBJECT
public:
    using Ptr = std::shared_ptr<PCFileDownLoadModel>;
    using CompletionHandler = std::function<void(bool success)>;
    using ReceiveDataHandler = std::function<void(const QByteArray& soFar)>;

    static Ptr create(const QString& url, const QString& path);
    // The running model for the address and directory, else a new one.
    static Ptr modelWithUrl(const QString& url, const QString& path);
    ~PCFileDownLoadModel() override;

    QString urlString() const { return m_urlString; }
    void setUrlString(const QString& url) { m_urlString = url; }
    QString pathString() const { return m_pathString; }
    void setPathString(const QString& path) { m_pathString = path; }
    // Empty: the last path component of the address.
    QString saveNameString() const { return m_saveNameString; }
    void setSaveNameString(const QString& name) { m_saveNameString = name; }
    QString saveTempPath() const { return m_saveTempPath; }
    double timeout() const { return m_timeout; }
    void setTimeout(double seconds) { m_timeout = seconds; }
    bool isLoading() const { return m_isLoading; }
    bool allowResumeForFileDownloads() const { return m_allowResume; }
    void setAllowResumeForFileDownloads(bool on) { m_allowResume = on; }
    bool isNeedOutputStream() const { return m_needOutputStream; }
    void setIsNeedOutputStream(bool on) { m_needOutputStream = on; }
    QVariant userInfo() const { return m_userInfo; }
    void setUserInfo(const QVariant& info) { m_userInfo = info; }
    QByteArray downLoadData() const { return m_downLoadData; }
    qint64 totalLength() const { return m_totalLength; }
    qint64 currentLength() const { return m_currentLength; }
    QMap<QByteArray, QByteArray> responseHeaders() const { return m_responseHeaders; }
    QMap<QByteArray, QByteArray> requestHeaders() const { return m_requestHeaders; }
    void setRequestHeaders(const QMap<QByteArray, QByteArray>& headers) {
        m_requestHeaders = headers;
    }
    void setCompletionHandler(CompletionHandler handler) { m_completion = std::move(handler); }
    void setReceiveDataHandler(ReceiveDataHandler handler) { m_receiveData = std::move(handler); }
    // The final file: pathString/saveNameString.
    QString savePath() const;
    static constexpr qint64 kDefaultMaxLength = qint64(64) << 20;
    qint64 maxLength() const { return m_maxLength; }
    void setMaxLength(qint64 bytes) { m_maxLength = bytes; }
    // The whole transfer's deadline (ns::HttpDownload's for files, pictures shorter).
    qint64 deadlineMs() const { return m_deadlineMs; }
    void setDeadlineMs(qint64 ms) { m_deadlineMs = ms; }

    // Starts the transfer; does nothing while this model is running.
    void download();
    // Stops the transfer and leaves the register; nobody is told.
    virtual void cancle();
    // Duplicates are kept; delegates are held weakly.
    void addDelegate(PCFileDownLoadModelDelegate* delegate);
    // Removes every occurrence.
    void removeDelegate(PCFileDownLoadModelDelegate* delegate);
    // A waiter goes away: it is removed, and the transfer stops only when nobody else waits.
    void leave(PCFileDownLoadModelDelegate* delegate);
    int delegateCount() const;

    static void setNetworkActivity(bool visible);

    // Use create(): waiters and the register share the model.
    explicit PCFileDownLoadModel(QObject* parent = nullptr);

protected:
    // The file output-stream mode fills, under its name plus ".tmp": beside the final file when
    // it may be resumed, else where each start clears (Directories::stagingFolderFor).
    virtual QString streamPath() const;
    // The transfer is over (not loading, part file closed); the model stays in the register.
    void transferOver();
    // Writes what arrived to the final file; false with a reason when it could not.
    virtual bool saveFileCache(QString* error);
    virtual void downloadSuccess();
    void downloadFailWith(const QString& error);
    QList<PCFileDownLoadModelDelegate*> liveDelegates() const;

private:
    void onResponse(const ns::HttpDownload::Response& response);
    void onData(const QByteArray& piece);
    void finishTransfer();
    void endTransfer();
    bool streams() const { return !m_pathString.isEmpty() && m_needOutputStream; }

    QString m_urlString;
    QString m_pathString;
    QString m_saveNameString;
    QString m_saveTempPath;
    double m_timeout = 30;
    bool m_isLoading = false;
    bool m_allowResume = false;
    bool m_needOutputStream = false;
    QVariant m_userInfo;
    QByteArray m_downLoadData;
    qint64 m_totalLength = 0;
    qint64 m_currentLength = 0;
    QMap<QByteArray, QByteArray> m_responseHeaders;
    QMap<QByteArray, QByteArray> m_requestHeaders;
    QList<ns::Weak<PCFileDownLoadModelDelegate>> m_delegates;
    CompletionHandler m_completion;
    ReceiveDataHandler m_receiveData;
    ns::HttpDownload m_connection;
    std::unique_ptr<ns::PartFile> m_partFile;
    qint64 m_maxLength = kDefaultMaxLength;
    qint64 m_deadlineMs = ns::HttpDownload::kDefaultDeadlineMs;
};

// Picture downloads: at most ui::kMaxPictureBytes within ns::HttpDownload::kPictureDeadlineMs,
// and only what decodes as a picture is saved. The picture is decoded once, as the cache keeps it,
// for every waiter.
class PCImageFileDownloadModel : public PCFileDownLoadModel {
    Q_OBJECT
public:
    static Ptr create(const QString& url, const QString& path);
    static Ptr modelWithUrl(const QString& url, const QString& path);

    explicit PCImageFileDownloadModel(QObject* parent = nullptr);
    // The picture of the last successful download, no wider than the cache keeps pictures.
    QImage picture() const { return m_picture; }

protected:
    bool saveFileCache(QString* error) override;

private:
    QImage m_picture;
};

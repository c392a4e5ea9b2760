#pragma once

#include "platform/foundation/HttpDownload.h"
#include "platform/foundation/Weak.h"
#include "platform/ui/Image.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>

class FileDownLoadModel;

class FileDownLoadModelDelegate {
public:
    virtual ~FileDownLoadModelDelegate() = default;
    virtual void modelReceiveDataWithLength(FileDownLoadModel* model, quint32 received,
                                            qint64 total) = 0;
    virtual void modelDownloadSuccsess(FileDownLoadModel* model, bool success,
                                       const QString& error) = 0;
};

// Downloads one address into memory and writes it to pathString/saveNameString at the end.
// Not shared: each caller runs its own. A body past maxLength fails while it arrives, and a
// transfer still running at deadlineMs fails then.
class FileDownLoadModel : public QObject {
    Q_OBJECT
public:
    explicit FileDownLoadModel(QObject* parent = nullptr);
    ~FileDownLoadModel() override;

    FileDownLoadModelDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(FileDownLoadModelDelegate* delegate) { m_delegate.reset(delegate); }
    QString urlString() const { return m_urlString; }
    void setUrlString(const QString& url) { m_urlString = url; }
    QString pathString() const { return m_pathString; }
    void setPathString(const QString& path) { m_pathString = path; }
    QString saveNameString() const { return m_saveNameString; }
    void setSaveNameString(const QString& name) { m_saveNameString = name; }
    double timeout() const { return m_timeout; }
    void setTimeout(double seconds) { m_timeout = seconds; }
    bool isLoading() const { return m_isLoading; }
    QVariant userInfo() const { return m_userInfo; }
    void setUserInfo(const QVariant& info) { m_userInfo = info; }
    QByteArray downLoadData() const { return m_downLoadData; }
    qint64 totalLength() const { return m_totalLength; }
    // Held in memory whole, so bounded.
    static constexpr qint64 kDefaultMaxLength = qint64(64) << 20;
    qint64 maxLength() const { return m_picturesOnly ? ui::kMaxPictureBytes : kDefaultMaxLength; }
    // The whole transfer's deadline, by the same kinds.
    qint64 deadlineMs() const {
        return m_picturesOnly ? ns::HttpDownload::kPictureDeadlineMs
                              : ns::HttpDownload::kDefaultDeadlineMs;
    }
    // Pictures only: at most ui::kMaxPictureBytes, and what does not decode as a picture is
    // a failure and never saved.
    bool picturesOnly() const { return m_picturesOnly; }
    void setPicturesOnly(bool on) { m_picturesOnly = on; }
    void setCompletionHandler(std::function<void(bool)> handler) {
        m_completion = std::move(handler);
    }

    void download();
    // Stops a running transfer; nobody is told.
    void cancle();
    static void setNetworkActivity(bool visible);

private:
    void downloadFinish();
    void downloadFailWith(const QString& error);
    void stopConnection();
    void onResponse(const ns::HttpDownload::Response& r);

    ns::Weak<FileDownLoadModelDelegate> m_delegate;
    QString m_urlString;
    QString m_pathString;
    QString m_saveNameString;
    double m_timeout = 30;
    bool m_isLoading = false;
    QVariant m_userInfo;
    QByteArray m_downLoadData;
    qint64 m_totalLength = 0;
    bool m_picturesOnly = false;
    std::function<void(bool)> m_completion;
    ns::HttpDownload m_connection;
};

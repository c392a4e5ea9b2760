#pragma once

#include "app/download/FileDO.h"
#include "app/download/FileDownLoadModel.h"
#include "platform/foundation/Weak.h"

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class FilesListDownloaderModel;

class FilesListDownloaderModelDelegate {
public:
    virtual ~FilesListDownloaderModelDelegate() = default;
    virtual void modelStartDownloadFile(FilesListDownloaderModel*, const FileDO&) {}
    virtual void modelDownloadingFile(FilesListDownloaderModel*, const FileDO&) {}
    virtual void modelFinishDownloadFile(FilesListDownloaderModel*, const FileDO&) {}
    virtual void modelFailDownloadFile(FilesListDownloaderModel*, const FileDO&,
                                       const QString& /*error*/) {}
    // The files saved in this run, in list order.
    virtual void modelFinishDownloadFiles(FilesListDownloaderModel*, const QList<FileDO>&) {}
};

// Downloads a list of files one after the other into one directory, telling its delegate of
// each file and of the end of the list. A failed file is reported and the run goes on.
class FilesListDownloaderModel : public QObject, public FileDownLoadModelDelegate {
    Q_OBJECT
public:
    explicit FilesListDownloaderModel(QObject* parent = nullptr);
    ~FilesListDownloaderModel() override;

    QString savePathString() const { return m_savePathString; }
    void setSavePathString(const QString& path) { m_savePathString = path; }
    QList<FileDO> arrayOfDownloadQueues() const { return m_queue; }
    // The home page's lists are a few pictures; a reply naming thousands must not keep the
    // downloader busy for the rest of the session: only the first kMaxFiles are kept.
    static constexpr int kMaxFiles = 50;
    void setArrayOfDownloadQueues(const QList<FileDO>& files) { m_queue = files.mid(0, kMaxFiles); }
    QList<FileDO> arrayOfDownloadSuccessFiles() const { return m_success; }
    FilesListDownloaderModelDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(FilesListDownloaderModelDelegate* delegate) { m_delegate.reset(delegate); }
    quint32 currentDownloadIndex() const { return m_currentDownloadIndex; }
    quint32 countOfDownloadFile() const { return m_countOfDownloadFile; }
    quint32 downloadType() const { return m_downloadType; }
    void setDownloadType(quint32 type) { m_downloadType = type; }
    FileDownLoadModel* modelOfDownload() const { return m_modelOfDownload.get(); }
    // Every file of the list is a picture: see FileDownLoadModel::setPicturesOnly.
    bool picturesOnly() const { return m_picturesOnly; }
    void setPicturesOnly(bool on) { m_picturesOnly = on; }

    void startDownload();
    void cancleDownload();

    void modelReceiveDataWithLength(FileDownLoadModel* model, quint32 received,
                                    qint64 total) override;
    void modelDownloadSuccsess(FileDownLoadModel* model, bool success,
                               const QString& error) override;

private:
    void downloadWithFile(const FileDO& file);
    void finishDownload();

    QString m_savePathString;
    std::unique_ptr<FileDownLoadModel> m_modelOfDownload;
    QList<FileDO> m_queue;
    QList<FileDO> m_success;
    ns::Weak<FilesListDownloaderModelDelegate> m_delegate;
    FileDO m_current;
    quint32 m_currentDownloadIndex = 0;
    quint32 m_countOfDownloadFile = 0;
    quint32 m_downloadType = 0;
    bool m_picturesOnly = false;
};

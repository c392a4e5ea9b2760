#pragma once

#include "app/download/PCFileDownLoadModel.h"

#include <QList>

// The process-wide register of running downloads, in the order they were added.
class PCDownloadingQueue {
public:
    static PCDownloadingQueue& sharedInstance();

    // Null is ignored.
    static void addDownload(const PCFileDownLoadModel::Ptr& model);
    static void removeDownload(const PCFileDownLoadModel* model);
    // The first running model for the address and directory (compared as texts), or null.
    static PCFileDownLoadModel::Ptr downloadModelWithURL(const QString& url, const QString& path);
    static bool contains(const PCFileDownLoadModel* model);

    const QList<PCFileDownLoadModel::Ptr>& arrayOfQueue() const { return m_arrayOfQueue; }

private:
    PCDownloadingQueue() = default;
    QList<PCFileDownLoadModel::Ptr> m_arrayOfQueue;
};

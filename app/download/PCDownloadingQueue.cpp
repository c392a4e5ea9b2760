#include "app/download/PCDownloadingQueue.h"

PCDownloadingQueue& PCDownloadingQueue::sharedInstance() {
    static PCDownloadingQueue queue;
    return queue;
}

void PCDownloadingQueue::addDownload(const PCFileDownLoadModel::Ptr& model) {
    if (model) sharedInstance().m_arrayOfQueue.append(model);
}

void PCDownloadingQueue::removeDownload(const PCFileDownLoadModel* model) {
    if (!model) return;
    auto& list = sharedInstance().m_arrayOfQueue;
    // Taken out first and released after: the register may hold the last reference.
    QList<PCFileDownLoadModel::Ptr> removed;
    for (qsizetype i = list.size() - 1; i >= 0; --i)
        if (list[i].get() == model) removed.append(list.takeAt(i));
}

PCFileDownLoadModel::Ptr PCDownloadingQueue::downloadModelWithURL(const QString& url,
                                                                  const QString& path) {
    for (const auto& model : sharedInstance().m_arrayOfQueue)
        if (model->urlString() == url && model->pathString() == path) return model;
    return nullptr;
}

bool PCDownloadingQueue::contains(const PCFileDownLoadModel* model) {
    for (const auto& entry : sharedInstance().m_arrayOfQueue)
        if (entry.get() == model) return true;
    return false;
}

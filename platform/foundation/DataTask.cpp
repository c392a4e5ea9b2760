#include "platform/foundation/DataTask.h"

#include "platform/foundation/Clock.h"

#include <utility>

namespace ns {

DataTask::DataTask(QObject* owner, Completion completion)
    : QObject(owner), m_completion(std::move(completion)) {}

DataTask::~DataTask() = default; // the transfer cancels itself

DataTask* DataTask::fetch(const QUrl& url, QObject* owner, Completion completion, qint64 timeoutMs,
                          qint64 maxBytes) {
    auto* task = new DataTask(owner, std::move(completion));
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != "http" && scheme != "https")) {
        performAfter(0, task, [task] { task->finish(false, {}); });
        return task;
    }
    HttpTransfer::Request request;
    request.url = url;
    request.followRedirects = true;
    request.maxBodyBytes = maxBytes;
    task->m_transfer.onHead = [task](const HttpTransfer::Head& head) {
        if (head.status < 200 || head.status >= 300) task->finish(false, {});
    };
    task->m_transfer.onData = [task](const QByteArray& piece) { task->m_body += piece; };
    task->m_transfer.onEnd = [task](int code, const QString&) {
        task->finish(code == HttpTransfer::Finished, std::exchange(task->m_body, {}));
    };
    task->m_transfer.start(request);
    performAfter(timeoutMs, task, [task] { task->finish(false, {}); });
    return task;
}

void DataTask::finish(bool ok, const QByteArray& body) {
    if (m_done) return;
    m_done = true;
    m_transfer.cancel();
    Completion completion = std::move(m_completion);
    deleteLater();
    if (completion) completion(ok, body);
}

} // namespace ns

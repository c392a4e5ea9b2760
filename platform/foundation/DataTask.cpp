#include "platform/foundation/DataTask.h"

#include "platform/foundation/Clock.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace ns {

namespace {

QNetworkAccessManager& manager() {
    static QNetworkAccessManager* m = new QNetworkAccessManager;
    return *m;
}

} // namespace

DataTask::DataTask(QObject* owner, Completion completion)
    : QObject(owner), m_completion(std::move(completion)) {}

DataTask::~DataTask() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

DataTask* DataTask::fetch(const QUrl& url, QObject* owner, Completion completion, qint64 timeoutMs,
                          qint64 maxBytes) {
    auto* task = new DataTask(owner, std::move(completion));
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != "http" && scheme != "https")) {
        performAfter(0, task, [task] { task->finish(false, {}); });
        return task;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    task->m_reply = manager().get(request);
    QNetworkReply* reply = task->m_reply;
    connect(reply, &QNetworkReply::downloadProgress, task,
            [reply, maxBytes](qint64 received, qint64) {
                if (received > maxBytes) reply->abort();
            });
    connect(reply, &QNetworkReply::finished, task, [task, reply, maxBytes] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool ok = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
        const QByteArray body = ok ? reply->read(maxBytes + 1) : QByteArray();
        task->finish(ok && body.size() <= maxBytes, body);
    });
    performAfter(timeoutMs, task, [task] { task->finish(false, {}); });
    return task;
}

void DataTask::finish(bool ok, const QByteArray& body) {
    if (m_done) return;
    m_done = true;
    if (m_reply) {
        m_reply->disconnect(this);
        if (m_reply->isRunning()) m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    Completion completion = std::move(m_completion);
    deleteLater();
    if (completion) completion(ok, body);
}

} // namespace ns

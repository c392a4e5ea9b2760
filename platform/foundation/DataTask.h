#pragma once

#include "platform/foundation/HttpTransfer.h"

#include <QByteArray>
#include <QObject>
#include <QUrl>
#include <functional>

namespace ns {

// One GET of a small resource (a picture to share) in the background; redirects are followed,
// never from https to http. The completion runs
// once, on the main loop: with the body on HTTP success, with nothing on any failure, a
// time-out included (the time-out runs on ns::Clock). A task dies with its owner and then
// never calls back.
class DataTask : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(bool ok, const QByteArray& body)>;

    static constexpr qint64 kDefaultTimeoutMs = 10000;
    // Bodies above maxBytes are failures: a picture to share is small.
    static constexpr qint64 kMaxBytes = 8 * 1024 * 1024;

    // Starts the fetch. An address that is not http(s) fails on the next pass of the loop.
    static DataTask* fetch(const QUrl& url, QObject* owner, Completion completion,
                           qint64 timeoutMs = kDefaultTimeoutMs, qint64 maxBytes = kMaxBytes);
    ~DataTask() override;

private:
    DataTask(QObject* owner, Completion completion);
    void finish(bool ok, const QByteArray& body);

    HttpTransfer m_transfer;
    QByteArray m_body;
    Completion m_completion;
    bool m_done = false;
};

} // namespace ns

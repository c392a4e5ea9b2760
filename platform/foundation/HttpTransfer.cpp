#include "platform/foundation/HttpTransfer.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <curl/curl.h>
#include <linux/tcp.h>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace ns {

// What curl works on for one transfer. Curl's callbacks only record into it; the main loop
// hands it on once curl has returned, so no caller's code ever runs inside curl.
struct HttpTransfer::Job {
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    HttpTransfer* owner = nullptr;
    Request request;

    QUrl url;            // the hop under way
    bool secure = false; // the chain has reached https
    int hops = 0;
    QUrl redirect; // where the hop's 3xx leads, once its head is whole

    Head head; // the response being read
    bool headDone = false;
    bool headReported = false;
    qint64 headBytes = 0;
    qint64 bodyBytes = 0;
    QByteArray pending; // body not yet handed on
    bool tooLarge = false;
    bool done = false;
    CURLcode result = CURLE_OK;

    int sends = 0;            // times this hop's request went out
    bool sendRefused = false; // curl would have sent it once more than allowed
    bool staleReuse = false;  // a kept connection held unread bytes: go again on a new one
    curl_socket_t socket = CURL_SOCKET_BAD;
    quint64 receivedAtSend = 0; // the socket's received-byte count when the request went out
    char errorText[CURL_ERROR_SIZE] = {};
};

namespace {

int codeOf(CURLcode result) {
    switch (result) {
    case CURLE_OK:
        return HttpTransfer::Finished;
    case CURLE_OPERATION_TIMEDOUT:
        return HttpTransfer::TimedOut;
    case CURLE_COULDNT_RESOLVE_HOST:
        return HttpTransfer::CannotFindHost;
    case CURLE_COULDNT_CONNECT:
        return HttpTransfer::CannotConnectToHost;
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
        return HttpTransfer::NetworkConnectionLost;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
        return HttpTransfer::SecureConnectionFailed;
    default:
        return HttpTransfer::Unknown;
    }
}

// Bytes the kernel took in on a TCP socket since it opened, framing and encryption included.
quint64 bytesReceived(curl_socket_t s) {
    tcp_info info{};
    socklen_t size = sizeof info;
    if (getsockopt(s, IPPROTO_TCP, TCP_INFO, &info, &size) != 0) return 0;
    return info.tcpi_bytes_received;
}

// True when the server has sent something, closed or reset with no request outstanding.
bool holdsUnreadBytes(curl_socket_t s) {
    char byte = 0;
    return recv(s, &byte, 1, MSG_PEEK | MSG_DONTWAIT) >= 0 ||
           (errno != EAGAIN && errno != EWOULDBLOCK);
}

qint64 lengthOf(const QByteArray& text) {
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    return ok && n >= 0 ? n : -1;
}

} // namespace

// The one curl multi handle of the process, driven by the Qt main loop.
class CurlDriver {
public:
    static CurlDriver& instance() {
        static CurlDriver* driver = new CurlDriver; // lives as long as the process
        return *driver;
    }

    void add(const std::shared_ptr<HttpTransfer::Job>& job) {
        m_jobs.push_back(job);
        curl_multi_add_handle(m_multi, job->easy);
    }

    // Takes the job out of curl and frees it; its connection is closed unless the answer
    // was whole and the connection may be reused.
    void remove(const std::shared_ptr<HttpTransfer::Job>& job) {
        if (!job->easy) return;
        if (!job->done || job->result != CURLE_OK || job->request.atMostOnce)
            curl_easy_setopt(job->easy, CURLOPT_FORBID_REUSE, 1L);
        curl_multi_remove_handle(m_multi, job->easy);
        curl_easy_cleanup(job->easy);
        job->easy = nullptr;
        curl_slist_free_all(job->headers);
        job->headers = nullptr;
        job->owner = nullptr;
        m_jobs.erase(std::remove(m_jobs.begin(), m_jobs.end(), job), m_jobs.end());
    }

    // Starts the job's next hop (a redirect, or the same request on a new connection) on the
    // handle it has. The head is reset by the next status line.
    void rerun(const std::shared_ptr<HttpTransfer::Job>& job) {
        curl_multi_remove_handle(m_multi, job->easy);
        job->headDone = job->headReported = job->done = job->tooLarge = false;
        job->headBytes = job->bodyBytes = 0;
        job->result = CURLE_OK;
        job->sends = 0;
        job->socket = CURL_SOCKET_BAD;
        curl_multi_add_handle(m_multi, job->easy);
    }

    CURLSH* share() const { return m_share; }

    // Called by curl as a request is about to go out on a new or kept connection: each send
    // is counted, and a kept connection with bytes nobody asked for is refused before a byte
    // of the request is written.
    static int onSend(void* user, char*, char*, int remotePort, int localPort) {
        auto* job = static_cast<HttpTransfer::Job*>(user);
        CurlDriver& self = instance();
        const auto it = self.socketAt(localPort, remotePort);
        if (it != self.m_sockets.end() && it->second && holdsUnreadBytes(it->first)) {
            job->staleReuse = true;
            return CURL_PREREQFUNC_ABORT;
        }
        if (++job->sends > (job->request.atMostOnce ? 1 : 2)) {
            job->sendRefused = true;
            return CURL_PREREQFUNC_ABORT;
        }
        if (it == self.m_sockets.end()) return CURL_PREREQFUNC_OK;
        it->second = true;
        job->socket = it->first;
        job->receivedAtSend = bytesReceived(it->first);
        return CURL_PREREQFUNC_OK;
    }

    static int onOpened(void* self, curl_socket_t s, curlsocktype) {
        static_cast<CurlDriver*>(self)->m_sockets[s] = false;
        return CURL_SOCKOPT_OK;
    }

    static int onClose(void* self, curl_socket_t s) {
        auto* d = static_cast<CurlDriver*>(self);
        d->m_sockets.erase(s);
        for (const auto& job : d->m_jobs)
            if (job->socket == s) job->socket = CURL_SOCKET_BAD;
        return close(s);
    }

private:
    struct Watch {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };

    CurlDriver() {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        m_multi = curl_multi_init();
        m_share = curl_share_init();
        curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &CurlDriver::onSocket);
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &CurlDriver::onTimer);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
    }

    static int onSocket(CURL*, curl_socket_t s, int what, void* self, void*) {
        static_cast<CurlDriver*>(self)->watch(s, what);
        return 0;
    }

    static int onTimer(CURLM*, long ms, void* self) {
        auto* d = static_cast<CurlDriver*>(self);
        if (ms < 0)
            d->m_timer.stop();
        else
            d->m_timer.start(int(std::min<long>(ms, 24L * 3600 * 1000)));
        return 0;
    }

    void watch(curl_socket_t s, int what) {
        Watch& w = m_watches[s];
        const auto notifier = [this, s](QSocketNotifier*& n, QSocketNotifier::Type type,
                                        bool wanted) {
            if (!wanted) {
                // It may be the one whose signal is being handled: disarm now, free later.
                if (n) {
                    n->setEnabled(false);
                    n->deleteLater();
                    n = nullptr;
                }
                return;
            }
            if (n) return;
            n = new QSocketNotifier(qintptr(s), type);
            const int mask = type == QSocketNotifier::Read ? CURL_CSELECT_IN : CURL_CSELECT_OUT;
            QObject::connect(n, &QSocketNotifier::activated, [this, s, mask] { act(s, mask); });
        };
        const bool remove = what == CURL_POLL_REMOVE;
        notifier(w.read, QSocketNotifier::Read,
                 !remove && (what == CURL_POLL_IN || what == CURL_POLL_INOUT));
        notifier(w.write, QSocketNotifier::Write,
                 !remove && (what == CURL_POLL_OUT || what == CURL_POLL_INOUT));
        if (remove) m_watches.erase(s);
    }

    // Curl skips some framing unread (a chunk's extension): the kernel's count of what each
    // connection received bounds the answer whatever part of it the bytes are in.
    void bound(HttpTransfer::Job& job) {
        if (job.done || job.socket == CURL_SOCKET_BAD || job.request.maxBodyBytes < 0) return;
        const qint64 body = job.request.maxBodyBytes;
        const quint64 limit = quint64(HttpTransfer::kMaxHeadBytes + body + body / 16);
        if (bytesReceived(job.socket) <= job.receivedAtSend + limit) return;
        job.tooLarge = job.done = true;
        job.result = CURLE_FILESIZE_EXCEEDED;
    }

    // One step of curl (it reads a bounded amount per socket), then what it brought is
    // handed on.
    void act(curl_socket_t s, int mask) {
        int running = 0;
        curl_multi_socket_action(m_multi, s, mask, &running);
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(m_multi, &left)) {
            if (msg->msg != CURLMSG_DONE) continue;
            for (const auto& job : m_jobs)
                if (job->easy == msg->easy_handle) {
                    job->done = true;
                    job->result = msg->data.result;
                }
        }
        // A whole answer is not judged by what came after it.
        for (const auto& job : m_jobs)
            bound(*job);
        // Handing on may cancel, end or start any transfer: go over a copy.
        const std::vector<std::shared_ptr<HttpTransfer::Job>> jobs = m_jobs;
        for (const auto& job : jobs)
            if (job->owner &&
                (job->done || !job->pending.isEmpty() || (job->headDone && !job->headReported)))
                job->owner->deliver();
    }

    CURLM* m_multi = nullptr;
    CURLSH* m_share = nullptr;
    QTimer m_timer;
    std::map<curl_socket_t, Watch> m_watches;
    std::vector<std::shared_ptr<HttpTransfer::Job>> m_jobs;
    // Curl's open sockets, and whether a request has gone out on each.
    std::map<curl_socket_t, bool> m_sockets;

    // Curl names a connection only by its ports as a request goes out.
    std::map<curl_socket_t, bool>::iterator socketAt(int localPort, int remotePort) {
        // The port sits at the same place in an IPv4 and an IPv6 address.
        const auto port = [](int (*name)(int, sockaddr*, socklen_t*), curl_socket_t s) {
            sockaddr_storage address{};
            socklen_t size = sizeof address;
            if (name(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) return -1;
            return int(ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port));
        };
        for (auto it = m_sockets.begin(); it != m_sockets.end(); ++it)
            if (port(getsockname, it->first) == localPort &&
                port(getpeername, it->first) == remotePort)
                return it;
        return m_sockets.end();
    }
};

namespace {

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool isHttps(const QUrl& url) {
    return url.scheme().compare("https", Qt::CaseInsensitive) == 0;
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* job = static_cast<HttpTransfer::Job*>(user);
    const size_t n = size * count;
    job->headBytes += qint64(n);
    if (job->headBytes > HttpTransfer::kMaxHeadBytes) {
        job->tooLarge = true;
        return 0;
    }
    if (job->headDone) return n; // trailers: counted, not kept
    const QByteArray line = QByteArray(data, qsizetype(n)).trimmed();
    if (line.startsWith("HTTP/")) {
        job->head = {}; // nothing of an interim answer or a redirect is the answer's
        job->head.status = line.split(' ').value(1).toInt();
        return n;
    }
    if (!line.isEmpty()) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) return n;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        QByteArray& kept = job->head.headers[name];
        kept = kept.isEmpty() ? value : kept + ", " + value;
        return n;
    }
    // The end of one head: an interim answer or a followed redirect is not the answer.
    const int status = job->head.status;
    if (status >= 100 && status < 200) return n;
    if (job->request.followRedirects && isRedirect(status) &&
        job->hops < HttpTransfer::kMaxRedirects) {
        job->redirect = HttpTransfer::redirectTarget(job->url, job->head.headers.value("location"),
                                                     job->secure);
        if (job->redirect.isValid()) return 0; // ends this hop; its body is not wanted
    }
    job->headDone = true;
    const QByteArray length = job->head.headers.value("content-length");
    job->head.contentLength = length.isEmpty() ? -1 : lengthOf(length);
    if (job->request.maxBodyBytes >= 0 && job->head.contentLength > job->request.maxBodyBytes) {
        job->tooLarge = true;
        return 0;
    }
    return n;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* job = static_cast<HttpTransfer::Job*>(user);
    const size_t n = size * count;
    job->bodyBytes += qint64(n);
    if (job->request.maxBodyBytes >= 0 && job->bodyBytes > job->request.maxBodyBytes) {
        job->tooLarge = true;
        return 0;
    }
    job->pending.append(data, qsizetype(n));
    return n;
}

} // namespace

HttpTransfer::HttpTransfer(QObject* parent) : QObject(parent) {}

HttpTransfer::~HttpTransfer() {
    cancel();
}

void HttpTransfer::start(const Request& request) {
    cancel();
    auto job = std::make_shared<Job>();
    job->owner = this;
    job->request = request;
    job->url = request.url;
    job->secure = isHttps(request.url);
    CURL* e = curl_easy_init();
    job->easy = e;
    const QByteArray url = request.url.toEncoded();
    curl_easy_setopt(e, CURLOPT_URL, url.constData());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_PROXY, ""); // never one from the environment
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    // One answer at a time on a connection, so what it brings is that answer's.
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &CurlDriver::onSend);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, job.get());
    curl_easy_setopt(e, CURLOPT_SOCKOPTFUNCTION, &CurlDriver::onOpened);
    curl_easy_setopt(e, CURLOPT_SOCKOPTDATA, &CurlDriver::instance());
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETFUNCTION, &CurlDriver::onClose);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETDATA, &CurlDriver::instance());
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, job->errorText);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, job.get());
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &onBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, job.get());
    if (request.post) {
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.body.size()));
        curl_easy_setopt(e, CURLOPT_COPYPOSTFIELDS, request.body.constData());
    }
    if (request.atMostOnce) {
        curl_easy_setopt(e, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 1L);
    }
    if (request.cookies) {
        curl_easy_setopt(e, CURLOPT_SHARE, CurlDriver::instance().share());
        curl_easy_setopt(e, CURLOPT_COOKIEFILE, ""); // the cookie engine, in memory only
    }
    if (request.stallTimeoutMs > 0) {
        curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME,
                         long(std::max(1, request.stallTimeoutMs / 1000)));
    }
    job->headers = curl_slist_append(job->headers, "Expect:"); // the body goes at once
    for (const auto& h : request.headers)
        job->headers = curl_slist_append(job->headers, (h.first + ": " + h.second).constData());
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, job->headers);
    m_job = job;
    CurlDriver::instance().add(job);
}

void HttpTransfer::cancel() {
    if (!m_job) return;
    const std::shared_ptr<Job> job = std::exchange(m_job, nullptr);
    CurlDriver::instance().remove(job);
}

void HttpTransfer::deliver() {
    const std::shared_ptr<Job> job = m_job;
    if (!job) return;
    const QPointer<HttpTransfer> self(this);
    const auto gone = [&] { return !self || m_job != job; };
    if (job->headDone && !job->headReported) {
        job->headReported = true;
        if (onHead) onHead(job->head);
        if (gone()) return;
    }
    if (!job->pending.isEmpty()) {
        const QByteArray piece = std::exchange(job->pending, {});
        if (onData) onData(piece);
        if (gone()) return;
    }
    if (!job->done) return;
    if (job->redirect.isValid() || job->staleReuse) {
        if (job->redirect.isValid()) {
            job->url = std::exchange(job->redirect, {});
            job->secure = job->secure || isHttps(job->url);
            ++job->hops;
            curl_easy_setopt(job->easy, CURLOPT_URL, job->url.toEncoded().constData());
            curl_easy_setopt(job->easy, CURLOPT_HTTPGET, 1L);
        } else {
            job->staleReuse = false;
            curl_easy_setopt(job->easy, CURLOPT_FRESH_CONNECT, 1L);
        }
        CurlDriver::instance().rerun(job);
        return;
    }
    int code = codeOf(job->result);
    QString text = QString::fromUtf8(job->errorText);
    // Curl refuses a header line of 100 KB itself, before our count sees it.
    if (job->tooLarge || (!job->headDone && job->result == CURLE_OUT_OF_MEMORY)) {
        code = DataLengthExceedsMaximum;
        text = job->headDone ? QStringLiteral("the resource exceeds the maximum size")
                             : QStringLiteral("the answer's head is too large");
    } else if (job->sendRefused) {
        code = NetworkConnectionLost;
        text = QStringLiteral("the connection was lost before an answer came");
    } else if (text.isEmpty() && code != Finished) {
        text = QString::fromUtf8(curl_easy_strerror(job->result));
    }
    m_job = nullptr;
    CurlDriver::instance().remove(job);
    if (onEnd) onEnd(code, text);
}

QUrl HttpTransfer::redirectTarget(const QUrl& from, const QByteArray& location, bool secure) {
    const QByteArray trimmed = location.trimmed();
    if (trimmed.isEmpty()) return {};
    const QUrl next = from.resolved(QUrl::fromEncoded(trimmed));
    const QString scheme = next.scheme().toLower();
    const bool allowed = scheme == "https" || (scheme == "http" && !secure);
    if (!next.isValid() || next.host().isEmpty() || !allowed) return {};
    return next;
}

void HttpTransfer::clearCookies() {
    CURL* e = curl_easy_init();
    curl_easy_setopt(e, CURLOPT_SHARE, CurlDriver::instance().share());
    curl_easy_setopt(e, CURLOPT_COOKIELIST, "ALL");
    curl_easy_cleanup(e);
}

} // namespace ns

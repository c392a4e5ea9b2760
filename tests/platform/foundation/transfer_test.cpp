#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

#include "platform/foundation/DataTask.h"
#include "platform/foundation/HttpDownload.h"
#include "platform/foundation/HttpTransfer.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Wait.h"

namespace {

// Every hop may take either scheme until the chain has reached https; from then on, https only.
TEST(HttpTransfer, aRedirectGoesToHttpOnlyUntilTheChainHasReachedHttps) {
    const struct {
        const char* from;
        const char* location;
        bool secure;
        const char* to; // "" when not followed
    } cases[] = {
        {"http://a.test/x", "/y?q=1", false, "http://a.test/y?q=1"},
        {"http://a.test/x/", "y", false, "http://a.test/x/y"},
        {"http://a.test/x", "https://b.test/y", false, "https://b.test/y"},
        {"http://a.test/x", "http://c.test/z", false, "http://c.test/z"},
        {"https://b.test/y", "http://c.test/z", true, ""},
        {"http://c.test/z", "http://d.test/w", true, ""}, // reached https one hop before
        {"https://b.test/y", "//c.test/z", true, "https://c.test/z"},
        {"https://b.test/y", "  https://c.test/z  ", true, "https://c.test/z"},
        {"http://a.test/x", "", false, ""},
        {"http://a.test/x", "   ", false, ""},
        {"http://a.test/x", "ftp://a.test/f", false, ""},
        {"http://a.test/x", "file:///etc/hostname", false, ""},
        {"http://a.test/x", "javascript:alert(1)", false, ""},
        {"http://a.test/x", "http://", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.location);
        const QUrl to = ns::HttpTransfer::redirectTarget(QUrl(c.from), c.location, c.secure);
        EXPECT_EQ(to.toString(), QString(c.to));
    }
}

// A followed redirect leaves nothing of its head in the answer's; a 3xx that is not followed
// is the answer, head and body, like any other status.
TEST(HttpTransfer, aRedirectIsFollowedCleanlyOrIsTheAnswer) {
    ScriptedServer server;
    const auto moved = [](const QByteArray& location) {
        auto a = ScriptedServer::html("moved page", 302);
        a.headers = "Location: " + location + "\r\nX-Hop: 1\r\n";
        return a;
    };
    server.setHandler([&](const ScriptedServer::Request& r) {
        if (r.path == "/hop") return moved("/final");
        if (r.path == "/empty") return moved("");
        if (r.path == "/ftp") return moved("ftp://127.0.0.1/f");
        if (r.path == "/loop") return moved("/loop");
        return ScriptedServer::json("whole");
    });
    const struct {
        const char* path;
        bool follow;
        int status;
        QByteArray body;
        int requests;
    } cases[] = {
        {"/hop", true, 200, "whole", 2},
        {"/hop", false, 302, "moved page", 1},
        {"/empty", true, 302, "moved page", 1},
        {"/ftp", true, 302, "moved page", 1},
        {"/loop", true, 302, "moved page", 1 + ns::HttpTransfer::kMaxRedirects},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + (c.follow ? ", followed" : ""));
        const qsizetype before = server.requests().size();
        ns::HttpTransfer transfer;
        std::optional<ns::HttpTransfer::Head> head;
        QByteArray body;
        std::optional<int> end;
        transfer.onHead = [&](const ns::HttpTransfer::Head& h) { head = h; };
        transfer.onData = [&](const QByteArray& piece) { body += piece; };
        transfer.onEnd = [&](int code, const QString&) { end = code; };
        ns::HttpTransfer::Request request;
        request.url = server.url(c.path);
        request.followRedirects = c.follow;
        transfer.start(request);
        ASSERT_TRUE(waitUntil([&] { return end.has_value(); }));
        EXPECT_EQ(*end, ns::HttpTransfer::Finished);
        ASSERT_TRUE(head.has_value());
        EXPECT_EQ(head->status, c.status);
        EXPECT_EQ(head->headers.contains("x-hop"), c.status == 302);
        EXPECT_EQ(head->contentLength, c.body.size());
        EXPECT_EQ(body, c.body);
        EXPECT_EQ(server.requests().size() - before, c.requests);
    }
}

// A 3xx that is not followed reaches every caller as its status: the small fetch and the
// download each fail it as any other status outside 2xx.
TEST(HttpTransfer, aRedirectWithoutAUsableLocationFailsTheSmallFetchAndTheDownload) {
    ScriptedServer server;
    for (const char* location : {"", "ftp://127.0.0.1/f"}) {
        SCOPED_TRACE(*location ? location : "empty");
        auto moved = ScriptedServer::html("not the file", 302);
        moved.headers = QByteArray("Location: ") + location + "\r\n";
        server.setFallback(moved);

        std::optional<bool> fetched;
        ns::DataTask::fetch(server.url("/p.png"), nullptr,
                            [&](bool ok, const QByteArray&) { fetched = ok; });
        ASSERT_TRUE(waitUntil([&] { return fetched.has_value(); }));
        EXPECT_FALSE(*fetched);

        ns::HttpDownload download;
        int status = 0;
        bool ended = false;
        download.onResponse = [&](const ns::HttpDownload::Response& r) { status = r.status; };
        download.onFinished = [&] { ended = true; };
        download.onFailed = [&](int, const QString&) { ended = true; };
        download.start(server.url("/f.zip"));
        ASSERT_TRUE(waitUntil([&] { return ended; }));
        EXPECT_EQ(status, 302);
    }
}

} // namespace

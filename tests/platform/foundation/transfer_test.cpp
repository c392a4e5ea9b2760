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
        {"http://a.test/x/", "y?q=1", false, "http://a.test/x/y?q=1"},
        {"http://a.test/x", "https://b.test/y", false, "https://b.test/y"},
        {"http://a.test/x", "http://c.test/z", false, "http://c.test/z"},
        {"https://b.test/y", "http://c.test/z", true, ""},
        {"http://c.test/z", "http://d.test/w", true, ""}, // reached https one hop before
        {"https://b.test/y", " //c.test/z ", true, "https://c.test/z"},
        {"http://a.test/x", "   ", false, ""},
        {"http://a.test/x", "file:///etc/hostname", false, ""},
        {"http://a.test/x", "http://", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.location);
        const QUrl to = ns::HttpTransfer::redirectTarget(QUrl(c.from), c.location, c.secure);
        EXPECT_EQ(to.toString(), QString(c.to));
    }
}

// A followed redirect leaves nothing of its head in the answer's; a 3xx that is not followed
// is the answer, and reaches the download and the small fetch as its status, which fail it.
TEST(HttpTransfer, aRedirectIsFollowedCleanlyOrIsTheAnswerEveryCallerSees) {
    ScriptedServer server;
    server.setHandler([&](const ScriptedServer::Request& r) {
        auto moved = ScriptedServer::html("moved page", 302);
        const QByteArray to = r.path == "/hop" ? "/final" : r.path == "/ftp" ? "ftp://h/f" : "";
        moved.headers = "Location: " + (r.path == "/loop" ? r.path : to) + "\r\nX-Hop: 1\r\n";
        return r.path == "/final" ? ScriptedServer::json("whole") : moved;
    });
    const struct {
        const char* path;
        int status;
        QByteArray body;
        int requests;
    } cases[] = {
        {"/hop", 200, "whole", 2},
        {"/empty", 302, "moved page", 1},
        {"/ftp", 302, "moved page", 1},
        {"/loop", 302, "moved page", 1 + ns::HttpTransfer::kMaxRedirects},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const qsizetype before = server.requests().size();
        ns::HttpDownload download;
        std::optional<ns::HttpDownload::Response> head;
        QByteArray body;
        bool ended = false;
        download.onResponse = [&](const ns::HttpDownload::Response& r) { head = r; };
        download.onData = [&](const QByteArray& piece) { body += piece; };
        download.onFinished = [&] { ended = true; };
        download.onFailed = [&](int, const QString&) { ended = true; };
        download.start(server.url(c.path));
        ASSERT_TRUE(waitUntil([&] { return ended; }));
        ASSERT_TRUE(head.has_value());
        EXPECT_EQ(head->status, c.status);
        EXPECT_EQ(head->headers.contains("x-hop"), c.status == 302);
        EXPECT_EQ(head->contentLength, c.body.size());
        EXPECT_EQ(body, c.body);
        EXPECT_EQ(server.requests().size() - before, c.requests);

        std::optional<bool> fetched;
        ns::DataTask::fetch(server.url(c.path), nullptr,
                            [&](bool ok, const QByteArray&) { fetched = ok; });
        ASSERT_TRUE(waitUntil([&] { return fetched.has_value(); }));
        EXPECT_EQ(*fetched, c.status == 200);
    }
}

} // namespace

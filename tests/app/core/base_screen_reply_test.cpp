#include "app/core/HTTPRequest.h"
#include "app/core/NotificationNames.h"
#include "app/core/PublicFunction.h"
#include "app/core/ViewController.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ScrollView.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Wait.h"
#include "widgets/OverlayHUD.h"

#include <QCoreApplication>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

// A scrolling screen whose requests give up quickly, so a time-out needs no long wait.
class ScrollingScreen : public ViewController {
protected:
    void loadView() override { setView(new ui::ScrollView(QRectF(0, 0, 320, 568))); }
    double requestTimeout() const override { return 0.3; }
};
constexpr qint64 kTimeOutMs = 300;

// Each visible alert as "title|message|first button".
QStringList takeAlerts() {
    QStringList seen;
    for (ui::AlertView* a : ui::AlertCenter::visibleAlerts())
        seen << a->title() + '|' + a->message() + '|' + a->buttonTitleAtIndex(0);
    return seen;
}

class BaseScreenReply : public ::testing::Test {
protected:
    void SetUp() override {
        tavrixConfig::setServerBaseAddress(server.baseAddress());
        PublicFunction::saveConfig("S1", "session");
        PublicFunction::saveConfig("13800000001", "username");
        ns::NotificationCenter::defaultCenter().addObserver(
            &observer, notification::kPushToLoginVeiw, nullptr,
            [this](const ns::Notification&) { ++pushes; });
        screen.loadViewIfNeeded();
    }
    void TearDown() override {
        ui::AlertCenter::dismissAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Starts one request from the screen and runs the event loop until it ends; the reply
    // the screen accepted, or nothing. One that is never answered in full runs until the
    // manual clock reaches its time-out, and not a millisecond less.
    // The judge that keeps the overlay up is used when asked.
    QVariant runRequest(ViewController& on, bool untilTheTimeOut = false,
                        bool keepOverlay = false) {
        QVariant accepted;
        bool ended = false;
        HTTPRequest* request = on.requestStartWithKey("StarLevel", true);
        request->setPostValue("1", "action");
        request->setCompletionHandler([&](const QVariant& reply) {
            accepted = keepOverlay ? on.requestFinishedBaseForSuitChange(reply)
                                   : on.requestFinishedBase(reply);
            ended = true;
        });
        request->setFailureHandler([&](const HTTPError& error) {
            on.commonFailureHandler(error);
            ended = true;
        });
        request->startRequest();
        if (untilTheTimeOut) {
            const qsizetype asked = server.requests().size();
            EXPECT_TRUE(server.waitForRequests(int(asked) + 1));
            clock.clock.advance(kTimeOutMs - 1);
            EXPECT_FALSE(ended);
            clock.clock.advance(1);
        }
        EXPECT_TRUE(waitUntil([&] { return ended; }));
        return accepted;
    }

    ns::ScopedManualClock clock;
    ScriptedServer server;
    QObject observer;
    int pushes = 0;
    ScrollingScreen screen;
};

const QString kTimedOut = QStringLiteral("提示|请求超时|确定");
const QString kNoNetwork = QStringLiteral("提示|网络连接失败,请检查您的网络设置|确认");

} // namespace

TEST_F(BaseScreenReply, JudgesEveryKindOfAnswer) {
    struct Case {
        const char* name;
        ScriptedServer::Action answer;
        QString alert; // empty: accepted, no alert
        int pushesAfterPress = 0;
    };
    const Case cases[] = {
        {"success", ScriptedServer::json(R"({"result":0,"credit_level":"3"})"), ""},
        {"missing result is a success", ScriptedServer::json(R"({"msg":"无结果"})"), ""},
        {"zero as text", ScriptedServer::json(R"({"result":"0"})"), ""},
        {"expired session", ScriptedServer::json(R"({"result":9999,"msg":"登录已失效"})"),
         "提示|登录已失效|确定", 1},
        {"expired as text", ScriptedServer::json(R"({"result":"9999","msg":"请重新登录"})"),
         "提示|请重新登录|确定", 1},
        {"error code with a message", ScriptedServer::json(R"({"result":5,"msg":"余额不足"})"),
         "|余额不足|确定"},
        {"error as text", ScriptedServer::json(R"({"result":"12","msg":"失败"})"), "|失败|确定"},
        {"HTML error page", ScriptedServer::html("<html>error</html>"), kTimedOut},
        {"empty body", ScriptedServer::json(""), kTimedOut},
        {"JSON array", ScriptedServer::json("[1]"), kTimedOut},
        {"a bare number", ScriptedServer::json("5"), kTimedOut},
        {"an endless body", ScriptedServer::flood("Transfer-Encoding: chunked"), kTimedOut},
        {"a length past any reply", ScriptedServer::flood("Content-Length: 50000000000"),
         kTimedOut},
        {"no answer: time-out", ScriptedServer::noAnswer(), kTimedOut},
        {"dropped connection", ScriptedServer::drop(), kNoNetwork},
        {"refused connection", {}, kNoNetwork},
    };
    for (const Case& c : cases) {
        const bool noAnswer = c.answer.kind == ScriptedServer::Action::NoAnswer;
        // A failure in transport never reaches a judge: the common handler takes the overlay.
        const bool judged = !noAnswer && c.alert != kNoNetwork;
        for (const bool keepOverlay : {false, true}) {
            if (keepOverlay && !judged) continue;
            SCOPED_TRACE(std::string(c.name) + (keepOverlay ? ", overlay kept" : ""));
            server.setHandler([&](const ScriptedServer::Request&) { return c.answer; });
            if (c.name == std::string("refused connection"))
                tavrixConfig::setServerBaseAddress(
                    QStringLiteral("http://127.0.0.1:%1/pelvo/").arg(ScriptedServer::closedPort()));
            pushes = 0;
            ScrollingScreen on;
            on.loadViewIfNeeded();
            EXPECT_EQ(runRequest(on, noAnswer, keepOverlay).isValid(), c.alert.isEmpty());
            EXPECT_EQ(takeAlerts(), c.alert.isEmpty() ? QStringList() : QStringList{c.alert});
            if (!c.alert.isEmpty()) {
                EXPECT_TRUE(ui::AlertCenter::press(0));
            }
            EXPECT_EQ(pushes, c.pushesAfterPress);

            // The overlay goes once its minimum time is over and gives the scrolling back; the
            // judge that keeps it leaves it up and the screen unscrollable.
            clock.clock.advance(300);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_EQ(on.baseHud() != nullptr, keepOverlay);
            EXPECT_EQ(OverlayHUD::HUDForView(on.view()) != nullptr, keepOverlay);
            EXPECT_EQ(qobject_cast<ui::ScrollView*>(on.view())->isScrollEnabled(), !keepOverlay);
            tavrixConfig::setServerBaseAddress(server.baseAddress());
        }
    }
}

TEST_F(BaseScreenReply, RequestCarriesSessionAndNumberFirst) {
    EXPECT_EQ(runRequest(screen).toMap().value("result"), 0);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests()[0].path, "/pelvo/StarLevel.do");
    EXPECT_EQ(server.requests()[0].body, "session=S1&num=13800000001&action=1");
}

TEST_F(BaseScreenReply, ExpiredSessionTwiceAlertsAndPostsOnce) {
    server.setFallback(ScriptedServer::json(R"({"result":9999,"msg":"登录已失效"})"));
    runRequest(screen);
    runRequest(screen);
    EXPECT_TRUE(screen.alertViewIsshow());
    ASSERT_EQ(ui::AlertCenter::visibleAlerts().size(), 1);
    EXPECT_TRUE(ui::AlertCenter::press(QStringLiteral("确定")));
    EXPECT_EQ(pushes, 1);

    // Another screen is told again.
    ScrollingScreen next;
    next.loadViewIfNeeded();
    runRequest(next);
    EXPECT_EQ(ui::AlertCenter::visibleAlerts().size(), 1);
}

TEST_F(BaseScreenReply, SecondLoadingRequestLeavesOneOverlay) {
    HTTPRequest* first = screen.requestStartWithKey("StarLevel", true);
    QPointer<OverlayHUD> firstHud = screen.baseHud();
    HTTPRequest* second = screen.requestStartWithKey("StarLevel", true);
    EXPECT_TRUE(firstHud->isFinished());
    EXPECT_NE(screen.baseHud(), firstHud.data());
    EXPECT_EQ(OverlayHUD::allHUDsForView(screen.view()).size(), 1);
    first->cancleRequest();
    second->cancleRequest();
}

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
#include "tests/support/SandboxFixture.h"
#include "tests/support/ScriptedServer.h"
#include "widgets/OverlayHUD.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

// A scrolling screen whose requests give up quickly, so a time-out needs no long wait.
class ScrollingScreen : public ViewController {
public:
    double timeout = 5;

protected:
    void loadView() override { setView(new ui::ScrollView(QRectF(0, 0, 320, 568))); }
    double requestTimeout() const override { return timeout; }
};

struct Outcome {
    bool finished = false; // the completion ran (else the failure)
    QVariant accepted;
};

// Starts one request from the screen and runs the event loop until it ends.
Outcome runRequest(ViewController& screen, const QString& key) {
    Outcome outcome;
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    HTTPRequest* request = screen.requestStartWithKey(key, true);
    request->setPostValue("1", "action");
    request->setCompletionHandler([&](const QVariant& reply) {
        outcome.finished = true;
        outcome.accepted = screen.requestFinishedBase(reply);
        loop.quit();
    });
    request->setFailureHandler([&](const HTTPError& error) {
        screen.commonFailureHandler(error);
        loop.quit();
    });
    request->startRequest();
    guard.start(10000);
    loop.exec();
    return outcome;
}

struct AlertSeen {
    QString title;
    QString message;
    QString button;
};

std::vector<AlertSeen> takeAlerts() {
    std::vector<AlertSeen> seen;
    for (ui::AlertView* a : ui::AlertCenter::visibleAlerts())
        seen.push_back({a->title(), a->message(), a->buttonTitleAtIndex(0)});
    return seen;
}

class BaseScreenReply : public ::testing::Test {
protected:
    void SetUp() override {
        tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
        PublicFunction::saveConfig(sandbox.signIn(), "session");
        PublicFunction::saveConfig(SandboxFixture::demoNumber(), "username");
        ns::NotificationCenter::defaultCenter().addObserver(
            &observer, notification::kPushToLoginVeiw, nullptr,
            [this](const ns::Notification&) { ++pushes; });
    }
    void TearDown() override {
        ui::AlertCenter::dismissAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    ns::ScopedManualClock clock;
    SandboxFixture sandbox;
    QObject observer;
    int pushes = 0;
};

const QString kTimedOut = QStringLiteral("请求超时");
const QString kNoNetwork = QStringLiteral("网络连接失败,请检查您的网络设置");

} // namespace

TEST_F(BaseScreenReply, JudgesEveryKindOfAnswer) {
    struct Case {
        const char* name;
        std::optional<sandbox::Fault> fault;
        bool accepted;
        std::vector<AlertSeen> alerts;
        int pushesAfterPress;
        bool refused = false;
    };
    const std::vector<Case> cases = {
        {"success", std::nullopt, true, {}, 0},
        {"expired session",
         sandbox::Fault::result(9999, "登录已失效"),
         false,
         {{"提示", "登录已失效", "确定"}},
         1},
        {"error code with a message",
         sandbox::Fault::result(5, "余额不足"),
         false,
         {{"", "余额不足", "确定"}},
         0},
        {"HTML error page", sandbox::Fault::html500(), false, {{"提示", kTimedOut, "确定"}}, 0},
        {"empty body", sandbox::Fault::emptyBody(), false, {{"提示", kTimedOut, "确定"}}, 0},
        {"JSON array", sandbox::Fault::jsonArray(), false, {{"提示", kTimedOut, "确定"}}, 0},
        {"no answer: time-out",
         sandbox::Fault::noAnswer(),
         false,
         {{"提示", kTimedOut, "确定"}},
         0},
        {"dropped connection", sandbox::Fault::drop(), false, {{"提示", kNoNetwork, "确认"}}, 0},
        {"refused connection", std::nullopt, false, {{"提示", kNoNetwork, "确认"}}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sandbox.clearFaults();
        if (c.fault) sandbox.setFault("StarLevel", *c.fault);
        if (c.refused)
            tavrixConfig::setServerBaseAddress(
                QStringLiteral("http://127.0.0.1:%1/pelvo/").arg(ScriptedServer::closedPort()));
        pushes = 0;
        ScrollingScreen screen;
        screen.timeout = 0.3;
        screen.loadViewIfNeeded();
        auto* scroll = qobject_cast<ui::ScrollView*>(screen.view());
        const Outcome outcome = runRequest(screen, "StarLevel");
        EXPECT_EQ(outcome.accepted.isValid(), c.accepted);
        if (c.accepted) {
            EXPECT_TRUE(outcome.accepted.toMap().contains("credit_level"));
        }

        const std::vector<AlertSeen> alerts = takeAlerts();
        ASSERT_EQ(alerts.size(), c.alerts.size());
        for (size_t i = 0; i < alerts.size(); ++i) {
            EXPECT_EQ(alerts[i].title, c.alerts[i].title);
            EXPECT_EQ(alerts[i].message, c.alerts[i].message);
            EXPECT_EQ(alerts[i].button, c.alerts[i].button);
        }
        if (!alerts.empty()) {
            EXPECT_TRUE(ui::AlertCenter::press(0));
        }
        EXPECT_EQ(pushes, c.pushesAfterPress);

        // The overlay goes once its minimum time is over and gives the scrolling back.
        clock.clock.advance(300);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(screen.baseHud(), nullptr);
        EXPECT_EQ(OverlayHUD::HUDForView(screen.view()), nullptr);
        EXPECT_TRUE(scroll->isScrollEnabled());
        tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
    }
}

TEST_F(BaseScreenReply, RequestCarriesSessionAndNumberFirst) {
    ScrollingScreen screen;
    screen.loadViewIfNeeded();
    runRequest(screen, "StarLevel");
    ASSERT_TRUE(sandbox.waitForRequests(1));
    const QString session = PublicFunction::getConfigWithKey("session").toString();
    EXPECT_EQ(QString::fromUtf8(sandbox.requests().last().body),
              "session=" + session + "&num=" + SandboxFixture::demoNumber() + "&action=1");
}

TEST_F(BaseScreenReply, ExpiredSessionTwiceAlertsAndPostsOnce) {
    sandbox.setFault("StarLevel", sandbox::Fault::result(9999, "登录已失效"));
    ScrollingScreen screen;
    screen.loadViewIfNeeded();
    runRequest(screen, "StarLevel");
    runRequest(screen, "StarLevel");
    EXPECT_TRUE(screen.alertViewIsshow());
    ASSERT_EQ(ui::AlertCenter::visibleAlerts().size(), 1);
    EXPECT_TRUE(ui::AlertCenter::press(QStringLiteral("确定")));
    EXPECT_EQ(pushes, 1);

    // Another screen is told again.
    ScrollingScreen next;
    next.loadViewIfNeeded();
    runRequest(next, "StarLevel");
    EXPECT_EQ(ui::AlertCenter::visibleAlerts().size(), 1);
}

TEST_F(BaseScreenReply, SecondLoadingRequestLeavesOneOverlay) {
    ScrollingScreen screen;
    screen.loadViewIfNeeded();
    HTTPRequest* first = screen.requestStartWithKey("StarLevel", true);
    QPointer<OverlayHUD> firstHud = screen.baseHud();
    HTTPRequest* second = screen.requestStartWithKey("StarLevel", true);
    EXPECT_TRUE(firstHud->isFinished());
    EXPECT_NE(screen.baseHud(), firstHud.data());
    EXPECT_EQ(OverlayHUD::allHUDsForView(screen.view()).size(), 1);
    first->cancleRequest();
    second->cancleRequest();
}

TEST(BaseScreenReplyText, ResultAsTextOrMissing) {
    // Replies the sandbox does not make: a scripted server answers them.
    struct Case {
        const char* name;
        QByteArray body;
        bool accepted;
        QString alertMessage; // empty: no alert
    };
    const Case cases[] = {
        {"missing result is a success", R"({"msg":"无结果"})", true, {}},
        {"zero as text", R"({"result":"0"})", true, {}},
        {"expired as text", R"({"result":"9999","msg":"请重新登录"})", false, "请重新登录"},
        {"error as text", R"({"result":"12","msg":"失败"})", false, "失败"},
        {"a bare number", "5", false, QStringLiteral("请求超时")},
    };
    ns::ScopedManualClock clock;
    ScriptedServer server;
    tavrixConfig::setServerBaseAddress(server.baseAddress());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.enqueue(ScriptedServer::json(c.body));
        ScrollingScreen screen;
        screen.loadViewIfNeeded();
        const Outcome outcome = runRequest(screen, "Bill");
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.accepted.isValid(), c.accepted);
        const std::vector<AlertSeen> alerts = takeAlerts();
        ASSERT_EQ(alerts.size(), c.alertMessage.isEmpty() ? 0u : 1u);
        if (!alerts.empty()) {
            EXPECT_EQ(alerts[0].message, c.alertMessage);
        }
        ui::AlertCenter::dismissAll();
    }
}

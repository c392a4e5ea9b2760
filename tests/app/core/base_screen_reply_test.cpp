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
#include "tests/support/Wait.h"
#include "widgets/OverlayHUD.h"

#include <QCoreApplication>
#include <QPointer>
#include <gtest/gtest.h>
#include <optional>

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
    bool ended = false;
    HTTPRequest* request = screen.requestStartWithKey(key, true);
    request->setPostValue("1", "action");
    request->setCompletionHandler([&](const QVariant& reply) {
        outcome.finished = ended = true;
        outcome.accepted = screen.requestFinishedBase(reply);
    });
    request->setFailureHandler([&](const HTTPError& error) {
        screen.commonFailureHandler(error);
        ended = true;
    });
    request->startRequest();
    waitUntil([&] { return ended; });
    return outcome;
}

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

const QString kTimedOut = QStringLiteral("提示|请求超时|确定");
const QString kNoNetwork = QStringLiteral("提示|网络连接失败,请检查您的网络设置|确认");

} // namespace

TEST_F(BaseScreenReply, JudgesEveryKindOfAnswer) {
    struct Case {
        const char* name;
        std::optional<sandbox::Fault> fault; // none, and alert kNoNetwork: a refused connection
        QString alert;                       // empty: accepted, no alert
        int pushesAfterPress = 0;
    };
    const Case cases[] = {
        {"success", std::nullopt, ""},
        {"expired session", sandbox::Fault::result(9999, "登录已失效"), "提示|登录已失效|确定", 1},
        {"error code with a message", sandbox::Fault::result(5, "余额不足"), "|余额不足|确定"},
        {"HTML error page", sandbox::Fault::html500(), kTimedOut},
        {"empty body", sandbox::Fault::emptyBody(), kTimedOut},
        {"JSON array", sandbox::Fault::jsonArray(), kTimedOut},
        {"no answer: time-out", sandbox::Fault::noAnswer(), kTimedOut},
        {"dropped connection", sandbox::Fault::drop(), kNoNetwork},
        {"refused connection", std::nullopt, kNoNetwork},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sandbox.clearFaults();
        if (c.fault) sandbox.setFault("StarLevel", *c.fault);
        if (!c.fault && !c.alert.isEmpty())
            tavrixConfig::setServerBaseAddress(
                QStringLiteral("http://127.0.0.1:%1/pelvo/").arg(ScriptedServer::closedPort()));
        pushes = 0;
        ScrollingScreen screen;
        screen.timeout = 0.3;
        screen.loadViewIfNeeded();
        const Outcome outcome = runRequest(screen, "StarLevel");
        EXPECT_EQ(outcome.accepted.isValid(), c.alert.isEmpty());
        if (c.alert.isEmpty()) {
            EXPECT_TRUE(outcome.accepted.toMap().contains("credit_level"));
        }
        EXPECT_EQ(takeAlerts(), c.alert.isEmpty() ? QStringList() : QStringList{c.alert});
        if (!c.alert.isEmpty()) {
            EXPECT_TRUE(ui::AlertCenter::press(0));
        }
        EXPECT_EQ(pushes, c.pushesAfterPress);

        // The overlay goes once its minimum time is over and gives the scrolling back.
        clock.clock.advance(300);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(screen.baseHud(), nullptr);
        EXPECT_EQ(OverlayHUD::HUDForView(screen.view()), nullptr);
        EXPECT_TRUE(qobject_cast<ui::ScrollView*>(screen.view())->isScrollEnabled());
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
    const std::pair<QByteArray, QString> cases[] = {
        // body, message of the alert ("" for an accepted reply)
        {R"({"msg":"无结果"})", ""},
        {R"({"result":"0"})", ""},
        {R"({"result":"9999","msg":"请重新登录"})", "请重新登录"},
        {R"({"result":"12","msg":"失败"})", "失败"},
        {"5", QStringLiteral("请求超时")},
    };
    ns::ScopedManualClock clock;
    ScriptedServer server;
    tavrixConfig::setServerBaseAddress(server.baseAddress());
    for (const auto& [body, message] : cases) {
        SCOPED_TRACE(body.toStdString());
        server.enqueue(ScriptedServer::json(body));
        ScrollingScreen screen;
        screen.loadViewIfNeeded();
        const Outcome outcome = runRequest(screen, "Bill");
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.accepted.isValid(), message.isEmpty());
        const QStringList alerts = takeAlerts();
        EXPECT_EQ(alerts.size(), message.isEmpty() ? 0 : 1);
        if (!alerts.isEmpty()) {
            EXPECT_EQ(alerts[0].section('|', 1, 1), message);
        }
        ui::AlertCenter::dismissAll();
    }
}

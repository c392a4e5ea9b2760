#include "app/core/HTTPRequest.h"
#include "app/core/NotificationNames.h"
#include "app/download/PCFile.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UrlOpener.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TextField.h"
#include "platform/ui/WebViewFake.h"
#include "screens/entry/LoginViewController.h"
#include "screens/shell/SideSlipViewController.h"
#include "screens/shell/TabBarViewController.h"
#include "screens/web/WebViewController.h"
#include "tests/screens/shell/ShellHarness.h"
#include "tests/support/AnimationFrames.h"
#include "tests/support/RequestWait.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/WindowInput.h"
#include "widgets/OverlayHUD.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

QStringList starNames(const SideSlipViewController* menu) {
    QStringList out;
    for (ui::ImageView* star : menu->starImageViews())
        out << star->objectName();
    return out;
}

TEST(StarTable, EachLevelGivesItsRowOfFive) {
    struct Case {
        const char* level;
        const char* image;
        int count;
        int expectant;
    };
    const Case cases[] = {{"1", "starCard", 5, 0},
                          {"2", "goldCard", 5, 0},
                          {"3", "diamondCard", 5, 0},
                          {"14", "starCard", 4, 1},
                          {"13", "starCard", 3, 2},
                          {"12", "starCard", 2, 3},
                          {"11", "starCard", 1, 4},
                          {"10", "expectantStar", 1, 4},
                          {"-10", "", 0, 0},
                          {"7", "", 0, 5},
                          {"", "", 0, 5},
                          {" 1", "", 0, 5}};
    for (const Case& c : cases) {
        const auto row = SideSlipViewController::starRowForLevel(c.level);
        EXPECT_EQ(row.imageName, c.image) << c.level;
        EXPECT_EQ(row.count, c.count) << c.level;
        EXPECT_EQ(row.expectantFill, c.expectant) << c.level;
        if (!row.imageName.isEmpty()) {
            EXPECT_FALSE(ui::imageNamed(row.imageName).isNull()) << c.level;
        }
    }
    EXPECT_FALSE(ui::imageNamed("expectantStar").isNull());
}

TEST(TabFaces, EveryTabHasItsPicturesAndOtherTagsAreBlank) {
    for (int tag = 0; tag < 4; ++tag) {
        const auto face = TabBarViewController::faceForTag(tag);
        EXPECT_FALSE(ui::imageNamed(face.image).isNull()) << tag;
        EXPECT_FALSE(ui::imageNamed(face.selectedImage).isNull()) << tag;
    }
    const auto other = TabBarViewController::faceForTag(7);
    EXPECT_TRUE(other.title.isEmpty() && other.image.isEmpty() && other.selectedImage.isEmpty());
}

class MenuTest : public ShellHarness {
protected:
    void SetUp() override {
        ShellHarness::SetUp();
        standInForStartAndLogIn();
        ui::MessageComposeViewController::setCanSendText(true);
        ui::MessageComposeViewController::resetComposedRecord();
        signInAs("13800000001", "S1");
        server.setHandler([this](const ScriptedServer::Request&) {
            return replies.empty() ? ScriptedServer::json(R"({"result":0,"credit_level":"12"})")
                                   : replies.takeFirst();
        });
        launch(server.baseAddress());
        observer = std::make_unique<QObject>();
        for (const char* name : {notification::kPushToLoginVeiw, notification::kHideSideSlipView,
                                 notification::kPushToFunctionModule})
            ns::NotificationCenter::defaultCenter().addObserver(
                observer.get(), name, nullptr,
                [this](const ns::Notification& n) { posted << n.name; });
    }
    void TearDown() override {
        observer.reset();
        ShellHarness::TearDown();
    }
    // Shows the container; the menu asks for the star level as it loads.
    SideSlipViewController* showMenu() {
        return pushContainer() ? container->leftViewController() : nullptr;
    }
    void pressMenu(SideSlipViewController* menu, int tag) {
        ui::Button* button = menu->buttonWithTag(tag);
        ASSERT_NE(button, nullptr) << tag;
        button->sendActionsForControlEvents(ui::Control::TouchUpInside);
    }

    ns::ScopedManualClock clock;
    ScriptedServer server;
    QList<ScriptedServer::Action> replies;
    std::unique_ptr<QObject> observer;
    QStringList posted;
};

TEST_F(MenuTest, ShowsTheNumberAndOneRowOfStars) {
    SideSlipViewController* menu = showMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->labelOfPhoneNO()->text(), "13800000001");
    ASSERT_TRUE(waitUntil([&] { return !menu->starImageViews().isEmpty(); }));
    EXPECT_EQ(starNames(menu), (QStringList{"starCard", "starCard", "expectantStar",
                                            "expectantStar", "expectantStar"}));
}

TEST_F(MenuTest, AFailedStarLevelIsAskedAgainUntilItSucceedsThenStops) {
    replies = {ScriptedServer::json(R"({"result":5,"msg":"稍后再试"})")};
    SideSlipViewController* menu = showMenu();
    ASSERT_TRUE(waitUntil([&] { return menu->isRequestOfStarLevelFailed(); }));
    EXPECT_TRUE(menu->starImageViews().isEmpty());
    ui::AlertCenter::dismissAll();

    auto appear = [&] {
        menu->beginAppearanceTransition(false, false);
        menu->endAppearanceTransition();
        menu->beginAppearanceTransition(true, false);
        menu->endAppearanceTransition();
    };
    // Nobody listening: a transport failure, still failing.
    tavrixConfig::setServerBaseAddress(
        QString("http://127.0.0.1:%1/pelvo/").arg(ScriptedServer::closedPort()));
    appear();
    ASSERT_TRUE(waitUntil([&] { return ui::AlertCenter::topAlert() != nullptr; }));
    EXPECT_EQ(ui::AlertCenter::topAlert()->message(), "网络连接失败,请检查您的网络设置");
    EXPECT_TRUE(menu->isRequestOfStarLevelFailed());
    ui::AlertCenter::dismissAll();
    tavrixConfig::setServerBaseAddress(server.baseAddress());

    appear(); // answered: one row, and no more retries
    ASSERT_TRUE(waitUntil([&] { return !menu->isRequestOfStarLevelFailed(); }));
    EXPECT_EQ(menu->starImageViews().size(), 5);
    const qsizetype asked = server.requests().size();
    appear();
    EXPECT_EQ(server.requests().size(), asked);

    replies = {ScriptedServer::json(R"({"result":0,"credit_level":"3"})")};
    menu->requestOfStarLevelSend();
    ASSERT_TRUE(waitUntil([&] { return starNames(menu).value(0) == "diamondCard"; }));
    EXPECT_EQ(menu->starImageViews().size(), 5); // replaced, not stacked
}

TEST_F(MenuTest, LogOutRemovesExactlyTheSessionNumberAndPassword) {
    ui::WebViewFake::ScopedInstall countsCookieDeletions;
    PublicFunction::saveConfig("123456", "password");
    PublicFunction::saveConfig("02:00:00:00:00:01", "MacAddress");
    tavrixConfig::setIsAutoLogin(true);
    SideSlipViewController* menu = showMenu();

    pressMenu(menu, SideSlipViewController::kLogoutTag);
    ui::AlertView* alert = ui::AlertCenter::topAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->message(), "确认注销登录？");
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "取消");
    EXPECT_EQ(alert->buttonTitleAtIndex(1), "确认");
    ui::AlertCenter::press("取消");
    EXPECT_EQ(PublicFunction::getConfigWithKey("session").toString(), "S1");

    EXPECT_EQ(ui::WebViewFake::cookieDeletions(), 0);

    clock.clock.advance(SideSlipViewController::kButtonLockMs);
    pressMenu(menu, SideSlipViewController::kLogoutTag);
    // The pages' cookies go before the log-in screen comes.
    int cookieDeletionsAtLogIn = -1;
    ns::NotificationCenter::defaultCenter().addObserver(
        observer.get(), notification::kPushToLoginVeiw, nullptr, [&](const ns::Notification&) {
            cookieDeletionsAtLogIn = ui::WebViewFake::cookieDeletions();
        });
    ui::AlertCenter::press("确认");
    EXPECT_EQ(cookieDeletionsAtLogIn, 1);
    for (const char* gone : {"session", "username", "password"})
        EXPECT_FALSE(PublicFunction::getConfigWithKey(gone).isValid()) << gone;
    EXPECT_EQ(PublicFunction::getConfigWithKey("MacAddress").toString(), "02:00:00:00:00:01");
    EXPECT_TRUE(tavrixConfig::isAutoLogin());
    EXPECT_EQ(posted, QStringList{notification::kPushToLoginVeiw});
    EXPECT_EQ(ui::WebViewFake::cookieDeletions(), 1);
}

// Two subscribers on one desktop, the first leaving by the menu's log-out or by a session the
// server ended: the server's cookie of the first log-in goes, so no request of the second
// subscriber carries it.
TEST_F(MenuTest, TheNextSubscribersRequestsCarryNoCookieOfTheOneWhoLeft) {
    ui::WebViewFake::ScopedInstall countsCookieDeletions;
    shell_test::restoreScenes(); // the log-in screen itself
    const QString first = "13800000001", second = "13900000002";
    bool expired = false;
    server.setHandler([&](const ScriptedServer::Request& r) {
        if (!r.path.endsWith("/Login.do"))
            return ScriptedServer::json(expired ? R"({"result":9999,"msg":"登录已失效"})"
                                                : R"({"result":0,"credit_level":"12"})");
        const bool isFirst = r.body.contains(first.toLatin1());
        auto answer = ScriptedServer::json(R"({"result":0,"session":"S-)" +
                                           QByteArray(isFirst ? "1" : "2") + "\"}");
        if (isFirst) answer.headers = "Set-Cookie: JSESSIONID=first; Path=/\r\n";
        return answer;
    });
    const auto logIn = [&](const QString& number) {
        auto* login = qobject_cast<LoginViewController*>(rootNavigation()->topViewController());
        ASSERT_NE(login, nullptr);
        login->userName()->setText(number);
        login->passWord()->setText("135791");
        login->loginButton()->sendActionsForControlEvents(ui::Control::TouchUpInside);
        ASSERT_TRUE(waitUntil([&] {
            return qobject_cast<SkatingRinkViewController*>(rootNavigation()->topViewController());
        }));
        container = qobject_cast<SkatingRinkViewController*>(rootNavigation()->topViewController());
    };
    const auto cookiesFrom = [&](qsizetype from) {
        QStringList cookies;
        for (const ScriptedServer::Request& r : server.requests().mid(from))
            cookies << QString::fromLatin1(r.path + ": " + r.headers.value("cookie"));
        return cookies;
    };
    const struct {
        const char* how;
        std::function<void()> leave;
        int pageCookieDeletions; // by the way out itself
    } ways[] = {
        {"log-out by the menu",
         [&] {
             pressMenu(container->leftViewController(), SideSlipViewController::kLogoutTag);
             ASSERT_TRUE(ui::AlertCenter::press("确认"));
         },
         1},
        {"a session the server ended",
         [&] {
             expired = true;
             container->leftViewController()->requestOfStarLevelSend();
             ASSERT_TRUE(waitUntil([] { return !ui::AlertCenter::visibleAlerts().isEmpty(); }));
             ASSERT_TRUE(ui::AlertCenter::press("确定"));
             expired = false;
         },
         0},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        HTTPRequest::clearCookies();
        rootNavigation()->pushViewController(
            ui::Storyboard::instantiateViewController("Main", "LoginViewController"), false);
        const qsizetype loginAt = server.requests().size();
        logIn(first);
        // The first subscriber's requests carry the cookie.
        ASSERT_TRUE(waitUntil([&] { return !cookiesFrom(loginAt + 1).filter("=first").isEmpty(); }))
            << cookiesFrom(loginAt).join('\n').toStdString();
        // Whatever the shell asked for has arrived before the subscriber goes.
        ASSERT_TRUE(waitForRequestsToEnd(container));

        const int pageCookieDeletions = ui::WebViewFake::cookieDeletions();
        way.leave();
        EXPECT_EQ(ui::WebViewFake::cookieDeletions(),
                  pageCookieDeletions + way.pageCookieDeletions);
        ASSERT_TRUE(waitUntil([&] {
            return rootNavigation()->topViewController()->storyboardIdentifier() ==
                   "LoginViewController";
        }));
        const qsizetype leftAt = server.requests().size();
        logIn(second);
        ASSERT_TRUE(waitUntil([&] { return server.requests().size() > leftAt + 1; }));
        const QStringList after = cookiesFrom(leftAt);
        EXPECT_TRUE(after.first().startsWith("/pelvo/Login.do"));
        EXPECT_TRUE(after.filter("JSESSIONID").isEmpty()) << after.join('\n').toStdString();
        ASSERT_TRUE(waitForRequestsToEnd(container));
    }
}

// Log-out confirmed from the open drawer: the log-in screen slides in with its navigation bar
// while the drawer container slides away as it was, at the top of the window at full height.
// No frame shows the container pushed down under a second bar.
TEST_F(MenuTest, TheLogInScreenComesWithItsBarAndTheContainerLeavesAsItWas) {
    shell_test::restoreScenes();                    // the log-in screen itself
    rootNavigation()->setNavigationBarHidden(true); // as the log-in leaves it
    SideSlipViewController* menu = showMenu();
    ASSERT_TRUE(waitUntil([&] { return !menu->starImageViews().isEmpty(); }));
    container->showRight(true);
    QCoreApplication::processEvents();
    windowinput::click(menu->buttonWithTag(SideSlipViewController::kLogoutTag));
    const ui::ScopedInstantAnimations instantAgainAfterwards;
    ui::Animation::setEnabled(true);
    ASSERT_TRUE(ui::AlertCenter::press("确认"));
    ui::NavigationController* root = rootNavigation();
    ui::ViewController* login = root->topViewController();
    ASSERT_EQ(login->storyboardIdentifier(), "LoginViewController");
    ASSERT_TRUE(root->isTransitioning());
    const QImage containerPicture = container->view()->renderToImage();
    const QImage barPicture = root->navigationBar()->renderToImage();
    const auto at = [root](ui::ViewController* vc) {
        return vc->view()->convertRectToView(vc->view()->bounds(), root->view());
    };
    int wrongFrames = 0;
    const int frames = eachFrame(
        clock.clock, [&] { return root->isTransitioning(); },
        [&](int frame) {
            const QImage shot = root->view()->renderToImage();
            if (frame % 4 == 1)
                shot.save(QString("%1/log-out-%2.png").arg(animationFramesDir()).arg(frame));
            if (!root->isTransitioning()) return;
            const QRectF containerAt = at(container), loginAt = at(login);
            EXPECT_EQ(containerAt.translated(-containerAt.x(), 0), QRectF(0, 0, 320, 568));
            EXPECT_EQ(loginAt.translated(-loginAt.x(), 0), QRectF(0, 64, 320, 504));
            EXPECT_TRUE(root->navigationBar()->isHidden()); // the log-in screen draws it
            // Left of the log-in screen the container as it was; over it, its bar.
            const QImage expected =
                pictureOfLayers(shot.size(), {{containerAt, {}, containerPicture},
                                              {QRectF(loginAt.x(), 0, 320, 64), {}, barPicture}});
            const int loginX = qRound(loginAt.x());
            if (differingPixels(shot, expected, QRect(0, 0, loginX, 568)) > 0 ||
                differingPixels(shot, expected, QRect(loginX, 0, 320 - loginX, 64)) > 0)
                ++wrongFrames;
        });
    EXPECT_GE(frames, 15);
    EXPECT_EQ(wrongFrames, 0);
    EXPECT_FALSE(root->navigationBar()->isHidden());
    EXPECT_EQ(at(login), QRectF(0, 64, 320, 504));
}

TEST_F(MenuTest, AButtonActsOncePerLockAndOtherTagsGoToTheHomePage) {
    SideSlipViewController* menu = showMenu();
    pressMenu(menu, 1004);
    pressMenu(menu, 1004);
    EXPECT_EQ(posted,
              (QStringList{notification::kHideSideSlipView, notification::kPushToFunctionModule}));
    clock.clock.advance(SideSlipViewController::kButtonLockMs - 1);
    EXPECT_FALSE(menu->buttonWithTag(1004)->isEnabled());
    clock.clock.advance(1);
    pressMenu(menu, 1004);
    EXPECT_EQ(posted.size(), 4);
}

TEST_F(MenuTest, ShareNeedsElevenDigitsAndPreparesTheSms) {
    SideSlipViewController* menu = showMenu();
    pressMenu(menu, SideSlipViewController::kShareTag);
    ui::AlertView* alert = ui::AlertCenter::topAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), "短信分享");
    EXPECT_EQ(alert->message(), SideSlipViewController::shareMessage("13800000001"));
    EXPECT_TRUE(alert->message().startsWith("推荐给你一个应用“"));
    EXPECT_TRUE(alert->message().endsWith("/pelvo?t=2&mi=13800000001"));
    ui::TextField* field = alert->textFieldAtIndex(0);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->placeholder(), "请输入正确的手机号");

    field->setText("1390000000");
    EXPECT_FALSE(alert->isButtonEnabled(1));
    field->setText("13900000001");
    EXPECT_TRUE(alert->isButtonEnabled(1));
    // A twelfth digit is refused; taking one away is not.
    field->becomeFirstResponder();
    field->lineEdit()->end(false);
    QTest::keyClick(field->lineEdit(), Qt::Key_5);
    EXPECT_EQ(field->text(), "13900000001");
    QTest::keyClick(field->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "1390000000");
    QTest::keyClick(field->lineEdit(), Qt::Key_2);
    EXPECT_EQ(field->text(), "13900000002");

    ui::AlertCenter::press("分享");
    EXPECT_EQ(ui::MessageComposeViewController::composedCount(), 1);
    EXPECT_EQ(ui::MessageComposeViewController::lastComposed().recipients,
              QStringList{"13900000002"});
    EXPECT_EQ(ui::MessageComposeViewController::lastComposed().body,
              SideSlipViewController::shareMessage("13800000001"));
}

TEST_F(MenuTest, ShareComposesOnlyWhereTheDesktopCanText) {
    // Where the desktop has no handler for sms: links, "分享" closes the alert, nothing else.
    for (const bool desktopTexts : {true, false}) {
        SCOPED_TRACE(desktopTexts ? "desktop texts" : "desktop cannot text");
        ui::MessageComposeViewController::setCanSendText(std::nullopt);
        ui::MessageComposeViewController::resetComposedRecord();
        ns::UrlOpener::setCanOpenHandler(
            [&](const QUrl& url) { return url.scheme() == "sms" && desktopTexts; });
        SideSlipViewController* menu = showMenu();
        pressMenu(menu, SideSlipViewController::kShareTag);
        ui::AlertCenter::topAlert()->textFieldAtIndex(0)->setText("13900000001");
        EXPECT_TRUE(ui::AlertCenter::press("分享"));
        EXPECT_EQ(ui::AlertCenter::topAlert(), nullptr);
        EXPECT_EQ(ui::MessageComposeViewController::composedCount(), desktopTexts ? 1 : 0);
        EXPECT_EQ(menu->presentedViewController() != nullptr, desktopTexts);
        if (menu->presentedViewController()) menu->dismissViewControllerAnimated(false);
        rootNavigation()->popViewControllerAnimated(false);
        clock.clock.advance(SideSlipViewController::kButtonLockMs);
    }
    ns::UrlOpener::setCanOpenHandler({});
    ui::MessageComposeViewController::setCanSendText(true);
}

// 发送 hands the text to the desktop's opener (here a script ending as the row says): one that
// fails leaves it unsent and the drawer's share or the web page says so; one that takes it,
// or still runs at the grace (it waits on the program it started), does not. Pressed again
// while the opener runs, it hands nothing more over.
TEST_F(MenuTest, ATextTheOpenerFailsToHandOverIsSaidUnsent) {
    const struct {
        bool fromPage;
        const char* opener;
        const char* told;
        int presses;
    } cases[] = {{false, "exit 3", "无法打开此链接", 1},
                 {false, "exit 0", "", 1},
                 {true, "exit 3", "无法打开此链接", 1},
                 {true, "sleep 0.3", "", 1},
                 {false, "sleep 0.3", "", 2}};
    ui::WebViewFake::ScopedInstall fakePages;
    ns::UrlOpener::setCanOpenHandler([](const QUrl& url) { return url.scheme() == "sms"; });
    pushContainer();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fromPage << " " << c.opener);
        QTemporaryDir dir;
        const QString script = dir.filePath("opener");
        ASSERT_TRUE(PCFile::fileWriteAtPath(script, "#!/bin/sh\necho \"$1\" >> " +
                                                        dir.filePath("sent").toUtf8() + "\n" +
                                                        c.opener));
        QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
        ns::UrlOpener::setOpenerProgram(script);
        ui::ViewController* presenter = container->leftViewController();
        if (c.fromPage) {
            auto* page = qobject_cast<WebViewController*>(
                ui::Storyboard::instantiateViewController("Main", "WebViewController"));
            page->setRequestURL(server.baseAddress() + "ulvek/share.html");
            homeNavigation->pushViewController(page, false);
            auto* fake = qobject_cast<ui::WebViewFake*>(page->myWebView());
            fake->finishLoad(true);
            clock.clock.advance(1000); // the loading overlay fades out
            fake->navigate(QUrl(R"(webkitpostnotification:{"function":)"
                                R"("displaySMSComposerSheetWithPhone:","argument":"hi"})"));
            presenter = page;
        } else {
            pressMenu(container->leftViewController(), SideSlipViewController::kShareTag);
            ui::AlertCenter::topAlert()->textFieldAtIndex(0)->setText("13900000001");
            ui::AlertCenter::press("分享");
        }
        auto* composer =
            qobject_cast<ui::MessageComposeViewController*>(presenter->presentedViewController());
        ASSERT_NE(composer, nullptr);
        if (c.fromPage) {
            windowinput::click(composer->recipientsField());
            windowinput::type("13900000001");
        }
        for (int press = 0; press < c.presses; ++press)
            windowinput::click(composer->sendButton());
        ASSERT_TRUE(waitUntil([&] { return QFile::exists(dir.filePath("sent")); }));
        if (QByteArray(c.opener).startsWith("sleep"))
            clock.clock.advance(ns::UrlOpener::kHandOffGraceMs);
        ASSERT_TRUE(waitUntil([&] { return !presenter->presentedViewController(); }));
        // Every opener started has ended: the text went over once.
        ASSERT_TRUE(waitUntil([] {
            const auto openers = QCoreApplication::instance()->findChildren<QProcess*>();
            return std::none_of(openers.begin(), openers.end(),
                                [](QProcess* p) { return p->state() != QProcess::NotRunning; });
        }));
        QFile sent(dir.filePath("sent"));
        ASSERT_TRUE(sent.open(QIODevice::ReadOnly));
        EXPECT_EQ(sent.readAll().count('\n'), 1);
        OverlayHUD* hud =
            OverlayHUD::HUDForView(c.fromPage ? presenter->view() : container->view());
        EXPECT_EQ(hud ? hud->detailsLabelText() : "", c.told);
        if (hud) hud->hide(false);
        if (c.fromPage) homeNavigation->popViewControllerAnimated(false);
        clock.clock.advance(SideSlipViewController::kButtonLockMs);
    }
    ns::UrlOpener::setOpenerProgram({});
    ns::UrlOpener::setCanOpenHandler({});
}

TEST_F(MenuTest, EachDemoSubscriberSeesTheStarsOfTheSandboxRecord) {
    SandboxFixture sandbox;
    tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
    for (const sandbox::Subscriber& subscriber : sandbox::DemoData::subscribers()) {
        PublicFunction::saveConfig(subscriber.number, "username");
        PublicFunction::saveConfig(sandbox.signIn(subscriber.number), "session");
        SideSlipViewController* menu = showMenu();
        const auto row = SideSlipViewController::starRowForLevel(subscriber.starLevel);
        const int stars = row.count + row.expectantFill;
        ASSERT_TRUE(waitUntil([&] {
            return sandbox.requestsTo("StarLevel").size() > 0 &&
                   !menu->isRequestOfStarLevelFailed() && menu->starImageViews().size() == stars;
        })) << qPrintable(subscriber.number);
        EXPECT_EQ(starNames(menu).value(0),
                  row.count ? row.imageName : QString(stars ? "expectantStar" : ""));
        EXPECT_EQ(ui::AlertCenter::topAlert(), nullptr);
        sandbox.clearRequests();
        rootNavigation()->popViewControllerAnimated(false);
    }
}

} // namespace

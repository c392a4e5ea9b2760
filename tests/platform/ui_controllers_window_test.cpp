#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <gtest/gtest.h>

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UrlOpener.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

using namespace ui;

namespace {

void flush() {
    QCoreApplication::sendPostedEvents(nullptr, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class Coloured : public ViewController {
public:
    QStringList log;
    void viewWillAppear(bool) override { log << "willAppear"; }
    void viewDidAppear(bool) override { log << "didAppear"; }
    void viewWillDisappear(bool) override { log << "willDisappear"; }

protected:
    void loadView() override {
        auto* v = new View(QRectF(0, 0, 320, 568));
        v->setBackgroundColor(QColor(242, 242, 242));
        auto* block = new View(QRectF(100, 300, 50, 50), v);
        block->setBackgroundColor(Qt::red);
        setView(v);
    }
};

TEST(Window, ShowsItsRootAndRendersIt) {
    Window window;
    auto* root = new Coloured;
    auto* nav = new NavigationController(root);
    window.setRootViewController(nav);
    EXPECT_TRUE(root->log.isEmpty()); // nothing appears before the window does
    window.makeKeyAndVisible();
    EXPECT_EQ(Window::keyWindow(), &window);
    EXPECT_EQ(Application::sharedApplication().keyWindow(), &window);
    EXPECT_EQ(root->log, QStringList({"willAppear", "didAppear"}));
    EXPECT_EQ(Window::windowForView(root->view()), &window);
    EXPECT_EQ(window.size(), QSize(320, 568));

    nav->navigationBar()->setBarTintColor(QColor(70, 140, 202));
    const QImage shot = window.renderToImage();
    ASSERT_EQ(shot.size(), QSize(320, 568));
    EXPECT_EQ(shot.pixelColor(5, 30), QColor(70, 140, 202));    // the bar
    EXPECT_EQ(shot.pixelColor(125, 64 + 325), QColor(Qt::red)); // the screen, below the bar
    EXPECT_EQ(shot.pixelColor(10, 500), QColor(242, 242, 242));

    QTemporaryDir dir;
    const QString path = dir.filePath("shot.png");
    ASSERT_TRUE(window.saveScreenshot(path));
    EXPECT_EQ(QImage(path).size(), QSize(320, 568));

    // An alert dims the window.
    auto* alert = new AlertView("提示", "请求超时", nullptr, "确定");
    alert->show();
    EXPECT_LT(window.renderToImage().pixelColor(10, 500).lightness(), 200);
    alert->pressButtonAtIndex(0);
    flush();
    EXPECT_EQ(window.renderToImage().pixelColor(10, 500), QColor(242, 242, 242));
}

TEST(Window, ReplacingTheRootReleasesTheOldOne) {
    Window window;
    window.makeKeyAndVisible();
    QPointer<Coloured> first = new Coloured;
    window.setRootViewController(first);
    auto* second = new Coloured;
    window.setRootViewController(second);
    EXPECT_EQ(first->log, QStringList({"willAppear", "didAppear", "willDisappear"}));
    EXPECT_EQ(second->log, QStringList({"willAppear", "didAppear"}));
    flush();
    EXPECT_FALSE(first);
    EXPECT_EQ(second->view()->superview()->superview(), window.rootView());
}

TEST(Window, PresentedScreensCoverTheWindowBelowAlerts) {
    Window window;
    auto* root = new Coloured;
    window.setRootViewController(root);
    window.makeKeyAndVisible();
    auto* composer = new MessageComposeViewController;
    root->presentViewController(composer, true);
    EXPECT_EQ(composer->view()->superview(), window.presentationLayer());
    EXPECT_EQ(composer->view()->frame(), QRectF(0, 0, 320, 568));
    EXPECT_EQ(root->log.last(), "willDisappear");
    root->dismissViewControllerAnimated(true);
    EXPECT_EQ(root->log.last(), "didAppear");
}

struct ComposeRecorder : QObject, MessageComposeViewControllerDelegate {
    QList<MessageComposeResult> results;
    void messageComposeViewController(MessageComposeViewController*,
                                      MessageComposeResult result) override {
        results << result;
    }
};

class Composer : public ::testing::Test {
protected:
    void SetUp() override {
        MessageComposeViewController::resetComposedRecord();
        MessageComposeViewController::setCanSendText(true);
    }
    void TearDown() override {
        ns::UrlOpener::setHandler({});
        MessageComposeViewController::setCanSendText(true);
        flush();
    }
};

TEST_F(Composer, RecordsWhatItPreparedAndReportsEachOutcomeOnce) {
    struct Case {
        const char* name;
        bool desktopTakes;
        bool cancel;
        MessageComposeResult expected;
    };
    const QList<Case> cases = {
        {"sent", true, false, MessageComposeResult::Sent},
        {"nothing takes sms", false, false, MessageComposeResult::Failed},
        {"cancelled", true, true, MessageComposeResult::Cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QList<QUrl> opened;
        ns::UrlOpener::setHandler([&](const QUrl& url) {
            opened << url;
            return c.desktopTakes;
        });
        Coloured presenter;
        auto* composer = new MessageComposeViewController;
        ComposeRecorder rec;
        QList<MessageComposeResult> completions;
        composer->setMessageComposeDelegate(&rec);
        composer->setCompletion([&](MessageComposeResult r) { completions << r; });
        composer->setRecipients({"16540"});
        composer->setBody("2010");
        presenter.presentViewController(composer, false);
        EXPECT_EQ(MessageComposeViewController::lastComposed().recipients, QStringList({"16540"}));
        EXPECT_EQ(MessageComposeViewController::lastComposed().body, "2010");
        if (c.cancel)
            composer->cancel();
        else
            composer->send();
        composer->send(); // a second press reports nothing more
        composer->cancel();
        EXPECT_EQ(rec.results, QList<MessageComposeResult>({c.expected}));
        EXPECT_EQ(completions, QList<MessageComposeResult>({c.expected}));
        if (!c.cancel) {
            ASSERT_EQ(opened.size(), 1);
            EXPECT_EQ(opened.first().toString(), "sms:16540?body=2010");
        }
        presenter.dismissViewControllerAnimated(false);
    }
    EXPECT_EQ(MessageComposeViewController::composedCount(), 3);
}

TEST_F(Composer, BodyTextIsEncodedForTheDesktop) {
    QUrl opened;
    ns::UrlOpener::setHandler([&](const QUrl& url) {
        opened = url;
        return true;
    });
    MessageComposeViewController composer;
    composer.setRecipients({"13800000000", "+8613900000000"});
    composer.setBody("推荐给你一个应用 & 下载地址：http://x/y?t=2&mi=1");
    composer.send();
    EXPECT_EQ(opened.scheme(), "sms");
    EXPECT_EQ(opened.path(), "13800000000,+8613900000000");
    EXPECT_EQ(QUrlQuery(opened).queryItemValue("body", QUrl::FullyDecoded),
              "推荐给你一个应用 & 下载地址：http://x/y?t=2&mi=1");
}

TEST_F(Composer, CannotSendMeansFailedAndDestroyedDelegateIsSkipped) {
    MessageComposeViewController::setCanSendText(false);
    EXPECT_FALSE(MessageComposeViewController::canSendText());
    MessageComposeViewController composer;
    auto rec = std::make_unique<ComposeRecorder>();
    composer.setMessageComposeDelegate(rec.get());
    composer.setRecipients({"16540"});
    rec.reset();
    composer.send();
    EXPECT_TRUE(composer.isFinished());
    EXPECT_EQ(MessageComposeViewController::composedCount(), 0); // never on screen
}

TEST(Keyboard, PostsWillThenDidWithThePhoneKeyboardsFrame) {
    QObject observer;
    QStringList seen;
    QVariantMap info;
    for (const QString& name : {Keyboard::WillShowNotification, Keyboard::DidShowNotification,
                                Keyboard::WillHideNotification, Keyboard::DidHideNotification})
        ns::NotificationCenter::defaultCenter().addObserver(&observer, name, nullptr,
                                                            [&](const ns::Notification& n) {
                                                                seen << n.name;
                                                                info = n.userInfo;
                                                            });
    Keyboard::notifyWillHide(); // not up: nothing
    EXPECT_TRUE(seen.isEmpty());
    View field;
    Keyboard::notifyWillShow(&field);
    EXPECT_EQ(seen,
              QStringList({"UIKeyboardWillShowNotification", "UIKeyboardDidShowNotification"}));
    EXPECT_EQ(info.value("UIKeyboardFrameEndUserInfoKey").toRectF(), QRectF(0, 352, 320, 216));
    EXPECT_EQ(info.value("UIKeyboardAnimationDurationUserInfoKey").toDouble(), 0.25);
    EXPECT_EQ(info.value("UIKeyboardAnimationCurveUserInfoKey").toInt(), 7);
    EXPECT_EQ(Keyboard::focusView(), &field);
    seen.clear();
    Keyboard::notifyWillHide();
    EXPECT_EQ(seen,
              QStringList({"UIKeyboardWillHideNotification", "UIKeyboardDidHideNotification"}));
    EXPECT_FALSE(Keyboard::isVisible());
    ns::NotificationCenter::defaultCenter().removeObserver(&observer);
}

TEST(Application, FlagsAndUrls) {
    Application& app = Application::sharedApplication();
    app.setNetworkActivityIndicatorVisible(true);
    EXPECT_TRUE(app.isNetworkActivityIndicatorVisible());
    app.setNetworkActivityIndicatorVisible(false);
    app.setStatusBarStyle(Application::StatusBarStyle::LightContent, true);
    EXPECT_EQ(int(app.statusBarStyle()), 1);
    QList<QUrl> opened;
    ns::UrlOpener::setHandler([&](const QUrl& url) {
        opened << url;
        return true;
    });
    EXPECT_TRUE(app.openURL(QUrl("tel:16540")));
    EXPECT_FALSE(app.openURL(QUrl())); // nothing to open
    EXPECT_EQ(opened, QList<QUrl>({QUrl("tel:16540")}));
    ns::UrlOpener::setHandler({});
}

} // namespace

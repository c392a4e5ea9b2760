#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <gtest/gtest.h>

#include "platform/foundation/UrlOpener.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "tests/platform/PlatformHarness.h"

using namespace ui;
using platformtest::flush;

namespace {

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
    const QString body = "推荐给你一个应用 & 下载地址：http://x/y?t=2&mi=1";
    struct Case {
        const char* name;
        bool canSend, desktopTakes, cancel;
        MessageComposeResult expected;
    };
    const QList<Case> cases = {
        {"sent", true, true, false, MessageComposeResult::Sent},
        {"nothing takes sms", true, false, false, MessageComposeResult::Failed},
        {"cancelled", true, true, true, MessageComposeResult::Cancelled},
        {"cannot send text", false, true, false, MessageComposeResult::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageComposeViewController::setCanSendText(c.canSend);
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
        composer->setRecipients({"13800000000", "+8613900000000"});
        composer->setBody(body);
        std::unique_ptr<MessageComposeViewController> unshown;
        if (!c.canSend)
            unshown.reset(composer);
        else
            presenter.presentViewController(composer, false);
        if (c.canSend) {
            EXPECT_EQ(MessageComposeViewController::lastComposed().recipients,
                      QStringList({"13800000000", "+8613900000000"}));
            EXPECT_EQ(MessageComposeViewController::lastComposed().body, body);
        }
        c.cancel ? composer->cancel() : composer->send();
        composer->send(); // a second press reports nothing more
        composer->cancel();
        EXPECT_EQ(rec.results, QList<MessageComposeResult>({c.expected}));
        EXPECT_EQ(completions, QList<MessageComposeResult>({c.expected}));
        if (!c.cancel && c.canSend) {
            // The body is encoded for the desktop.
            ASSERT_EQ(opened.size(), 1);
            EXPECT_EQ(opened.first().scheme(), "sms");
            EXPECT_EQ(opened.first().path(), "13800000000,+8613900000000");
            EXPECT_EQ(QUrlQuery(opened.first()).queryItemValue("body", QUrl::FullyDecoded), body);
        }
        presenter.dismissViewControllerAnimated(false);
    }
    // Never on screen without the means to send.
    EXPECT_EQ(MessageComposeViewController::composedCount(), 3);
}

TEST_F(Composer, TextsOnlyWhereTheDesktopHasAnSmsHandler) {
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    qputenv("XDG_DATA_DIRS", data.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", data.path().toUtf8());
    QDir().mkpath(data.path() + "/applications");
    MessageComposeViewController::setCanSendText(std::nullopt);
    EXPECT_FALSE(MessageComposeViewController::canSendText());
    QFile entry(data.path() + "/applications/texts.desktop");
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nName=Texts\nMimeType=x-scheme-handler/sms;\n");
    entry.close();
    EXPECT_TRUE(MessageComposeViewController::canSendText());
    // A fixed answer wins over the desktop's.
    MessageComposeViewController::setCanSendText(false);
    EXPECT_FALSE(MessageComposeViewController::canSendText());
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_DATA_DIRS");
    qunsetenv("XDG_CONFIG_HOME");
}

TEST_F(Composer, SendWaitsForARecipientAndTheBodyHasACeiling) {
    const std::pair<QString, QStringList> written[] = {
        {"13800000001", {"13800000001"}},
        {" 13800000001, 16540；+8613900000000、 ", {"13800000001", "16540", "+8613900000000"}},
        {" ,; ", {}},
    };
    for (const auto& [text, recipients] : written)
        EXPECT_EQ(MessageComposeViewController::recipientsFromText(text), recipients)
            << text.toStdString();

    QList<QUrl> opened;
    ns::UrlOpener::setHandler([&](const QUrl& url) {
        opened << url;
        return true;
    });
    Coloured presenter;
    auto* composer = new MessageComposeViewController;
    ComposeRecorder rec;
    composer->setMessageComposeDelegate(&rec);
    composer->setBody(QString(MessageComposeViewController::kMaxBodyLength + 500, 'A'));
    presenter.presentViewController(composer, false);
    EXPECT_EQ(composer->body().size(), MessageComposeViewController::kMaxBodyLength);
    EXPECT_FALSE(composer->sendButton()->isEnabled());
    composer->send();
    EXPECT_FALSE(composer->isFinished());
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(composer->recipientsField()->isFirstResponder()); // asked for a number
    composer->setRecipients({"16540"});
    EXPECT_EQ(composer->recipientsField()->text(), "16540");
    EXPECT_TRUE(composer->sendButton()->isEnabled());
    composer->send();
    EXPECT_EQ(rec.results, QList<MessageComposeResult>{MessageComposeResult::Sent});
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().path(), "16540");
    // The keyboard the number was asked with goes now, not at a later turn of the event loop
    // that the next test would meet.
    composer->recipientsField()->resignFirstResponder();
    presenter.dismissViewControllerAnimated(false);
}

TEST_F(Composer, ADestroyedDelegateIsSkipped) {
    MessageComposeViewController composer;
    auto rec = std::make_unique<ComposeRecorder>();
    composer.setMessageComposeDelegate(rec.get());
    composer.setRecipients({"16540"});
    rec.reset();
    composer.send();
    EXPECT_TRUE(composer.isFinished());
}

TEST_F(Composer, TheApplicationOpensOnlyRealUrls) {
    QList<QUrl> opened;
    ns::UrlOpener::setHandler([&](const QUrl& url) {
        opened << url;
        return true;
    });
    EXPECT_TRUE(Application::sharedApplication().openURL(QUrl("tel:16540")));
    EXPECT_FALSE(Application::sharedApplication().openURL(QUrl()));
    EXPECT_EQ(opened, QList<QUrl>({QUrl("tel:16540")}));
}

} // namespace

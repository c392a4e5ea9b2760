// The web-page screen over the headless web view: load policy, overlay, back and close,
// cookies, the native functions the bridge reaches, and a browser module that will not load.

#include "tests/screens/web/web_support.h"

#include "app/core/HTTPRequest.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NetworkActivity.h"
#include "platform/foundation/Reachability.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/WebViewFake.h"
#include "platform/ui/WebViewModule.h"
#include "sandbox/PictureStore.h"
#include "screens/web/WebBridgeMessage.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/WindowInput.h"
#include "widgets/OverlayHUD.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

using web::PageFixture;
using BrowserModuleTest = web::PageFixture;

QUrl bridgeUrl(const QJsonObject& message) {
    return QUrl(QStringLiteral("webkitpostnotification:") +
                QString::fromUtf8(QUrl::toPercentEncoding(
                    QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)))));
}

const QString kNetworkFailed = "网络连接失败,请检查您的网络设置";

// A server that sets a cookie for the request layer on "/set"; sent() tells what cookie a
// request now carries.
struct RequestCookies {
    RequestCookies() {
        HTTPRequest::clearCookies();
        server.setHandler([](const ScriptedServer::Request& r) {
            auto answer = ScriptedServer::json(R"({"result":0})");
            if (r.path.endsWith("/set")) answer.headers = "Set-Cookie: JSESSIONID=s1; Path=/\r\n";
            return answer;
        });
        sent("/set");
    }
    QString sent(const char* path) {
        bool ended = false;
        auto* request = HTTPRequest::requestWithURL(server.url(path), 30);
        request->setCompletionHandler([&](const QVariant&) { ended = true; });
        request->setFailureHandler([&](const HTTPError&) { ended = true; });
        request->startRequest();
        EXPECT_TRUE(web::waitUntil([&] { return ended; }));
        return QString::fromLatin1(server.requests().last().headers.value("cookie"));
    }
    ScriptedServer server;
};

class WebPageTest : public PageFixture {
protected:
    ui::WebViewFake* webView(WebViewController* page) {
        return qobject_cast<ui::WebViewFake*>(page->myWebView());
    }
    bool call(WebViewController* page, const QJsonObject& message) {
        return webView(page)->navigate(bridgeUrl(message));
    }
    OverlayHUD* overlay(WebViewController* page) { return OverlayHUD::HUDForView(page->view()); }
    bool presented(WebViewController* page, bool shown) {
        return web::waitUntil(
            [&] { return (page->presentedViewController() != nullptr) == shown; });
    }

    ui::WebViewFake::ScopedInstall fake;
};

TEST_F(WebPageTest, loadPolicyJudgesEveryAddress) {
    struct Case {
        const char* name;
        QUrl url;
        bool loads;
        bool expiredAlert;
        bool firstPageDone; // the first page has loaded: the cache is emptied twice
        int answers = 0;
    };
    const Case cases[] = {
        {"first page", QUrl("http://h/pelvo/ulvek/a.html?num=1"), true, false, false},
        {"ordinary page", QUrl("http://h/pelvo/ulvek/a.html?num=1"), true, false, true},
        {"another page", QUrl("http://h/pelvo/ulvek/b.html"), true, false, true},
        {"expired session", QUrl("http://h/pelvo/ulvek/a.html?result=9999"), false, true, true},
        {"expired, percent-encoded", QUrl::fromEncoded("http://h/a.html?r=99%399"), false, true,
         true},
        {"9999 wins over a bridge call",
         QUrl("webkitpostnotification:{\"function\":\"getVersionNumOfAPP:\"}9999"), false, true,
         true},
        {"bridge call", bridgeUrl({{"function", "getVersionNumOfAPP:"}}), false, false, true},
        {"foreign bridge call", bridgeUrl({{"function", "dealloc"}}), false, false, true},
        {"9999 inside the address", QUrl("http://h/9999/a.html"), true, false, true},
        {"answered bridge call",
         bridgeUrl({{"function", "getVersionNumOfAPP:"}, {"callback", "cb"}}), false, false, true,
         1},
        // A frame the subscriber clicks may send the whole page to an ordinary address, which
        // the engine reports as the page's own: neither a call nor a sign counts there.
        {"a call inside an ordinary address",
         QUrl("http://h/a.html?c=webkitpostnotification:{\"function\":\"getVersionNumOfAPP:\","
              "\"callback\":\"cb\"}"),
         false, false, true},
        {"9999 at another site's address", QUrl("http://elsewhere.example/a.html?r=9999"), false,
         false, true},
    };
    WebViewController* page = open("http://h/pelvo/ulvek/start.html");
    ui::WebViewFake* view = webView(page);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->cacheClears(), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        logins = 0;
        const int clears = view->cacheClears();
        const qsizetype scripts = view->scripts().size();
        EXPECT_EQ(view->navigate(c.url), c.loads);
        EXPECT_EQ(view->scripts().size() - scripts, c.answers);
        EXPECT_EQ(view->cacheClears() - clears, c.loads ? (c.firstPageDone ? 2 : 1) : 0);
        view->finishLoad(true);
        EXPECT_EQ(shownAlert(), c.expiredAlert ? "提示|用户认证失败，请先登陆！|确定" : "");
        if (!c.expiredAlert) continue;
        EXPECT_TRUE(page->alertViewIsshow());
        EXPECT_EQ(logins, 0);
        ui::AlertCenter::topAlert()->pressButtonAtIndex(0);
        EXPECT_EQ(logins, 1);
        ui::AlertCenter::dismissAll();
    }
}

TEST_F(WebPageTest, pageLoadsDirectlyUnderOneOverlay) {
    WebViewController* page = open("https://127.0.0.1/pelvo/ulvek/a.html");
    ui::WebViewFake* view = webView(page);
    // The page itself is asked for: no earlier connection stands in front of it.
    ASSERT_EQ(view->requestedLoads(), QList<QUrl>{QUrl("https://127.0.0.1/pelvo/ulvek/a.html")});
    EXPECT_TRUE(view->isLoading());
    ASSERT_NE(overlay(page), nullptr);
    EXPECT_EQ(page->navigationItem()->title(), "页面");
    // A link while the overlay is up adds no second one.
    view->navigate(QUrl("https://127.0.0.1/pelvo/ulvek/b.html"));
    EXPECT_EQ(OverlayHUD::allHUDsForView(page->view()).size(), 1);
    view->finishLoad(true);
    EXPECT_TRUE(web::waitUntil([&] { return overlay(page) == nullptr; }));
    // The payment page loads without an overlay.
    view->navigate(QUrl("https://pay.example/UnifiedPay/order?x=1"));
    EXPECT_EQ(overlay(page), nullptr);
    view->finishLoad(false);
    EXPECT_EQ(page->navigationItem()->rightBarButtonItem(), nullptr);
    // No address: nothing to load, no overlay.
    page = open("");
    EXPECT_TRUE(webView(page)->requestedLoads().isEmpty());
    EXPECT_EQ(overlay(page), nullptr);
}

TEST_F(WebPageTest, pageFillsTheVisibleAreaOnEveryLayout) {
    for (const bool inTabs : {false, true}) {
        SCOPED_TRACE(inTabs ? "above the tab bar" : "no tab bar");
        ui::TabBarController* tabs = inTabs ? showTabs(0) : nullptr;
        ui::NavigationController* nav = tabs ? tab(tabs, 0) : host.nav;
        ui::ViewController* root = tabs ? static_cast<ui::ViewController*>(tabs) : host.nav;
        WebViewController* page = open("http://h/a.html", nav);
        // The window's size, then a resize of everything in it.
        for (const QSize size : {QSize(320, 568), QSize(400, 420)}) {
            root->view()->setFrame(QRectF(QPointF(), size));
            const auto inWindow = [&](QWidget* w) {
                return QRect(w->mapTo(host.window.get(), QPoint()), w->size());
            };
            const int top = inWindow(nav->navigationBar()).bottom() + 1;
            const int bottom = tabs ? inWindow(tabs->tabBar()).top() : size.height();
            EXPECT_EQ(inWindow(page->myWebView()), QRect(0, top, size.width(), bottom - top));
        }
    }
}

TEST_F(WebPageTest, backWalksTheHistoryThenLeavesWithTheEngine) {
    for (const bool close : {false, true}) {
        QPointer<WebViewController> page = open("http://h/a.html");
        ui::WebViewFake* view = webView(page);
        view->finishLoad(true);
        view->navigate(QUrl("http://h/b.html"));
        view->finishLoad(true);
        ASSERT_TRUE(view->canGoBack());
        page->doReturn();
        EXPECT_EQ(view->url(), QUrl("http://h/a.html"));
        ASSERT_NE(page->closeButton(), nullptr);
        EXPECT_EQ(host.nav->topViewController(), page);
        // Without history the back button leaves; the close button leaves at once.
        if (close)
            web::tap(host.window.get(), page->closeButton());
        else
            page->doReturn();
        EXPECT_EQ(host.nav->topViewController(), host.vc);
        EXPECT_TRUE(web::waitUntil([&] { return page.isNull(); }));
        EXPECT_EQ(ui::WebView::liveCount(), 0);
    }
}

TEST_F(WebPageTest, lossOfTheNetworkAlertsAndLeaves) {
    ns::Reachability::shared().setMediumOverride(ns::Reachability::Medium::WiFi);
    WebViewController* page = open("http://h/a.html");
    ASSERT_NE(page->hostReach(), nullptr);
    ASSERT_NE(overlay(page), nullptr);
    // Back on Wi-Fi after a change: nothing.
    ns::Reachability::shared().setMediumOverride(ns::Reachability::Medium::Cellular);
    EXPECT_EQ(shownAlert(), "");
    ns::Reachability::shared().setMediumOverride(ns::Reachability::Medium::None);
    const QString alert = shownAlert();
    ns::Reachability::shared().setMediumOverride(std::nullopt);
    EXPECT_EQ(alert, "提示|" + kNetworkFailed + "|确定");
    EXPECT_TRUE(web::waitUntil([&] { return overlay(page) == nullptr; }));
    ASSERT_TRUE(ui::AlertCenter::press(0));
    EXPECT_EQ(host.nav->topViewController(), host.vc);
}

TEST_F(WebPageTest, cookiesGoWhenThePageLeavesTheStackNotWhenCovered) {
    RequestCookies cookies;
    WebViewController* page = open("http://h/a.html");
    webView(page)->finishLoad(true);
    // Covered by the picker, the composer and a pushed screen: cookies stay.
    call(page, {{"function", "showAddressBook:"}, {"callback", "onPicked"}});
    ASSERT_TRUE(presented(page, true));
    ui::PeoplePickerViewController* picker = page->addressBookHelper()->pickerView();
    web::tapRow(host.window.get(), picker->tableView(), 2); // the person without a number
    ASSERT_EQ(webView(page)->scripts(),
              QStringList{"onPicked('{numlist:[],name:\\\"只有邮箱\\\"}')"});
    ASSERT_TRUE(presented(page, false));
    call(page, {{"function", "displaySMSComposerSheetWithPhone:"}, {"argument", "hi"}});
    ASSERT_TRUE(presented(page, true));
    qobject_cast<ui::MessageComposeViewController*>(page->presentedViewController())->cancel();
    ASSERT_TRUE(presented(page, false));
    EXPECT_EQ(cookies.sent("/get"), "JSESSIONID=s1");
    call(page, {{"function", "pushToFunctionModuleVC:"}, {"argument", "Main&WebViewController"}});
    EXPECT_NE(host.nav->topViewController(), page);
    host.nav->popViewControllerAnimated(false);
    // The pushed page itself left the stack: that is one deletion.
    EXPECT_EQ(ui::WebViewFake::cookieDeletions(), 1);
    EXPECT_EQ(cookies.sent("/set"), "");
    EXPECT_EQ(host.nav->topViewController(), page);
    QPointer<WebViewController> popped(page);
    host.nav->popViewControllerAnimated(true);
    EXPECT_EQ(ui::WebViewFake::cookieDeletions(), 2);
    EXPECT_EQ(cookies.sent("/get"), "");
    // Its end after leaving the stack deletes nothing more.
    EXPECT_TRUE(web::waitUntil([&] { return popped.isNull(); }));
    EXPECT_EQ(ui::WebViewFake::cookieDeletions(), 2);
}

// A page destroyed with what holds it (a log-in replacing the shell under the log-in screen)
// never leaves its stack: its cookies go all the same.
TEST_F(WebPageTest, cookiesGoWhenThePageGoesWithItsContainer) {
    RequestCookies cookies;
    ui::TabBarController* tabs = showTabs(0);
    QPointer<WebViewController> page = open("http://h/a.html", tab(tabs, 0));
    webView(page)->finishLoad(true);
    host.window->setRootViewController(new ui::NavigationController(new ui::ViewController));
    EXPECT_TRUE(web::waitUntil([&] { return page.isNull(); }));
    EXPECT_EQ(ui::WebViewFake::cookieDeletions(), 1);
    // The requests' cookies are by then those of the log-in that replaced the shell.
    EXPECT_EQ(cookies.sent("/get"), "JSESSIONID=s1");
}

TEST_F(WebPageTest, answersReachOnlyValidCallbacks) {
    WebViewController* page = open("http://h/a.html");
    ui::WebViewFake* view = webView(page);
    call(page, {{"function", "getVersionNumOfAPP:"}, {"callback", "app.onVersion"}});
    ASSERT_EQ(view->scripts().size(), 1);
    EXPECT_TRUE(view->scripts().last().startsWith("app.onVersion('"));
    EXPECT_EQ(page->strCallBack(), "app.onVersion");
    // A message without a callback replaces the stored one; hostile ones answer nothing.
    for (const char* callback : {"", "alert(document.cookie)", "x');evil('"}) {
        QJsonObject message{{"function", "getVersionNumOfAPP:"}};
        if (*callback) message["callback"] = callback;
        call(page, message);
        EXPECT_EQ(page->strCallBack(), "");
    }
    EXPECT_EQ(view->scripts().size(), 1);
}

TEST_F(WebPageTest, contactsReachThePageThatAskedOnceAllowed) {
    enum class Book { Sample, Large, TooLarge };
    enum class Meanwhile { PageLoads, PageCovered, NextPage };
    struct Case {
        const char* name;
        Book book;
        bool allowed;
        Meanwhile meanwhile;
        int people; // in the answer; -1: no answer
        QString answerEnd;
        bool networkAlert;
    };
    const QString sample =
        "onContacts('[{numlist:[\\\"13800000001\\\",\\\"01088886666\\\"],name:\\\"张三\\\"},"
        "{numlist:[\\\"13900000002\\\"],name:\\\"LeeAnn\\\"},{numlist:[],name:\\\"只有邮箱\\\"}]')";
    const Case cases[] = {
        {"refused", Book::Sample, false, Meanwhile::PageLoads, -1, "", false},
        {"sample book", Book::Sample, true, Meanwhile::PageLoads, 3, sample, false},
        {"15,000 people", Book::Large, true, Meanwhile::PageLoads, 15000,
         "{numlist:[\\\"13800014999\\\"],name:\\\"人14999\\\"}]')", false},
        // Unreadable: as a refusal, no answer and the page stays.
        {"book too large to read", Book::TooLarge, true, Meanwhile::PageLoads, -1, "", false},
        {"page covered meanwhile", Book::Sample, true, Meanwhile::PageCovered, 3, sample, false},
        {"another page meanwhile", Book::Sample, true, Meanwhile::NextPage, -1, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui::ContactsAuthorization::reset();
        QFile book(ns::ContactsStore::defaultPath());
        if (c.book != Book::Sample) {
            ASSERT_TRUE(book.open(QIODevice::WriteOnly));
            for (int i = 0; c.book == Book::Large && i < 15000; ++i)
                book.write(QStringLiteral("BEGIN:VCARD\nN:人;%1\nTEL:+86 138-000-%2\nEND:VCARD\n")
                               .arg(i)
                               .arg(i, 5, 10, QChar('0'))
                               .toUtf8());
            if (c.book == Book::TooLarge) book.resize(17 * 1024 * 1024);
            book.close();
        }
        // Asked while the page is still loading under its overlay.
        QPointer<WebViewController> page = open("http://h/a.html");
        ui::WebViewFake* view = webView(page);
        call(page, {{"function", "getAllPeoplesAddressInfo:"}, {"callback", "onContacts"}});
        ui::AlertView* permission = ui::AlertCenter::topAlert();
        ASSERT_NE(permission, nullptr);
        if (c.meanwhile == Meanwhile::PageCovered) {
            // Left for another screen: the load stops and its overlay goes for good.
            host.nav->pushViewController(new ui::ViewController, false);
            host.nav->popViewControllerAnimated(false);
        } else {
            if (c.meanwhile == Meanwhile::NextPage) view->navigate(QUrl("http://h/b.html"));
            view->finishLoad(true);
        }
        EXPECT_TRUE(web::waitUntil([&] { return overlay(page) == nullptr; }));
        permission->pressButtonAtIndex(c.allowed ? 1 : 0);
        if (c.people < 0) {
            web::waitUntil([] { return false; }, 50);
            EXPECT_TRUE(view->scripts().isEmpty());
        } else {
            ASSERT_TRUE(web::waitUntil([&] { return view->scripts().size() == 1; }));
            const QString answer = view->scripts().first();
            EXPECT_TRUE(answer.startsWith("onContacts('[{numlist:["))
                << answer.left(80).toStdString();
            EXPECT_TRUE(answer.endsWith(c.answerEnd)) << answer.right(80).toStdString();
            EXPECT_EQ(answer.count("numlist:"), c.people);
        }
        EXPECT_EQ(shownAlert(), c.networkAlert ? "提示|" + kNetworkFailed + "|确定" : "");
        EXPECT_EQ(host.nav->topViewController(), page.data());
        ui::AlertCenter::dismissAll();
        host.nav->popToRootViewControllerAnimated(false);
        web::writeSampleContacts();
    }
    // A person picked after another page loaded is not answered into that page.
    WebViewController* page = open("http://h/a.html");
    call(page, {{"function", "showAddressBook:"}, {"callback", "onPicked"}});
    ASSERT_TRUE(presented(page, true));
    webView(page)->navigate(QUrl("http://h/b.html"));
    web::tapRow(host.window.get(), page->addressBookHelper()->pickerView()->tableView(), 1);
    ASSERT_TRUE(presented(page, false));
    EXPECT_TRUE(webView(page)->scripts().isEmpty());
}

TEST_F(WebPageTest, smsGoesWhereTheDesktopCanSendItWithATypedRecipient) {
    struct Case {
        const char* name;
        QJsonValue argument;
        bool desktopTexts; // the desktop has a handler for sms: links
        bool composer;
        QString body;
        bool alert; // "此设备不支持短信功能"
    };
    const QString longest(WebBridgeMessage::kMaxSmsBodyLength, QChar(0x8bdd));
    const Case cases[] = {
        {"text", "推荐你使用", true, true, "推荐你使用", false},
        {"number", 16540, true, true, "16540", false},
        {"longest body", longest, true, true, longest, false},
        {"body past the limit", longest + "A", true, false, "", false},
        {"object", QJsonObject{{"a", 1}}, true, false, "", false},
        {"no argument", QJsonValue(), true, false, "", false},
        {"desktop cannot text", "text", false, false, "", true},
    };
    ui::MessageComposeViewController::setCanSendText(std::nullopt);
    WebViewController* page = open("http://h/a.html");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ns::UrlOpener::setCanOpenHandler(
            [&](const QUrl& url) { return url.scheme() == "sms" && c.desktopTexts; });
        QList<QUrl> opened;
        ns::UrlOpener::setHandler([&](const QUrl& url) {
            opened << url;
            return true;
        });
        QJsonObject message{{"function", "displaySMSComposerSheetWithPhone:"}};
        if (!c.argument.isNull()) message["argument"] = c.argument;
        call(page, message);
        auto* composer =
            qobject_cast<ui::MessageComposeViewController*>(page->presentedViewController());
        ASSERT_EQ(composer != nullptr, c.composer);
        EXPECT_EQ(shownAlert().section('|', 1, 1), c.alert ? "此设备不支持短信功能" : "");
        ui::AlertCenter::dismissAll();
        if (!composer) continue;
        EXPECT_EQ(composer->body(), c.body);
        // No recipient yet: 发送 waits for one.
        windowinput::click(composer->sendButton());
        EXPECT_EQ(page->presentedViewController(), composer);
        EXPECT_TRUE(opened.isEmpty());
        // Typed as a person types: letters are refused, digits and commas taken.
        windowinput::click(composer->recipientsField());
        windowinput::type("1380000000a1,16540");
        EXPECT_EQ(composer->recipientsField()->text(), "13800000001,16540");
        windowinput::click(composer->sendButton());
        ASSERT_TRUE(presented(page, false));
        ASSERT_EQ(opened.size(), 1);
        EXPECT_EQ(opened.first().scheme(), "sms");
        EXPECT_EQ(opened.first().path(), "13800000001,16540");
        EXPECT_EQ(QUrlQuery(opened.first()).queryItemValue("body", QUrl::FullyDecoded), c.body);
    }
    ui::MessageComposeViewController::setCanSendText(true);
}

TEST_F(WebPageTest, hostileMessagesAndAddressesChangeNothing) {
    const auto nested = [](int depth) { return QString(depth, '[') + QString(depth, ']'); };
    const auto version = [](const QString& argumentJson) {
        return QStringLiteral(R"({"function":"getVersionNumOfAPP:","callback":"cb","argument":%1})")
            .arg(argumentJson);
    };
    // An ignored array argument that brings the whole message to the given length.
    const auto padded = [&](qsizetype length) {
        const qsizetype rest = length - version("[\"\"]").size();
        return "[\"" + QString(rest, 'x') + "\"]";
    };
    const auto asAddress = [](const QString& json) {
        return QUrl(QStringLiteral("webkitpostnotification:") +
                    QString::fromLatin1(QUrl::toPercentEncoding(json)));
    };
    struct Case {
        const char* name;
        QUrl url;
        bool answered;
    };
    const Case cases[] = {
        {"shallow argument", asAddress(version(nested(10))), true},
        {"deep argument", asAddress(version(nested(5000))), false},
        // Every field within its own limit, the whole one character past the message's.
        {"message past its limit",
         asAddress(version(padded(WebBridgeMessage::kMaxMessageLength + 1))), false},
        {"message at its limit", asAddress(version(padded(WebBridgeMessage::kMaxMessageLength))),
         true},
        {"1.5 MB SMS body",
         asAddress(
             QStringLiteral(R"({"function":"displaySMSComposerSheetWithPhone:","argument":"%1"})")
                 .arg(QString(1536 * 1024, 'A'))),
         false},
        {"huge page address",
         QUrl("http://h/a.html?q=" + QString(WebViewController::kMaxAddressBytes, 'a')), false},
        {"huge expired address",
         QUrl("http://h/a.html?q=" + QString(WebViewController::kMaxAddressBytes, 'a') + "9999"),
         false},
    };
    WebViewController* page = open("http://h/a.html");
    webView(page)->finishLoad(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        webView(page)->navigate(c.url);
        EXPECT_EQ(webView(page)->scripts().size(), c.answered ? 1 : 0);
        // Nothing loads, nothing covers the page.
        EXPECT_FALSE(webView(page)->isLoading());
        EXPECT_EQ(page->presentedViewController(), nullptr);
        EXPECT_EQ(shownAlert(), "");
        EXPECT_EQ(host.nav->topViewController(), page);
        ui::AlertCenter::dismissAll();
        page = open("http://h/a.html");
        webView(page)->finishLoad(true);
    }
}

// The page's own request: ended as a failed load once it has taken 30 s, without a word. A load
// still running when the page comes back from under another screen is stopped then.
TEST_F(WebPageTest, pageRequestGivesUpAfterThirtySeconds) {
    EXPECT_EQ(WebViewController::kRequestTimeoutMs, 30000); // the steps below use the constant
    struct Case {
        const char* name;
        qint64 finishesAfterMs; // -1: never
        bool timesOut;
        bool backOverALoad = false; // covered, the page starts another load, then shown again
    };
    const Case cases[] = {
        {"silent server", -1, true},
        {"answers just in time", 29999, false},
        {"answers at once", 0, false},
        {"back over a load the page started while covered", -1, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ns::ScopedManualClock clock;
        WebViewController* page = open("http://h/a.html");
        ui::WebViewFake* view = webView(page);
        ASSERT_NE(overlay(page), nullptr);
        if (c.backOverALoad) {
            host.nav->pushViewController(new ui::ViewController, false);
            ASSERT_FALSE(view->isLoading());
            view->navigate(QUrl("http://h/b.html"));
            ASSERT_TRUE(view->isLoading());
            host.nav->popViewControllerAnimated(false);
            EXPECT_FALSE(view->isLoading());
            EXPECT_EQ(view->stopCount(), 2);
        }
        const int stops = view->stopCount();
        if (c.finishesAfterMs >= 0) {
            clock.clock.advance(c.finishesAfterMs);
            view->finishLoad(true);
        }
        clock.clock.advance(WebViewController::kRequestTimeoutMs - 1 -
                            std::max<qint64>(0, c.finishesAfterMs));
        EXPECT_EQ(view->stopCount(), stops);
        if (c.timesOut) {
            EXPECT_TRUE(view->isLoading());
            EXPECT_FALSE(overlay(page)->isHidden());
        }
        clock.clock.advance(1);
        EXPECT_EQ(view->stopCount() - stops, c.timesOut ? 1 : 0);
        EXPECT_FALSE(view->isLoading());
        EXPECT_FALSE(ns::NetworkActivity::isVisible());
        // The overlay is on its way out; the page stays, with no message.
        clock.clock.advance(1000);
        EXPECT_TRUE(web::waitUntil([&] { return overlay(page) == nullptr; }));
        EXPECT_EQ(shownAlert(), "");
        EXPECT_EQ(host.nav->topViewController(), page);
        host.nav->popToRootViewControllerAnimated(false);
    }
}

TEST_F(WebPageTest, invalidRouteIsIgnored) {
    WebViewController* page = open("http://h/a.html");
    for (const char* route : {"Main&NoSuchScene", "NoStoryboard&WebViewController", "Main", "&",
                              "RootViewController"}) {
        call(page, {{"function", "pushToFunctionModuleVC:"}, {"argument", route}});
        EXPECT_EQ(host.nav->topViewController(), page) << route;
    }
    call(page, {{"function", "pushToFunctionModuleVC:"}, {"argument", "Main&WebViewController"}});
    EXPECT_NE(host.nav->topViewController(), page);
}

// A page is untrusted: it can push ordinary screens, never the start-up screens or the shell.
TEST_F(WebPageTest, routeToAStartUpOrShellSceneIsRefused) {
    const struct {
        const char* route;
        const char* opened; // the screen pushed, or nullptr
    } cases[] = {
        {"Main&DefaultVC", nullptr},
        {"Main&GuideViewController", nullptr},
        {"Main&LoginViewController", nullptr},
        {"Main&SkatingRinkViewController", nullptr},
        {"Main&SideSlipViewController", nullptr},
        {"Main&TabBarViewController", nullptr},
        {"Main&NavbarViewController", nullptr},
        {"Main&LoginViewController&FNRootViewController", nullptr},
        {"Main&FNRootViewController", "FNRootViewController"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.route);
        WebViewController* page = open("http://h/a.html");
        call(page, {{"function", "pushToFunctionModuleVC:"}, {"argument", c.route}});
        ui::ViewController* top = host.nav->topViewController();
        if (c.opened) {
            ASSERT_NE(top, page);
            EXPECT_STREQ(top->metaObject()->className(), c.opened);
        } else {
            EXPECT_EQ(top, page);
        }
        host.nav->popToRootViewControllerAnimated(false);
    }
}

TEST_F(WebPageTest, tabSelectionLeavesTheOldTabAtItsRoot) {
    struct Case {
        QJsonValue argument;
        int selected; // -1: nothing changes
    };
    // The argument's integer value; out of range, tab 0; neither text nor number, nothing.
    const Case cases[] = {{"2", 2},
                          {2, 2},
                          {"9", 0},
                          {"-1", 0},
                          {-1, 0},
                          {3.0, 3},
                          {"two", 0},
                          {true, 1},
                          {false, 0},
                          {2.5, 2},
                          {"2.9", 2},
                          {" 3 tabs", 3},
                          {-0.5, 0},
                          {"99999999999999999999", 0},
                          {1e300, 0},
                          {QJsonArray{1}, -1},
                          {QJsonObject{{"i", 2}}, -1},
                          {QJsonValue(QJsonValue::Null), -1},
                          {4, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(QJsonDocument(QJsonObject{{"a", c.argument}}).toJson().toStdString());
        ui::TabBarController* tabs = showTabs(1);
        WebViewController* page = open("http://h/a.html", tab(tabs, 1));
        ASSERT_EQ(tab(tabs, 1)->viewControllers().size(), 2);
        call(page, {{"function", "pushToTabbarViewController:"}, {"argument", c.argument}});
        EXPECT_EQ(tabs->selectedIndex(), c.selected < 0 ? 1 : c.selected);
        EXPECT_EQ(tab(tabs, 1)->viewControllers().size(), c.selected < 0 ? 2 : 1);
    }
}

// Talvo and Mireb are "installed"; a scripted server serves (or withholds) the pictures.
class ShareTest : public WebPageTest {
protected:
    void SetUp() override {
        WebPageTest::SetUp();
        apps = std::make_unique<web::InstalledShareApps>();
        server.setHandler([](const ScriptedServer::Request& r) {
            if (r.path.startsWith("/never")) return ScriptedServer::noAnswer();
            if (r.path.startsWith("/trickle"))
                return ScriptedServer::trickle(QByteArray(100000, 'x'), 10);
            if (r.path.startsWith("/missing")) return ScriptedServer::html("gone", 404);
            if (r.path.startsWith("/page")) return ScriptedServer::html("<html></html>", 200);
            ScriptedServer::Action a;
            a.body = QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAIAAAACCAIAAAD91JpzAAAAEE"
                                            "lEQVR4nGNw6zkFRAwQCgArDgZxMXQUnAAAAABJRU5ErkJggg==");
            if (r.path.startsWith("/large")) a.body = sandbox::PictureStore::blackPng(1000, 500);
            if (r.path.startsWith("/over-pixels"))
                a.body = sandbox::PictureStore::blackPng(4100, 4100);
            if (r.path.startsWith("/over-bytes"))
                a.body += QByteArray(int(ui::kMaxPictureBytes), '\0');
            a.contentType = "image/png";
            return a;
        });
    }
    // What a bridge call did, as the subscriber would notice it.
    enum class Effect { Nothing, Prompt, Picker, Answer, Composer, Share, Push, Tab, LogIn };
    Effect effectOf(ui::TabBarController* tabs, WebViewController* page) {
        const QString alert = shownAlert();
        if (tabs->selectedIndex() != 1) return Effect::Tab;
        if (!apps->sent.isEmpty()) return Effect::Share;
        if (tab(tabs, 1)->topViewController() != page) return Effect::Push;
        if (qobject_cast<ui::MessageComposeViewController*>(page->presentedViewController()))
            return Effect::Composer;
        if (page->presentedViewController()) return Effect::Picker;
        if (!webView(page)->scripts().isEmpty()) return Effect::Answer;
        if (alert.contains("用户认证失败")) return Effect::LogIn;
        if (!alert.isEmpty()) return Effect::Prompt;
        return Effect::Nothing;
    }
    ScriptedServer server;
};

// A page hands the native side more than any call needs: the call is refused whole, before
// anything reaches a control, a share or the page; the same call within its limit goes.
TEST_F(ShareTest, oversizedBridgeCallsAreRefusedWhole) {
    struct Case {
        const char* name;
        QString function;
        QString argument; // at the limit, or within it; one character more is past it
        Effect within;    // what the call does with it
    };
    const auto pad = [](const QString& head, qsizetype size) {
        return head + QString(std::max<qsizetype>(0, size - head.size()), QChar(' '));
    };
    const qsizetype share = WebBridgeMessage::kMaxShareLength;
    const qsizetype route = WebBridgeMessage::kMaxRouteLength;
    const Case cases[] = {
        {"sms body", "displaySMSComposerSheetWithPhone:",
         QString(WebBridgeMessage::kMaxSmsBodyLength, 'A'), Effect::Composer},
        {"talvo chat", "showTVFriendsView:", pad("标题&&&&&&描述&&&http://h/a.html", share),
         Effect::Share},
        {"talvo timeline", "showTVFriendCircleView:", pad("标题&&&&&&描述&&&http://h/", share),
         Effect::Share},
        {"mireb", "mirebShareButtonPressed:", pad("查话费&", share), Effect::Share},
        {"scene", "pushToFunctionModuleVC:", "Main&WebViewController", Effect::Push},
        {"tab", "pushToTabbarViewController:", pad("2", route), Effect::Tab},
        {"version", "getVersionNumOfAPP:", QString(route, 'x'), Effect::Answer},
    };
    for (const Case& c : cases) {
        for (const bool over : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (over ? ", one past the limit" : ", at the limit"));
            ui::TabBarController* tabs = showTabs(1);
            WebViewController* page = open("http://h/a.html", tab(tabs, 1));
            apps->sent.clear();
            const QString argument =
                over
                    ? pad(c.argument, c.argument.size() > route ? c.argument.size() + 1 : route + 1)
                    : c.argument;
            QPointer<WebViewController> guard(page);
            ASSERT_FALSE(
                call(page, {{"function", c.function}, {"argument", argument}, {"callback", "cb"}}));
            // Shares without a picture go at once: nothing is waited for.
            EXPECT_EQ(effectOf(tabs, page), over ? Effect::Nothing : c.within);
            EXPECT_EQ(shownAlert(), "");
            if (guard && guard->presentedViewController())
                guard->dismissViewControllerAnimated(false);
        }
    }
}

QStringList g_warnings;
void keepWarning(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtWarningMsg) g_warnings << text;
}

// Only the server's own origin (scheme, host, port) reaches the native side: a call counts when
// the document sending it and the page shown are both of it, whichever frame it navigates; the
// expired-session sign at an ordinary address only from the page itself. Anything else does
// nothing at all, and is logged with where it came from.
TEST_F(ShareTest, onlyTheOperatorsOwnPagesReachTheNativeSide) {
    struct Call {
        const char* name;
        QUrl url;
        Effect effect;
    };
    const auto bridge = [](const char* function, const char* argument) {
        return bridgeUrl({{"function", function}, {"argument", argument}, {"callback", "cb"}});
    };
    const Call calls[] = {
        {"contacts", bridge("getAllPeoplesAddressInfo:", ""), Effect::Prompt},
        {"picker", bridge("showAddressBook:", ""), Effect::Picker},
        {"version", bridge("getVersionNumOfAPP:", ""), Effect::Answer},
        {"sms", bridge("displaySMSComposerSheetWithPhone:", "hi"), Effect::Composer},
        {"talvo chat", bridge("showTVFriendsView:", "t&&&&&&d&&&http://h/"), Effect::Share},
        {"talvo timeline", bridge("showTVFriendCircleView:", "t&&&&&&d"), Effect::Share},
        {"mireb", bridge("mirebShareButtonPressed:", "t&"), Effect::Share},
        {"screen", bridge("pushToFunctionModuleVC:", "Main&WebViewController"), Effect::Push},
        {"tab", bridge("pushToTabbarViewController:", "2"), Effect::Tab},
        {"expired session", QUrl("http://h/pelvo/session.html?result=9999"), Effect::LogIn},
    };
    using Frame = ui::WebViewFake::Frame;
    enum class Heard { All, CallsOnly, None };
    const struct {
        const char* name;
        QString page;
        Frame frame;
        Heard heard;
        QString sender = {}; // the document sending the call, when not the page
    } sources[] = {
        {"operator page", "http://h/pelvo/ulvek/a.html?num=1", Frame::Main, Heard::All},
        // Clicked, a frame may send the whole page: to the bridge, the engine names it.
        {"another site's frame sending the whole page", "http://h/pelvo/ulvek/a.html", Frame::Main,
         Heard::None, "http://elsewhere.example"},
        {"another site's frame calling through itself", "http://h/pelvo/ulvek/a.html", Frame::Inner,
         Heard::None, "http://elsewhere.example"},
        // The answer would run in the page shown, the other site's.
        {"an operator page framed by another site, sending the whole page",
         "http://elsewhere.example/a.html", Frame::Main, Heard::None, "http://h"},
        {"a sender of the server's host and port over https", "http://h/pelvo/ulvek/a.html",
         Frame::Main, Heard::None, "https://h:80"},
        {"operator page, port written", "http://h:80/pelvo/ulvek/b.html", Frame::Main, Heard::All},
        {"another host", "http://elsewhere.example/pelvo/ulvek/a.html", Frame::Main, Heard::None},
        {"the server's host, another port", "http://h:8081/pelvo/ulvek/a.html", Frame::Main,
         Heard::None},
        {"the server's host over https", "https://h/pelvo/ulvek/a.html", Frame::Main, Heard::None},
        {"the server's host and port over https", "https://h:80/pelvo/ulvek/a.html", Frame::Main,
         Heard::None},
        // A hidden frame of its own carries the page's call; an ordinary address in a frame
        // cannot tell who sent it.
        {"an operator page calling through a frame", "http://h/pelvo/ulvek/a.html", Frame::Inner,
         Heard::CallsOnly},
    };
    for (const auto& source : sources) {
        for (const Call& c : calls) {
            // The engine names the sender only of navigations to the bridge's own scheme.
            if (!source.sender.isEmpty() && !c.url.toString().startsWith(WebBridgeMessage::kMarker))
                continue;
            SCOPED_TRACE(std::string(source.name) + ": " + c.name);
            ui::ContactsAuthorization::reset();
            apps->sent.clear();
            logins = 0;
            ui::TabBarController* tabs = showTabs(1);
            WebViewController* page = open(source.page, tab(tabs, 1));
            webView(page)->finishLoad(true);
            g_warnings.clear();
            const QtMessageHandler previous = qInstallMessageHandler(keepWarning);
            EXPECT_FALSE(webView(page)->navigate(c.url, ui::WebViewNavigationType::LinkClicked,
                                                 source.frame, source.sender));
            qInstallMessageHandler(previous);
            const Effect seen = effectOf(tabs, page);
            const bool heard = source.heard == Heard::All ||
                               (source.heard == Heard::CallsOnly && c.effect != Effect::LogIn);
            EXPECT_EQ(seen, heard ? c.effect : Effect::Nothing);
            if (seen == Effect::LogIn) ui::AlertCenter::topAlert()->pressButtonAtIndex(0);
            EXPECT_EQ(logins, seen == Effect::LogIn ? 1 : 0);
            // A call not heard leaves no trace but the log line naming its origin (never the
            // page's path or query, which carry the session).
            if (c.effect != Effect::LogIn) {
                EXPECT_EQ(page->strCallBack(), heard ? "cb" : "");
            }
            const QString origin =
                source.sender.isEmpty()
                    ? QUrl(source.page).adjusted(QUrl::RemovePath | QUrl::RemoveQuery).toString()
                    : source.sender;
            EXPECT_EQ(g_warnings.filter(origin).size(), heard ? 0 : 1)
                << g_warnings.join('\n').toStdString();
            EXPECT_TRUE(g_warnings.filter("num=").isEmpty());
            EXPECT_FALSE(webView(page)->isLoading());
            ui::AlertCenter::dismissAll();
            if (page->presentedViewController()) page->dismissViewControllerAnimated(false);
        }
    }
    // The first address, asked for by the application, stands for itself: the server's
    // expired-session address alerts, another site's does nothing and is not loaded.
    for (const bool operatorsOwn : {true, false}) {
        SCOPED_TRACE(operatorsOwn ? "first address the server's" : "first address another's");
        WebViewController* page = open(operatorsOwn ? "http://h/pelvo/a.html?result=9999"
                                                    : "http://elsewhere.example/a.html?r=9999");
        EXPECT_TRUE(webView(page)->requestedLoads().isEmpty());
        EXPECT_EQ(shownAlert(), operatorsOwn ? "提示|用户认证失败，请先登陆！|确定" : "");
        ui::AlertCenter::dismissAll();
    }
}

TEST_F(ShareTest, sharesGoWithOrWithoutTheirPictureAndNeverBlock) {
    struct Case {
        const char* name;
        const char* path; // picture address path, "" for none
        bool waitsForClock;
        QSize thumb; // Talvo's thumbnail; empty: the share goes without a picture
    };
    const Case cases[] = {
        {"picture arrives", "/p.png", false, {2, 2}},
        {"a large picture is a small thumbnail", "/large.png", false, {240, 120}},
        {"no picture given", "", false, {}},
        {"picture missing", "/missing.png", false, {}},
        {"picture never answers", "/never.png", true, {}},
        {"picture trickles", "/trickle.png", true, {}},
        {"not a picture", "/page.html", false, {}},
        {"past the pixel ceiling", "/over-pixels.png", false, {}},
        {"past the byte ceiling", "/over-bytes.png", false, {}},
    };
    ns::ScopedManualClock clock;
    WebViewController* page = open("http://h/a.html");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString address = *c.path ? server.url(c.path).toString() : QString();
        for (const QString function :
             {"showTVFriendsView:", "showTVFriendCircleView:", "mirebShareButtonPressed:"}) {
            SCOPED_TRACE(function.toStdString());
            apps->sent.clear();
            const bool mireb = function.startsWith("mireb");
            const QString argument =
                mireb ? "查话费&" + address : "标题&&&" + address + "&&&描述&&&http://h/a.html";
            call(page, {{"function", function}, {"argument", argument}});
            // The bridge returned at once; the share follows the picture.
            if (c.waitsForClock) {
                EXPECT_FALSE(web::waitUntil([&] { return !apps->sent.isEmpty(); }, 100));
                clock.clock.advance(WebViewController::kShareImageTimeoutMs);
            }
            ASSERT_TRUE(web::waitUntil([&] { return apps->sent.size() == 1; }));
            const QVariantMap record = apps->sent.first();
            if (mireb) {
                const QVariantMap message = record.value("message").toMap();
                EXPECT_EQ(message.value("text").toString(), "查话费");
                EXPECT_EQ(message.contains("imageData"), !c.thumb.isEmpty());
                EXPECT_EQ(record.value("userInfo").toMap().value("Other_Info_1").toInt(), 123);
            } else {
                EXPECT_EQ(record.value("title").toString(), "标题");
                EXPECT_EQ(record.value("description").toString(), "描述");
                EXPECT_EQ(record.value("webpageUrl").toString(), "http://h/a.html");
                EXPECT_EQ(record.value("scene").toInt(), function == "showTVFriendsView:" ? 0 : 1);
                const QImage thumb = QImage::fromData(record.value("thumbData").toByteArray());
                EXPECT_EQ(thumb.size(), c.thumb.isEmpty() ? QSize(0, 0) : c.thumb);
            }
        }
    }
}

TEST_F(ShareTest, talvoMissingOffersTheDownload) {
    // The download page opens, or the subscriber is told the desktop cannot open it.
    for (const bool desktopOpens : {true, false}) {
        SCOPED_TRACE(desktopOpens ? "opened" : "nothing opens it");
        ns::UrlOpener::setCanOpenHandler([](const QUrl&) { return false; });
        QList<QUrl> opened;
        ns::UrlOpener::setHandler([&](const QUrl& url) {
            opened.append(url);
            return desktopOpens;
        });
        WebViewController* page = open("http://h/a.html");
        webView(page)->finishLoad(true);
        ASSERT_TRUE(web::waitUntil([&] { return overlay(page) == nullptr; }));
        // Fewer than four pieces still make a share (the alert here, as Talvo is missing).
        call(page, {{"function", "showTVFriendsView:"}, {"argument", "only a title"}});
        ui::AlertView* alert = ui::AlertCenter::topAlert();
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->buttonTitleAtIndex(1), "免费下载塔沃");
        alert->pressButtonAtIndex(1);
        ASSERT_EQ(opened.size(), 1);
        EXPECT_EQ(opened.first().scheme(), "itms-apps");
        EXPECT_EQ(overlay(page) ? overlay(page)->detailsLabelText() : QString(),
                  desktopOpens ? "" : "无法打开此链接");
    }
}

// The browser module missing or broken: the page says the network failed and leaves; the
// client goes on.
TEST_F(BrowserModuleTest, missingOrBrokenAlertsAndLeaves) {
    const std::pair<const char*, QByteArray> cases[] = {{"missing", {}},
                                                        {"not a module", "not a library\n"}};
    for (const auto& [name, content] : cases) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        const QString path = dir.filePath(ui::WebViewModule::kFileName);
        QFile file(path);
        if (!content.isEmpty()) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content));
            file.close();
        }
        auto module = std::make_shared<ui::WebViewModule>(QStringList{path});
        ui::WebView::setFactory([module](const QRectF& frame, ui::View* parent) {
            return module->create(frame, parent);
        });
        QPointer<WebViewController> page = open("http://127.0.0.1:9/page.html");
        ui::WebView::setFactory({});
        EXPECT_EQ(page->myWebView(), nullptr);
        EXPECT_FALSE(module->isLoaded());
        EXPECT_EQ(shownAlert(), "提示|" + kNetworkFailed + "|确定");
        ASSERT_TRUE(ui::AlertCenter::press(0));
        EXPECT_EQ(host.nav->topViewController(), host.vc);
        EXPECT_TRUE(web::waitUntil([&] { return page.isNull(); }));
    }
}

} // namespace

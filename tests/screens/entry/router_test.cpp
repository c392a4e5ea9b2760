#include "app/categories/BFStyleUtils.h"
#include "app/core/EncryptedPhoneNumber.h"
#include "app/core/NetworkReachability.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/TextView.h"
#include "platform/ui/WebViewFake.h"
#include "screens/entry/DefaultVC.h"
#include "screens/entry/GuideViewController.h"
#include "screens/entry/LoginViewController.h"
#include "screens/query/FAQViewController.h"
#include "screens/query/SettingViewController.h"
#include "screens/shell/NavbarViewController.h"
#include "screens/shell/SideSlipViewController.h"
#include "screens/shell/TabBarViewController.h"
#include "screens/usage/FlowDayStatsController.h"
#include "screens/usage/OtherFlowController.h"
#include "screens/web/WebViewController.h"
#include "tests/screens/entry/login_harness.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/WindowInput.h"

#include <QHash>
#include <QImage>

namespace {

using namespace login_test;
using Medium = ns::Reachability::Medium;
using sandbox::Fault;

const QString kLogin = QStringLiteral("LoginViewController");
const QString kGuide = QStringLiteral("GuideViewController");
const QString kMain = kMainScene;
const QString kNumber = SandboxFixture::demoNumber();
const QString kPassword = SandboxFixture::demoPassword();

// The colour most of what is drawn in area has: of the pixels that differ from the ground.
QString inkColour(const QImage& image, const QRect& area, QRgb ground) {
    QHash<QRgb, int> counts;
    const QRect within = area & image.rect();
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (const QRgb p = image.pixel(x, y); p != ground) ++counts[p];
    QRgb most = 0;
    int best = 0;
    for (auto it = counts.begin(); it != counts.end(); ++it)
        if (it.value() > best) std::tie(most, best) = std::pair{it.key(), it.value()};
    return best ? QColor(most).name() : QStringLiteral("none");
}

// The box around the pixels of area that ink() takes for drawn.
QRect inkBounds(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& ink) {
    QRect box;
    const QRect within = area & image.rect();
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (ink(image.pixel(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

QImage grabbed(ui::View* view) {
    return view->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class RouterTest : public LoginHarness {
protected:
    // A returning user: the guide was seen, number and password kept.
    void storeUser(const QString& number, const QString& password, bool autoLogin) {
        tavrixConfig::setIsOpenGuideView(true);
        PublicFunction::saveConfig(number, "username");
        PublicFunction::saveConfig(password, "password");
        tavrixConfig::setIsAutoLogin(autoLogin);
        tavrixConfig::setIsSavePwd(autoLogin);
    }

    DefaultVC* start() {
        router = new DefaultVC;
        show(router);
        return router;
    }

    QPointer<DefaultVC> router;
};

// Who starts the client: New has not seen the guide; the others have and keep their number.
enum class User { New, Manual, Auto, AutoWrongPassword, NoPassword };
// Offline, Wi-Fi, or a cellular line the gateway knows or does not.
enum class Net { Offline, WiFi, Cellular, UnknownLine };

TEST_F(RouterTest, RoutesEachStartingSituation) {
    const struct Case {
        const char* what;
        Net net;
        User user;
        std::optional<Fault> gatewayFault;
        QString scene;
        const char* asked; // the interfaces the server was asked, in order
    } cases[] = {
        {"first start, Wi-Fi", Net::WiFi, User::New, {}, kGuide, ""},
        {"first start, cellular", Net::Cellular, User::New, {}, kGuide, ""},
        {"first start, offline", Net::Offline, User::New, {}, kGuide, ""},
        {"offline", Net::Offline, User::Auto, {}, kLogin, ""},
        {"Wi-Fi, no automatic log-in", Net::WiFi, User::Manual, {}, kLogin, ""},
        {"Wi-Fi, automatic log-in", Net::WiFi, User::Auto, {}, kMain, "Login"},
        {"Wi-Fi, wrong password", Net::WiFi, User::AutoWrongPassword, {}, kLogin, "Login"},
        // The fault is on the gateway only.
        {"Wi-Fi, empty reply", Net::WiFi, User::Auto, Fault::emptyBody(), kMain, "Login"},
        {"cellular, gateway accepts", Net::Cellular, User::NoPassword, {}, kMain, "LoginQTWAP"},
        {"unknown line, manual", Net::UnknownLine, User::Manual, {}, kLogin, "LoginQTWAP"},
        {"unknown line, automatic", Net::UnknownLine, User::Auto, {}, kMain, "LoginQTWAP Login"},
        {"gateway array", Net::Cellular, User::Auto, Fault::jsonArray(), kMain, "LoginQTWAP Login"},
        {"gateway 9999", Net::Cellular, User::Manual, Fault::result(9999), kLogin, "LoginQTWAP"},
        {"gateway success, no session", Net::Cellular, User::Manual, Fault::result(0), kLogin,
         "LoginQTWAP"},
        {"cellular, dropped", Net::Cellular, User::Auto, Fault::drop(), kLogin, "LoginQTWAP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        restart();
        if (c.user != User::New)
            storeUser(kNumber,
                      c.user == User::NoPassword          ? ""
                      : c.user == User::AutoWrongPassword ? "999999"
                                                          : kPassword,
                      c.user == User::Auto || c.user == User::AutoWrongPassword);
        setNetwork(c.net == Net::Offline ? Medium::None
                   : c.net == Net::WiFi  ? Medium::WiFi
                                         : Medium::Cellular);
        sandbox.server().backend().setGatewayNumber(c.net == Net::UnknownLine ? "" : kNumber);
        if (c.gatewayFault) sandbox.setFault("LoginQTWAP", *c.gatewayFault);
        start();
        ASSERT_TRUE(waitForTop(c.scene)) << "on " << topScene().toStdString();
        QStringList asked;
        for (const auto& r : sandbox.requests())
            asked << r.interfaceName;
        // The network layer sends a POST again once when the connection drops before any
        // answer; the exact counts are checked where a single send matters.
        asked.removeDuplicates();
        EXPECT_EQ(asked.join(' '), c.asked);
        EXPECT_EQ(ui::AlertCenter::visibleAlerts().size(), 0); // the router never alerts
        EXPECT_EQ(nav->isNavigationBarHidden(), c.scene != kLogin);
    }
}

TEST_F(RouterTest, GuideButtonLeadsToTheLogInScreenOnAnyNetworkAndOnlyOnce) {
    for (const Medium network : {Medium::WiFi, Medium::Cellular, Medium::None}) {
        SCOPED_TRACE(ns::Reachability::mediumName(network).toStdString());
        restart();
        setNetwork(network);
        tavrixConfig::setIsAutoLogin(true);
        PublicFunction::saveConfig(kNumber, "username");
        PublicFunction::saveConfig(kPassword, "password");
        start();
        ASSERT_TRUE(waitForTop(kGuide));
        EXPECT_TRUE(nav->isNavigationBarHidden());
        tap(static_cast<GuideViewController*>(top())->button());
        ASSERT_TRUE(waitForTop(kLogin));
        EXPECT_TRUE(tavrixConfig::isOpenGuideView());
        EXPECT_FALSE(nav->isNavigationBarHidden());
        EXPECT_TRUE(sandbox.requests().isEmpty()); // no log-in of any kind on the way
    }
}

TEST_F(RouterTest, AutomaticLogInSendsExactlyTheLoginFields) {
    storeUser(kNumber, kPassword, true);
    PublicFunction::saveConfig("old-session", "session");
    start();
    ASSERT_TRUE(waitForTop(kMain));
    const auto sent = sandbox.requestsTo("Login");
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].fields, loginFields(kNumber, kPassword, "old-session"));
    EXPECT_NE(stored("session"), "old-session");
    EXPECT_EQ(router->hintLabel()->text(), QString::fromUtf8("登录成功"));
}

TEST_F(RouterTest, GatewayLogInNeedsNoPasswordAndKeepsTheLineNumber) {
    tavrixConfig::setIsOpenGuideView(true); // nothing stored: no number, no password
    setNetwork(Medium::Cellular);
    start();
    ASSERT_TRUE(waitForTop(kMain));
    const auto sent = sandbox.requestsTo("LoginQTWAP");
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(fieldKeys(sent[0]), QStringList({"session", "num", "nonce", "enc_phonenum",
                                               "channelid", "versionid", "imei"}));
    const QString nonce = sent[0].fields.value("nonce");
    const EncryptedPhoneNumber key(EncryptedPhoneNumber::requestKeyPrefix(), nonce);
    EXPECT_EQ(key.keyString(), router->secretKey());
    EXPECT_EQ(key.decrypt(sent[0].fields.value("enc_phonenum")), ""); // no number yet
    EXPECT_EQ(stored("username"), kNumber);
    EXPECT_FALSE(stored("session").isEmpty());
    EXPECT_FALSE(PublicFunction::getConfigWithKey("password").isValid());
}

TEST_F(RouterTest, UnreadableGatewayNumberIsARefusal) {
    ScriptedServer gateway;
    tavrixConfig::setServerBaseAddress(gateway.baseAddress());
    storeUser("13800000002", "234567", false);
    PublicFunction::saveConfig("kept-session", "session");
    setNetwork(Medium::Cellular);
    const struct {
        const char* what;
        QByteArray reply;
    } cases[] = {
        {"not hexadecimal", R"({"result":0,"session":"S1","enc_line_id":"zz"})"},
        {"another key",
         R"({"result":0,"session":"S1","enc_line_id":"acdb85be5c10383e5a080ba0f9377513"})"},
        {"missing", R"({"result":0,"session":"S1"})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        gateway.enqueue(ScriptedServer::json(c.reply));
        closeWindow();
        start();
        ASSERT_TRUE(waitForTop(kLogin));
        EXPECT_EQ(stored("username"), "13800000002");
        EXPECT_EQ(stored("session"), "kept-session");
    }
}

// An automatic log-in whose reply comes a byte at a time says "登录中..." until its time-out,
// counted from the send, and then leaves for the log-in screen as any failure does.
TEST_F(RouterTest, ATricklingLogInGivesWayToTheLogInScreenAtItsTimeOut) {
    ns::ScopedManualClock clock;
    ScriptedServer server;
    server.setFallback(ScriptedServer::trickle(
        R"({"result":0,"session":"S1","msg":")" + QByteArray(1000, ' ') + R"("})", 10));
    tavrixConfig::setServerBaseAddress(server.baseAddress());
    storeUser(kNumber, kPassword, true);
    start();
    ASSERT_TRUE(server.waitForRequests(1));
    ASSERT_TRUE(waitUntil([&] { return server.trickled() > 2; }));
    clock.clock.advance(qint64(ViewController::kRequestTimeout * 1000) - 1);
    settle();
    EXPECT_EQ(top(), router.data());
    EXPECT_EQ(router->hintLabel()->text(), QString::fromUtf8("登录中..."));
    clock.clock.advance(1);
    ASSERT_TRUE(waitForTop(kLogin));
    EXPECT_EQ(ui::AlertCenter::visibleAlerts().size(), 0);
    EXPECT_EQ(server.requests().size(), 1);
}

// A password saved on the log-in screen stays with the number it was typed with: a later
// log-in that stores another number takes it away, one that keeps the number leaves it.
TEST_F(RouterTest, ASavedPasswordGoesWhenAnotherNumberIsStored) {
    const QString first = QStringLiteral("13800000003"), firstPassword = QStringLiteral("345678");
    const struct {
        const char* what;
        Medium network;
        QString line;             // the number the gateway answers for
        QString number, password; // the log-in screen shows them next
    } cases[] = {
        {"gateway, another line", Medium::Cellular, kNumber, kNumber, ""},
        {"gateway, the same line", Medium::Cellular, first, first, firstPassword},
        {"automatic log-in", Medium::WiFi, kNumber, first, firstPassword},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        restart();
        tavrixConfig::setIsOpenGuideView(true);
        PublicFunction::saveConfig("Load_First_YES", "TAVRIX_FIRSTLOAD");
        auto* login = showOverStart<LoginViewController>("LoginViewController");
        windowinput::click(login->autoLoginBox()); // saves the password too
        windowinput::click(login->userName());
        windowinput::type(first);
        windowinput::click(login->passWord());
        windowinput::type(firstPassword);
        windowinput::click(login->loginButton());
        ASSERT_TRUE(waitForTop(kMain));
        ASSERT_EQ(stored("password"), firstPassword);

        closeWindow();
        setNetwork(c.network);
        sandbox.server().backend().setGatewayNumber(c.line);
        start();
        ASSERT_TRUE(waitForTop(kMain));
        EXPECT_EQ(stored("username"), c.number);
        EXPECT_EQ(stored("password"), c.password);

        closeWindow();
        login = showOverStart<LoginViewController>("LoginViewController");
        EXPECT_EQ(login->userName()->text(), c.number);
        EXPECT_EQ(login->passWord()->text(), c.password);
    }
}

// Every branch by system version, walked at 6.1 and at 7.1 (and where else a row's branch
// turns): what is seen, or the "imei" the server receives (the stored hardware address or the
// vendor identifier; feedback sends the same).
TEST_F(RouterTest, EachScreenTakesItsBranchBySystemVersion) {
    auto imeiTo = [&](const char* interface, bool sent) {
        const QString imei =
            sent ? sandbox.requestsTo(interface).value(0).fields.value("imei") : "";
        return imei == PublicFunction::getUUIDOfDevice() ? "identifier"
               : imei == stored("MacAddress")            ? "address"
                                                         : "not sent";
    };
    auto text = [](const auto& value) {
        QString out;
        QDebug(&out).nospace() << value;
        return out;
    };
    auto pushed = [&](const char* storyboard, const char* scene) {
        show(new ui::ViewController)
            ->pushViewController(ui::Storyboard::instantiateViewController(storyboard, scene),
                                 false);
        return nav->topViewController();
    };
    auto& application = ui::Application::sharedApplication();
    const struct {
        const char* branch;
        std::function<QString()> seen;
        const char *at61, *at71;
        std::vector<std::pair<const char*, const char*>> elsewhere = {};
    } rows[] = {
        {"base screen's back button",
         [&] {
             show(new ui::ViewController)->pushViewController(new ViewController, false);
             ui::View* own = nav->navigationBar()->leftButtonView();
             if (!own) return "bar's";
             // Read before the click: going back takes the button with its screen.
             const bool drawn = own->frame().size() == QSizeF(15, 21);
             windowinput::click(own);
             const bool back = waitUntil([&] { return nav->viewControllers().size() == 1; });
             return drawn && back ? "own, goes back" : "own";
         },
         "own, goes back", "bar's"},
        {"router's status bar and splash on the tall window",
         [&] {
             application.setStatusBarHidden(true);
             const QRectF splash = DefaultVC().view()->subviews().value(0)->frame();
             return QString(application.isStatusBarHidden() ? "hidden" : "shown") +
                    (splash == QRectF(0, 0, 320, 568) ? ", fills it" : ", moved");
         },
         "shown, fills it", "hidden, fills it"},
        {"gateway log-in, then the automatic one it falls back to",
         [&] {
             storeUser(kNumber, kPassword, true);
             setNetwork(Medium::Cellular);
             sandbox.setFault("LoginQTWAP", Fault::jsonArray());
             start();
             const bool in = waitForTop(kMain);
             return QString(imeiTo("LoginQTWAP", in)) + ", " + imeiTo("Login", in);
         },
         "address, address", "identifier, identifier"},
        {"tab pictures in their own colours, the selected one's on the selected tab",
         [] {
             TabBarViewController tabs;
             tabs.loadViewIfNeeded();
             ui::TabBar* bar = tabs.tabBar();
             bar->setSelectedImageTintColor(Qt::red); // a tinted picture would show it
             QStringList seen;
             for (int selected : {0, 1}) {
                 tabs.setSelectedIndex(selected);
                 const QImage drawn = grabbed(bar);
                 const int width = drawn.width() / int(bar->items().size());
                 // The picture sits above the title.
                 for (int i : {0, 1})
                     seen << bar->items().at(i)->title() + " " +
                                 inkColour(drawn, QRect(i * width, 2, width, 30),
                                           drawn.pixel(1, drawn.height() / 2));
             }
             return seen.join(", ");
         },
         "首页 #468cca, 查询 #929292, 首页 #929292, 查询 #468cca",
         "首页 #468cca, 查询 #929292, 首页 #929292, 查询 #468cca"},
        {"navigation bar's colour, and its back and right buttons drawn on it",
         [] {
             auto* second = new ui::ViewController;
             second->navigationItem()->setRightBarButtonItem(
                 new ui::BarButtonItem("编辑", ui::BarButtonItem::Style::Plain));
             NavbarViewController stack(new ui::ViewController);
             stack.pushViewController(second, false);
             stack.loadViewIfNeeded();
             ui::NavigationBar* bar = stack.navigationBar();
             const QImage drawn = grabbed(bar);
             const QRgb ground = drawn.pixel(4, 4);
             auto ink = [&](const ui::View* button) {
                 return button ? inkColour(drawn, button->frame().toAlignedRect(), ground)
                               : QStringLiteral("none");
             };
             return QColor(ground).name() + ", back " + ink(bar->backButtonView()) + ", right " +
                    ink(bar->rightButtonView());
         },
         "#468cca, back #ffffff, right #ffffff", "#468cca, back #ffffff, right #007aff"},
        {"drawer menu: the number's top, the stars below it, the last row's gap to the foot",
         [&] {
             auto* menu = new SideSlipViewController;
             show(menu)->setNavigationBarHidden(true);
             auto top = [](const ui::View* v) { return windowinput::pointInWindow(v, {}).y(); };
             auto foot = [](const ui::View* v) {
                 return windowinput::pointInWindow(v, v->bounds().bottomLeft()).y();
             };
             return text(top(menu->labelOfPhoneNO())) + " " +
                    text(top(menu->viewOfStars()) - foot(menu->labelOfPhoneNO())) + " " +
                    text(ui::Window::screenSize().height() - foot(menu->viewOfSettingAndCancel()));
         },
         "30 6 20", "50 6 0"},
        {"label height: each span's font, or the first character's from 7",
         [&] {
             ui::AttributedString spans("小大字");
             spans.addFont(ui::Font::systemFontOfSize(24), {1, 2});
             ui::Label label;
             label.setAttributedText(spans);
             return text(PublicFunction::textLabel(&label, {200, 100}).height());
         },
         "29", "21"},
        {"web page's back and close pictures",
         [&] {
             ui::WebViewFake::ScopedInstall fake;
             auto* page = static_cast<WebViewController*>(
                 ui::Storyboard::instantiateViewController("Main", "WebViewController"));
             page->setRequestURL("http://h/a.html");
             show(new ui::ViewController)->pushViewController(page, false);
             ui::WebViewFake::last()->finishLoad();
             ui::WebViewFake::last()->navigate(QUrl("http://h/b.html"));
             ui::WebViewFake::last()->finishLoad();
             auto* back = static_cast<ui::Button*>(nav->navigationBar()->leftButtonView());
             windowinput::click(back); // a page back: the close button comes
             QString seen;
             for (const char* name :
                  {"header_back", "header_back2", "NavLeftcloseButton", "NavLeftcloseButton1"})
                 for (const ui::Button* shown : {back, page->closeButton()})
                     if (shown->backgroundImageForState(0).cacheKey() ==
                         ui::imageNamed(name).cacheKey())
                         seen += QString(name) + " ";
             closeWindow(); // the engine goes before the fake
             return seen;
         },
         "header_back NavLeftcloseButton1 ", "header_back2 NavLeftcloseButton "},
        {"log-in SMS switch where it is drawn in its row, its cover, the reminder, the "
         "count-down on the knob off then on",
         [&] {
             ns::ScopedManualClock time;
             auto* screen =
                 static_cast<SettingViewController*>(pushed("Main", "SettingViewController"));
             ui::View* row = screen->viewOfSwitch();
             // Right of the caption, whatever is not the row's white.
             const QRect right(int(row->bounds().width() / 2), 0, int(row->bounds().width() / 2),
                               int(row->bounds().height()));
             const QRect drawn =
                 inkBounds(grabbed(row), right, [](QRgb p) { return p != qRgb(255, 255, 255); });
             const QRect cover = screen->viewAboveSwitch()->frame().toAlignedRect();
             QStringList seen{
                 text(row->bounds().width() - drawn.right() - 1) + " from the edge",
                 std::abs(drawn.top() - (row->bounds().height() - drawn.bottom() - 1)) <= 1
                     ? "centred"
                     : "off centre",
                 // Within the half point the switch's edge is drawn over.
                 std::max({std::abs(cover.left() - drawn.left()),
                           std::abs(cover.top() - drawn.top()),
                           std::abs(cover.right() - drawn.right()),
                           std::abs(cover.bottom() - drawn.bottom())}) <= 1
                     ? "covered"
                     : "cover apart",
                 text(windowinput::pointInWindow(screen->labelOfReminder(), {}).x() -
                      windowinput::pointInWindow(row->findChild<ui::Label*>(), {}).x()) +
                     " from the caption"};
             for (int flip = 0; flip < 2;
                  ++flip, time.clock.advance(SettingViewController::kLockMs)) {
                 windowinput::click(screen->switchOfLoginSMS());
                 // The count-down's dark figures, against the middle of the drawn switch.
                 const QRect figures =
                     inkBounds(grabbed(row), drawn, [](QRgb p) { return qGray(p) < 100; });
                 // Where they stand on the switch, from its middle.
                 seen << (figures.isEmpty()
                              ? QStringLiteral("no figures")
                              : "figures at " + text(figures.center().x() - drawn.center().x()));
             }
             closeWindow(); // the screen's timers go before the clock
             return seen.join(", ");
         },
         "19 from the edge, centred, covered, -10 from the caption, figures at -26, figures at 24",
         "15 from the edge, centred, covered, 0 from the caption, figures at -10, figures at 10"},
        {"points left under the FAQ text, the daily rows, the other resources' button, in the "
         "window",
         [&] {
             const double window = ui::Window::screenSize().height();
             auto left = [&](const ui::View* v) {
                 return text(window - windowinput::pointInWindow(v, v->bounds().bottomLeft()).y());
             };
             auto* faq = static_cast<FAQViewController*>(pushed("Main", "FAQViewController"));
             QStringList seen{left(faq->textView())};
             auto* daily =
                 static_cast<FlowDayStatsController*>(pushed("Flow", "FlowDayStatsController"));
             seen << left(daily->tableOfDaily());
             auto* other = static_cast<OtherFlowController*>(pushed("Flow", "OtherFlowController"));
             seen << left(other->buttonOfOrder());
             return seen.join(' ');
         },
         "10 0 34",
         "10 0 34",
         {{"16.1", "10 0 34"}}},
        {"stretchable picture's caps (280 x 44)",
         [&] {
             return text(
                 ui::imageCapInsets(BFStyleUtils::imageResizeWith("login_field_bg", 10.6f, 5.2f)));
         },
         "QMarginsF(10.6, 5.2, 10.6, 5.2)",
         "QMarginsF(10.6, 5.2, 10.6, 5.2)",
         {{"4.3", "QMarginsF(10, 5, 269, 38)"}, {"3.2", "QMarginsF(0, 0, 0, 0)"}}},
    };
    for (const auto& row : rows) {
        auto versions = row.elsewhere;
        versions.insert(versions.begin(), {{"6.1", row.at61}, {"7.1", row.at71}});
        for (const auto& [version, expected] : versions) {
            SCOPED_TRACE(testing::Message() << version << ", " << row.branch);
            restart();
            ns::DeviceInfo::setSystemVersion(version);
            PublicFunction::saveConfig("02:00:00:00:00:01", "MacAddress");
            EXPECT_EQ(row.seen().toStdString(), std::string(expected));
        }
    }
    ns::DeviceInfo::setSystemVersion({});
    application.setStatusBarHidden(false);
}

using R = ns::Reachability;

struct NetworkReachabilityTest : testing::Test {
    void TearDown() override { R::shared().setMediumOverride(std::nullopt); }
};

TEST_F(NetworkReachabilityTest, StatusFromFlags) {
    const auto internet = NetworkReachability::reachabilityForInternetConnection();
    const auto local = NetworkReachability::reachabilityForLocalWiFi();
    const struct {
        const char* what;
        R::Flags flags;
        NetworkStatus internet;
        NetworkStatus local;
    } cases[] = {
        {"nothing", 0, NotReachable, NotReachable},
        {"reachable", R::Reachable, ReachableViaWiFi, NotReachable},
        {"reachable, direct", R::Reachable | R::IsDirect, ReachableViaWiFi, ReachableViaWiFi},
        {"direct but not reachable", R::IsDirect, NotReachable, NotReachable},
        {"WWAN", R::Reachable | R::IsWWAN, ReachableViaWWAN, NotReachable},
        {"WWAN wins over connection rules", R::Reachable | R::IsWWAN | R::ConnectionRequired,
         ReachableViaWWAN, NotReachable},
        {"on traffic only", R::Reachable | R::ConnectionOnTraffic, NotReachable, NotReachable},
        {"connection required", R::Reachable | R::ConnectionRequired, ReachableViaWiFi,
         NotReachable},
        {"transient + required", R::Reachable | R::TransientConnection | R::ConnectionRequired,
         NotReachable, NotReachable},
        {"transient + required + local address",
         R::Reachable | R::TransientConnection | R::ConnectionRequired | R::IsLocalAddress,
         NotReachable, NotReachable},
        {"transient", R::Reachable | R::TransientConnection, ReachableViaWiFi, NotReachable},
        {"local address only", R::Reachable | R::IsLocalAddress, ReachableViaWiFi, NotReachable},
        {"intervention", R::Reachable | R::InterventionRequired, NotReachable, NotReachable},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(internet->networkStatusForFlags(c.flags), c.internet) << c.what;
        EXPECT_EQ(local->networkStatusForFlags(c.flags), c.local) << c.what;
    }
}

TEST_F(NetworkReachabilityTest, LocalRuleNeedsTheLocalObjectNotJustItsKey) {
    const auto lookalike = NetworkReachability::reachabilityWithHostName("LocalWiFiConnection");
    ASSERT_TRUE(lookalike);
    EXPECT_TRUE(lookalike->isEqual(*NetworkReachability::reachabilityForLocalWiFi()));
    EXPECT_EQ(lookalike->networkStatusForFlags(R::Reachable), ReachableViaWiFi);
}

TEST_F(NetworkReachabilityTest, NotifierPostsWithItselfUntilStoppedOrGone) {
    R::shared().setMediumOverride(R::Medium::WiFi);
    QObject observer;
    QList<const QObject*> senders;
    ns::NotificationCenter::defaultCenter().addObserver(
        &observer, kReachabilityChangedNotification, nullptr,
        [&](const ns::Notification& n) { senders.append(n.object); });

    auto watched = NetworkReachability::reachabilityForInternetConnection();
    EXPECT_TRUE(watched->startNotifier());
    R::shared().setMediumOverride(R::Medium::None);
    ASSERT_EQ(senders.size(), 1);
    EXPECT_EQ(senders[0], watched.get());

    watched->stopNotifier();
    R::shared().setMediumOverride(R::Medium::Cellular);
    EXPECT_EQ(senders.size(), 1);

    watched->startNotifier();
    watched.reset();
    R::shared().setMediumOverride(R::Medium::WiFi);
    EXPECT_EQ(senders.size(), 1);
    EXPECT_EQ(R::shared().watcherCount(), 0);
}

} // namespace

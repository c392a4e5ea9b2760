#include "HomeHarness.h"
#include "tests/support/AnimationFrames.h"
#include "tests/support/RequestWait.h"
#include "tests/support/ScriptedServer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrlQuery>
#include <limits>

#include "app/categories/MD5.h"
#include "app/core/EncryptedPhoneNumber.h"
#include "app/core/HTTPRequest.h"
#include "app/core/NotificationNames.h"
#include "app/download/MultiplexCache.h"
#include "app/download/PCFile.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/PageControl.h"
#include "sandbox/PictureStore.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "screens/web/WebViewController.h"
#include "widgets/DDButton.h"
#include "widgets/RefreshView.h"
#include "widgets/SpinnerView.h"

namespace {

// Each span as "text@pointsize".
QStringList spans(const ui::AttributedString& text) {
    QStringList out;
    for (const auto& run : text.runs())
        out << text.string().mid(run.range.location, run.range.length) + "@" +
                   QString::number(!run.attributes.font ? 0
                                   : run.attributes.font->pointSizeF() > 0
                                       ? run.attributes.font->pointSizeF()
                                       : run.attributes.font->pixelSize());
    return out;
}

TEST(HomeTexts, CreditAndDataSplitIntoLargeAndSmall) {
    const struct {
        QVariant remain;
        QStringList expected;
    } money[] = {
        {"58.30", {"58@34", ".30元@10"}},
        {58.3, {"58@34", ".3元@10"}},
        {"120", {"120@34", "元@10"}},
        {qlonglong(120), {"120@34", "元@10"}},
        {"-3.5", {"-3@34", ".5元@10"}},
        {QVariant(), {"元@10"}},
        {QVariantList{1}, {"元@10"}},
        // Numbers in the shortest form that reads back, and bounded.
        {9.9, {"9@34", ".9元@10"}},
        {-0.1, {"-0@34", ".1元@10"}},
        {1e300, {"1125899906842624@34", "元@10"}},
    };
    for (const auto& c : money)
        EXPECT_EQ(spans(RootViewController::remainText(c.remain)), c.expected)
            << c.remain.toString().toStdString();
    const struct {
        QVariant kb;
        QStringList expected;
    } flows[] = {
        {1048576, {"1@34", ".00GB@10"}},
        {"1024", {"1@34", ".00MB@10"}},
        {512, {"512@34", ".00KB@10"}},
        {"x", {"0@34", ".00KB@10"}},
        {std::numeric_limits<qint64>::max(), {"1073741824@34", ".00GB@10"}},
        {std::numeric_limits<double>::infinity(), {"1073741824@34", ".00GB@10"}},
        {"NaN", {"0@34", ".00KB@10"}},
        {QVariantMap{{"kb", 1024}}, {"0@34", ".00KB@10"}},
    };
    for (const auto& c : flows)
        EXPECT_EQ(spans(RootViewController::flowText(c.kb)), c.expected)
            << c.kb.toString().toStdString();
}

TEST(HomeAddresses, QueryValuesAreEncodedAndOnlyThem) {
    EXPECT_EQ(RootViewController::dataWalletAddress("http://h:8080/pelvo/", "13800000001",
                                                    "a+b/c=", "noncE", "ff00"),
              "http://h:8080/pelvo/ulvek/chongdingxiang/index.html?pid=3&v=7&cf=1001"
              "&num=13800000001&session=a%2Bb%2Fc%3D&nonce=noncE&encpn=ff00");
    EXPECT_EQ(RootViewController::readingAddress("http://h/pelvo/", "1 3", "s&t"),
              "http://h/pelvo/ulvek/handle.html?num=1%203&session=s%26t"
              "&marketid=2010020140101001&type=3");
    const QUrl campaign(RootViewController::campaignAddress());
    EXPECT_EQ(campaign.scheme(), "http");
    EXPECT_EQ(campaign.path(), "/7716/mobile");
    EXPECT_EQ(campaign.query(),
              "cf=1001&nonce=73mwQaZe5190b2Kd&encpn=b71f0c94e2a3d58607c1e9fa24d3b856"
              "&session=H8QW2RTX57KPB3NV9DMC4JZA");
}

class HomePageTest : public HomeHarness {};

TEST_F(HomePageTest, HeaderShowsCreditChargesAndDataLeft) {
    RootViewController* page = showHome();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(waitUntil([&] { return !page->otherFlowRemain()->text().isEmpty(); }));
    EXPECT_EQ(spans(page->labelOfRemainTelMoney()->attributedText()),
              (QStringList{"58@34", ".30元@10"}));
    EXPECT_EQ(page->labelOfUsedTelMoney()->text(), "91.24元"); // this month's bill
    EXPECT_EQ(page->labelOfRemainTelMoney()->textColor(),
              TavrixApplicationSpecific::tavrix_blueColor());
    EXPECT_EQ(spans(page->normalFlowRemain()->attributedText()), (QStringList{"1@34", ".50GB@10"}));
    EXPECT_EQ(page->normalFlowRemain()->textColor(),
              TavrixApplicationSpecific::tavrix_greenColor());
    EXPECT_EQ(page->otherFlowRemain()->text(), "2.00MB");
    EXPECT_FALSE(page->isRequestOfComboFaild());
    // The bill came first, then the data.
    QStringList order;
    for (const auto& r : sandbox.requests())
        order << r.interfaceName;
    EXPECT_LT(order.indexOf("MainBillInfo"), order.indexOf("Balance"));
    EXPECT_EQ(sandbox.requestsTo("MainInfoConfList").value(0).fields.values("session").size(), 2);
}

TEST_F(HomePageTest, PullingDownWithTheMouseRefreshesBothHalves) {
    RootViewController* page = showHome();
    ASSERT_TRUE(waitUntil([&] { return requestsTo("Balance") == 1; }));
    sandbox.server().backend().database().exec(
        "UPDATE accounts SET balance_fen = 990 WHERE number = ?", {SandboxFixture::demoNumber()});
    gntyll = 512;
    ui::View* scroll = page->rootScrollView();
    drag(inWindow(scroll, QPointF(160, 150)), inWindow(scroll, QPointF(160, 330)));
    ASSERT_TRUE(waitUntil([&] { return requestsTo("Balance") == 2; }));
    ASSERT_TRUE(waitUntil([&] { return !page->refreshView()->isLoading(); }));
    EXPECT_EQ(requestsTo("MainBillInfo"), 2);
    EXPECT_EQ(spans(page->labelOfRemainTelMoney()->attributedText()),
              (QStringList{"9@34", ".90元@10"}));
    EXPECT_EQ(spans(page->normalFlowRemain()->attributedText()),
              (QStringList{"512@34", ".00KB@10"}));
    EXPECT_FALSE(page->isRefreshGiveUpPending());

    // Back from a screen that hides the tab bar, the page rests as before the pull, the header
    // out of sight and out of its scroll range.
    windowinput::click(page->buttonWithTag(1002));
    clock.clock.advance(1000);
    windowinput::click(homeNavigation->navigationBar()->backButtonView());
    clock.clock.advance(1000);
    ASSERT_EQ(homeNavigation->topViewController(), page);
    EXPECT_EQ(page->rootScrollView()->contentOffset(), QPointF(0, 0));
    EXPECT_EQ(page->rootScrollView()->contentInset(), QMarginsF());
}

TEST_F(HomePageTest, OneGiveUpPerRefreshCancelsOnlyWhatIsInFlight) {
    RootViewController* page = showHome();
    ASSERT_TRUE(waitUntil([&] { return requestsTo("Balance") == 1; }));
    sandbox.setFault("MainBillInfo", sandbox::Fault::delay(60000));
    page->startLoading();
    clock.clock.advance(6000);
    page->startLoading(); // a new pull restarts the give-up
    clock.clock.advance(6000);
    EXPECT_TRUE(page->refreshView()->isLoading());
    EXPECT_TRUE(page->isRefreshGiveUpPending());
    clock.clock.advance(4000);
    EXPECT_FALSE(page->refreshView()->isLoading());
    EXPECT_FALSE(page->isRefreshGiveUpPending());
    EXPECT_FALSE(page->requestOfMainBillInfo() && page->requestOfMainBillInfo()->isRunning());
    EXPECT_TRUE(page->isRequestOfComboFaild());
    EXPECT_EQ(ui::AlertCenter::topAlert(), nullptr);

    // The next appearance asks again, and the answer clears the flag.
    sandbox.clearFaults();
    page->beginAppearanceTransition(false, false);
    page->endAppearanceTransition();
    page->beginAppearanceTransition(true, false);
    page->endAppearanceTransition();
    ASSERT_TRUE(waitUntil([&] { return requestsTo("Balance") >= 2; }));
    ASSERT_TRUE(waitUntil([&] { return !page->isRequestOfComboFaild(); }));
}

TEST_F(HomePageTest, AFailedHeaderAlertsAndTheAlertStopsTheRefresh) {
    RootViewController* page = showHome();
    ASSERT_TRUE(waitUntil([&] { return requestsTo("Balance") == 1; }));
    ASSERT_TRUE(waitUntil([&] { return !page->otherFlowRemain()->text().isEmpty(); }));
    tavrixConfig::setServerBaseAddress(
        QString("http://127.0.0.1:%1/pelvo/").arg(ScriptedServer::closedPort()));
    page->startLoading();
    ASSERT_TRUE(waitUntil([&] { return ui::AlertCenter::topAlert() != nullptr; }));
    EXPECT_EQ(ui::AlertCenter::topAlert()->message(), "网络连接失败,请检查您的网络设置");
    EXPECT_TRUE(page->isRequestOfComboFaild());
    EXPECT_TRUE(page->refreshView()->isLoading());
    ui::AlertCenter::press("确认");
    EXPECT_FALSE(page->refreshView()->isLoading());
    EXPECT_FALSE(page->isRefreshGiveUpPending());
}

// However the pull's bill is refused or lost, the pull ends: no "Balance" follows, the spinner
// stops (at once, or with the failure alert's button), and the next pull asks again.
TEST_F(HomePageTest, ARefusedOrLostBillStillEndsThePull) {
    RootViewController* page = showHome();
    ASSERT_TRUE(waitUntil([&] { return requestsTo("Balance") == 1; }));
    const struct {
        const char* what;
        sandbox::Fault fault;
        QString alert;       // empty: nothing is said
        const char* stopper; // the alert's button that ends the pull; nullptr: it ends by itself
    } cases[] = {
        {"refused", sandbox::Fault::result(3, "系统繁忙"), "系统繁忙", nullptr},
        {"not JSON", sandbox::Fault::html500(), "请求超时", nullptr},
        {"an array", sandbox::Fault::jsonArray(), "请求超时", nullptr},
        {"expired session", sandbox::Fault::result(9999, "登录已超时"), "登录已超时", nullptr},
        {"dropped connection", sandbox::Fault::drop(), "网络连接失败,请检查您的网络设置", "确认"},
        {"no answer within 10 s", sandbox::Fault::noAnswer(), {}, nullptr},
    };
    ui::View* scroll = page->rootScrollView();
    const auto pull = [&] {
        drag(inWindow(scroll, QPointF(160, 150)), inWindow(scroll, QPointF(160, 330)));
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int bills = requestsTo("MainBillInfo"), balances = requestsTo("Balance");
        sandbox.setFault("MainBillInfo", c.fault);
        pull();
        ASSERT_TRUE(page->refreshView()->isLoading());
        ASSERT_TRUE(waitUntil([&] { return requestsTo("MainBillInfo") > bills; }));
        if (c.alert.isEmpty()) {
            clock.clock.advance(10000);
        } else {
            ASSERT_TRUE(waitUntil([&] { return ui::AlertCenter::topAlert() != nullptr; }));
            EXPECT_EQ(ui::AlertCenter::topAlert()->message(), c.alert);
        }
        EXPECT_EQ(page->refreshView()->isLoading(), c.stopper != nullptr);
        if (c.stopper) {
            EXPECT_TRUE(ui::AlertCenter::press(c.stopper));
        }
        ui::AlertCenter::dismissAll();
        EXPECT_FALSE(page->refreshView()->isLoading());
        EXPECT_FALSE(page->isRefreshGiveUpPending());
        EXPECT_EQ(requestsTo("Balance"), balances);
        EXPECT_TRUE(page->isRequestOfComboFaild());

        sandbox.clearFaults();
        const int asked = requestsTo("MainBillInfo");
        pull();
        ASSERT_TRUE(waitUntil([&] { return requestsTo("Balance") == balances + 1; }));
        EXPECT_EQ(requestsTo("MainBillInfo"), asked + 1);
        ASSERT_TRUE(waitUntil([&] { return !page->refreshView()->isLoading(); }));
        EXPECT_FALSE(page->isRequestOfComboFaild());
    }
}

// A pack ordered elsewhere refreshes only the data, whether the page is covered or pulling.
TEST_F(HomePageTest, AnOrderedPackRefreshesOnlyTheData) {
    RootViewController* page = showHome();
    ASSERT_TRUE(waitUntil([&] { return requestsTo("Balance") == 1; }));
    for (const bool pulling : {false, true}) {
        SCOPED_TRACE(pulling ? "during a pull" : "covered");
        const int bills = requestsTo("MainBillInfo"), balances = requestsTo("Balance");
        if (pulling) {
            sandbox.setFault("MainBillInfo", sandbox::Fault::noAnswer());
            page->startLoading();
        } else {
            homeNavigation->pushViewController(new ui::ViewController, false);
        }
        gntyll = pulling ? 3145728 : 2097152;
        const QString shown = pulling ? "3.00GB" : "2.00GB";
        ns::NotificationCenter::defaultCenter().postNotificationName(notification::kAddedFlowPack);
        ASSERT_TRUE(waitUntil([&] { return requestsTo("Balance") > balances; }));
        ASSERT_TRUE(waitUntil([&] { return page->normalFlowRemain()->text() == shown; }));
        if (!pulling) {
            EXPECT_EQ(requestsTo("MainBillInfo"), bills);
            homeNavigation->popToRootViewControllerAnimated(false);
            continue;
        }
        // The pull's give-up stays in place.
        EXPECT_TRUE(page->isRefreshGiveUpPending());
        clock.clock.advance(10000);
        EXPECT_FALSE(page->refreshView()->isLoading());
        EXPECT_FALSE(page->requestOfMainBillInfo()->isRunning());
        EXPECT_EQ(ui::AlertCenter::topAlert(), nullptr);
    }
}

TEST_F(HomePageTest, CarouselWrapsAndAdvancesEveryFiveSeconds) {
    RootViewController* page = showHome();
    ASSERT_TRUE(waitUntil([&] { return page->rootAdCount() == 3; }));
    ui::ScrollView* strip = page->myScrollView();
    EXPECT_EQ(strip->contentSize().width(), 1600);
    EXPECT_EQ(page->adButtons().size(), 5);
    EXPECT_EQ(page->pageControl()->numberOfPages(), 3);
    clock.clock.advance(0); // the first step comes at once
    EXPECT_EQ(strip->contentOffset().x(), 640);
    EXPECT_EQ(page->pageControl()->currentPage(), 1);
    const struct {
        double x;
        int dot;
    } steps[] = {{960, 2}, {320, 0}, {640, 1}};
    for (const auto& step : steps) { // every 5 s
        clock.clock.advance(4999);
        EXPECT_NE(strip->contentOffset().x(), step.x);
        clock.clock.advance(1);
        EXPECT_EQ(strip->contentOffset().x(), step.x);
        EXPECT_EQ(page->pageControl()->currentPage(), step.dot);
    }
    strip->setContentOffset(QPointF(0, 0));
    EXPECT_EQ(strip->contentOffset().x(), 960);
    EXPECT_EQ(page->pageControl()->currentPage(), 2);

    // A swipe with the mouse moves a page on.
    strip->setContentOffset(QPointF(320, 0));
    drag(inWindow(strip, QPointF(250, 60)), inWindow(strip, QPointF(60, 60)), 10, true);
    EXPECT_EQ(strip->contentOffset().x(), 640);
    EXPECT_EQ(page->pageControl()->currentPage(), 1);
    // The pictures came from the sandbox.
    ASSERT_TRUE(waitUntil([&] { return MultiplexCache::count() >= 3; }));
}

TEST_F(HomePageTest, AShorterAdvertListRemovesOldPagesAndStopsTheAdvance) {
    RootViewController* page = showHome();
    ASSERT_TRUE(waitUntil([&] { return page->rootAdCount() == 3; }));
    const struct {
        int items;
        int buttons;
        bool advancing;
        bool scrolls;
    } cases[] = {
        {0, 0, false, false}, {1, 3, false, false}, {2, 4, true, true}, {0, 0, false, false}};
    for (const auto& c : cases) {
        QList<FileDO> items;
        for (int i = 0; i < c.items; ++i)
            items << FileDO::initWithDict({{"image", "null"}});
        page->showADWith(items);
        clock.clock.advance(0);
        EXPECT_EQ(page->adButtons().size(), c.buttons) << c.items;
        EXPECT_EQ(page->isAdvancing(), c.advancing) << c.items;
        EXPECT_EQ(page->myScrollView()->isScrollEnabled(), c.scrolls) << c.items;
        EXPECT_EQ(page->myScrollView()->subviews().size(), c.items == 0 ? 1 : 2 * (c.items + 2));
        EXPECT_EQ(page->pageControl()->numberOfPages(), std::max(1, c.items));
    }
}

TEST_F(HomePageTest, CachesAreWrittenAndShownAtTheNextStartBeforeTheServerAnswers) {
    sandbox.server().backend().database().exec(
        "UPDATE home_tiles SET title = '换卡有礼' WHERE position = 1");
    RootViewController* page = showHome();
    ASSERT_TRUE(waitUntil([&] { return page->labelTitleOfPos(1)->text() == "换卡有礼"; }));
    EXPECT_NE(page->bgOfPos(1)->image().width(), 0);
    const QVariant ad = ns::PropertyList::readFile(PCFile::fileCacheDir("AD.xml"));
    EXPECT_EQ(ad.toMap().value("list").toList().size(), 3);
    EXPECT_EQ(ad.toMap().value("position").toInt(), 1);
    const QVariant tiles = ns::PropertyList::readFile(PCFile::fileCacheDir("MainInfoConfList.xml"));
    EXPECT_EQ(tiles.toMap().value("list").toList().size(), 3);
    EXPECT_TRUE(tiles.toMap().contains("result"));
    EXPECT_TRUE(QFileInfo(RootViewController::mainConfigDirectory() + "/tile_card.png").isFile());

    // Next start: nothing answers, yet the page shows what was cached.
    sandbox.setFault("*", sandbox::Fault::noAnswer());
    RootViewController second;
    second.loadViewIfNeeded();
    EXPECT_EQ(second.rootAdCount(), 3);
    EXPECT_EQ(second.labelTitleOfPos(1)->text(), "换卡有礼");
    EXPECT_EQ(second.labelTitleOfPos(2)->text(), "家庭网");
    EXPECT_TRUE(second.hasMainConfigList());
    sandbox.clearFaults();

    // A reply with new tiles replaces them once their pictures are in.
    sandbox.server().backend().database().exec(
        "UPDATE home_tiles SET title = '悦读' WHERE position = 3");
    second.requestOfMainInfoConfList();
    ASSERT_TRUE(waitUntil([&] { return second.labelTitleOfPos(3)->text() == "悦读"; }));
}

TEST_F(HomePageTest, ThousandsOfAdvertsAreCutToFiftyAndAHugeCacheIsIgnored) {
    sandbox.server().backend().database().exec(
        "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 10099) "
        "INSERT INTO home_adverts (position, ord, name, picture) SELECT 1, i, 'a', 'null' FROM n");
    RootViewController* page = showHome();
    ASSERT_TRUE(waitUntil([&] { return page->rootAdCount() == 50; }));
    const QString cache = PCFile::fileCacheDir("AD.xml");
    EXPECT_EQ(ns::PropertyList::readFile(cache).toMap().value("list").toList().size(), 50);

    sandbox.setFault("*", sandbox::Fault::noAnswer());
    const struct {
        const char* what;
        int cached;
        int shown;
    } cases[] = {{"1,000 cached", 1000, 50}, {"100,000 cached (18 MB)", 100000, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray xml = "<plist><dict><key>position</key><integer>1</integer><key>list</key>"
                         "<array>";
        for (int i = 0; i < c.cached; ++i)
            xml += "<dict><key>image</key><string>http://127.0.0.1:1/advert-picture-" +
                   QByteArray::number(i) +
                   ".png</string><key>name</key><string>广告</string><key>data</key>"
                   "<string>http://127.0.0.1:1/advert-page.html</string></dict>\n";
        QFile f(cache);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(xml + "</array></dict></plist>");
        f.close();
        RootViewController next;
        next.loadViewIfNeeded();
        EXPECT_EQ(next.rootAdCount(), c.shown);
    }
}

TEST_F(HomePageTest, TilePictureNamesNeverLeaveTheirDirectory) {
    for (const char* bad : {"..", "%2E%2E", "a%5Cb.png", "."})
        sandbox.server().backend().database().exec(
            QString("UPDATE home_tiles SET picture = '%1' WHERE position = 2").arg(bad));
    sandbox.server().backend().database().exec(
        "UPDATE home_tiles SET picture = 'x%5C..%5C..%5Cevil.png' WHERE position = 3");
    RootViewController* page = showHome();
    ASSERT_TRUE(waitUntil([&] {
        return page->labelTitleOfPos(1)->text() == "4G免费换卡" &&
               QFileInfo::exists(RootViewController::mainConfigDirectory() + "/tile_card.png");
    }));
    ASSERT_TRUE(waitUntil([&] { return page->hasMainConfigList(); }));
    EXPECT_EQ(QDir(RootViewController::mainConfigDirectory()).entryList(QDir::Files),
              QStringList{"tile_card.png"});
    EXPECT_EQ(QDir(PCFile::fileCacheDir()).entryList(QDir::Files).filter("evil"), QStringList{});
}

TEST_F(HomePageTest, MenuFunctionsOpenTheirScreensAndUnknownOnesNothing) {
    RootViewController* page = showHome();
    ASSERT_NE(page, nullptr);
    ui::Storyboard::registerScene("Flow", "FlowMainController",
                                  [] { return new ui::ViewController; });
    ui::Storyboard::setInitialScene("Flow", "FlowMainController");
    const struct {
        int tag;
        const char* opens; // nullptr: nothing
    } cases[] = {
        {1001, "PackageViewController"},
        {1002, "ui::ViewController"},
        {1003, "OrderedViewController"},
        {1005, "WebViewController"},
        {1007, nullptr},
        {1009, nullptr},
        {1010, nullptr},
        {1012, nullptr},
        {4242, nullptr},
    };
    for (const auto& c : cases) {
        ui::Button button;
        button.setTag(c.tag);
        ns::NotificationCenter::defaultCenter().postNotificationName(
            notification::kPushToFunctionModule, &button);
        if (c.opens) {
            EXPECT_EQ(homeNavigation->viewControllers().size(), 2) << c.tag;
            EXPECT_EQ(topClass(), c.opens) << c.tag;
            homeNavigation->popToRootViewControllerAnimated(false);
        } else {
            EXPECT_EQ(homeNavigation->viewControllers().size(), 1) << c.tag;
        }
    }
    // The wallet page carries a fresh nonce and the number encrypted under it.
    QStringList nonces;
    for (int i = 0; i < 2; ++i) {
        page->sideSlipButtonPressed(1005);
        auto* web = qobject_cast<WebViewController*>(homeNavigation->topViewController());
        ASSERT_NE(web, nullptr);
        EXPECT_EQ(web->strOfTitle(), "流量钱包");
        const QUrlQuery query(QUrl(web->requestURL()));
        nonces << query.queryItemValue("nonce");
        EXPECT_EQ(EncryptedPhoneNumber(EncryptedPhoneNumber::webKeyPrefix(), nonces.last())
                      .decrypt(query.queryItemValue("encpn")),
                  SandboxFixture::demoNumber());
        homeNavigation->popToRootViewControllerAnimated(false);
    }
    EXPECT_NE(nonces[0], nonces[1]);

    // While covered, the page does not route the menu.
    homeNavigation->pushViewController(new ui::ViewController, false);
    ui::Button button;
    button.setTag(1001);
    ns::NotificationCenter::defaultCenter().postNotificationName(
        notification::kPushToFunctionModule, &button);
    EXPECT_EQ(homeNavigation->viewControllers().size(), 2);
}

// 充值 hides the tab bar: clicked, the bar slides out with the home page under the incoming
// screen, and back, it slides in with the home page from under the leaving one. In every frame
// of the window the strip at the foot is the bar where the home page is, or the other screen:
// never the empty container, and the home page keeps its size throughout.
TEST_F(HomePageTest, TheTabBarLeavesAndComesBackWithTheHomePage) {
    rootNavigation()->setNavigationBarHidden(true); // as the log-in leaves it
    RootViewController* page = showHome();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(waitForRequestsToEnd(page));
    const QRect strip(0, 519, 320, 49);
    const QImage bar = window()->renderToImage().copy(strip);
    const auto left = [this](ui::ViewController* vc) {
        return vc->view()->mapTo(window(), QPoint(0, 0)).x();
    };
    QPointer<ui::ViewController> recharge;
    ui::Animation::setEnabled(true);
    for (const bool push : {true, false}) {
        SCOPED_TRACE(push ? "push" : "pop");
        if (push)
            windowinput::click(page->rechargeButton());
        else
            windowinput::click(homeNavigation->navigationBar()->backButtonView());
        ASSERT_TRUE(homeNavigation->isTransitioning());
        if (push) {
            ASSERT_EQ(topClass(), "RechargeViewController");
            recharge = homeNavigation->topViewController();
        }
        int wrongFrames = 0;
        const int frames = eachFrame(
            clock.clock, [&] { return homeNavigation->isTransitioning(); },
            [&](int frame) {
                const QImage shot = window()->renderToImage();
                if (frame % 4 == 1)
                    shot.save(QString("%1/home-recharge-%2-%3.png")
                                  .arg(animationFramesDir(), push ? "push" : "pop")
                                  .arg(frame));
                if (!homeNavigation->isTransitioning()) return;
                EXPECT_EQ(page->view()->frame().size(), QSizeF(320, 455));
                // Left of the screen sliding over it, the bar at the home page's place.
                const int coveredFrom = left(recharge);
                const QImage expected = pictureOfLayers(
                    shot.size(), {{QRectF(QPointF(left(page), strip.y()), bar.size()), {}, bar}});
                if (differingPixels(shot, expected,
                                    QRect(0, strip.y(), coveredFrom, strip.height())) > 0)
                    ++wrongFrames;
                EXPECT_EQ(recharge->view()->mapTo(window(), QPoint(0, 0)).y() +
                              recharge->view()->height(),
                          568);
            });
        EXPECT_GE(frames, 15);
        EXPECT_EQ(wrongFrames, 0);
    }
    ui::Animation::setEnabled(false);
    EXPECT_EQ(window()->renderToImage().copy(strip), bar);
}

TEST_F(HomePageTest, TilesAndAdvertsOpenWhatTheyNameAndUnknownScenesNothing) {
    RootViewController* page = showHome();
    // Before any configuration: the fixed destinations.
    page->bottomThreeWebButtonPressed(page->buttonWithTag(1004));
    EXPECT_EQ(topClass(), "FNRootViewController");
    homeNavigation->popToRootViewControllerAnimated(false);
    page->bottomThreeWebButtonPressed(page->buttonWithTag(1005));
    ASSERT_EQ(topClass(), "WebViewController");
    EXPECT_TRUE(qobject_cast<WebViewController*>(homeNavigation->topViewController())
                    ->requestURL()
                    .contains("ulvek/handle.html?num=13800000001&session="));
    homeNavigation->popToRootViewControllerAnimated(false);

    sandbox.server().backend().database().exec(
        "UPDATE home_tiles SET storyboardname = 'Nowhere' WHERE position = 2");
    ASSERT_TRUE(waitUntil([&] { return page->hasMainConfigList(); }));
    windowinput::click(
        page->buttonWithTag(1004)); // the family tile now names a storyboard that does not exist
    EXPECT_EQ(homeNavigation->viewControllers().size(), 1);
    windowinput::click(page->buttonWithTag(1003)); // a web tile, with the mouse
    ASSERT_EQ(topClass(), "WebViewController");
    auto* web = qobject_cast<WebViewController*>(homeNavigation->topViewController());
    EXPECT_EQ(web->strOfTitle(), "4G免费换卡");
    EXPECT_TRUE(web->requestURL().endsWith("/pelvo/ulvek/tile/card.html"));
    EXPECT_FALSE(web->hidesBottomBarWhenPushed());
    homeNavigation->popToRootViewControllerAnimated(false);

    ASSERT_TRUE(waitUntil([&] { return page->rootAdCount() == 3; }));
    FileDO unknown = FileDO::initWithDict({{"image", "null"},
                                           {"forNative", "1"},
                                           {"storyBoardName", "Flow"},
                                           {"viewName", "NoSuchScene"}});
    FileDO native = unknown;
    native.storyBoardName = "Main";
    native.viewName = "FNRootViewController";
    // The server names the start-up screens or the shell as a hostile link would: nothing.
    QList<FileDO> adverts{unknown};
    for (const char* refused : {"LoginViewController", "DefaultVC", "SkatingRinkViewController",
                                "TabBarViewController", "NavbarViewController"}) {
        FileDO shell = native;
        shell.viewName = refused;
        adverts << shell;
    }
    adverts << native;
    page->showADWith(adverts);
    QList<DDButton*> buttons = page->adButtons();
    for (int i = 1; i < adverts.size(); ++i) {
        page->adButtonPressed(buttons[i]);
        EXPECT_EQ(homeNavigation->viewControllers().size(), 1)
            << adverts[i - 1].viewName.toStdString();
    }
    page->adButtonPressed(buttons[adverts.size()]);
    EXPECT_EQ(topClass(), "FNRootViewController");
    EXPECT_TRUE(homeNavigation->topViewController()->hidesBottomBarWhenPushed());
}

// The tiles' pictures as a hostile server sends them: too large, without end, or declaring a
// size no tile needs. None is kept and the tiles keep their look.
TEST_F(HomePageTest, HostileTilePicturesAreRefusedAndTheTilesKeepTheirLook) {
    const char* pictures[] = {"generated/bytes-524288000.png", "generated/bytes-endless.png",
                              "generated/declared-100000x100000.png"};
    for (int position = 1; position <= 3; ++position)
        sandbox.server().backend().database().exec(
            QString("UPDATE home_tiles SET picture = '%1' WHERE position = %2")
                .arg(pictures[position - 1])
                .arg(position));
    RootViewController* page = showHome();
    ASSERT_TRUE(waitUntil([&] { return page->hasMainConfigList(); }, 30000));
    EXPECT_EQ(page->labelTitleOfPos(1)->text(), "4G免费换卡");
    EXPECT_EQ(page->labelTitleOfPos(2)->text(), "家庭网");
    EXPECT_EQ(page->labelTitleOfPos(3)->text(), "手机阅读");
    EXPECT_EQ(page->bgOfPos(1)->image().cacheKey(), ui::imageNamed("home_tile_card").cacheKey());
    EXPECT_EQ(QDir(RootViewController::mainConfigDirectory()).entryList(QDir::Files),
              QStringList{});
}

// A cached reply of 1,400 records that all name one picture: each tile shows the last record
// of its position whose picture is there, and the picture is decoded once, at the tile's size.
TEST_F(HomePageTest, ThousandsOfTileRecordsNamingOnePictureDecodeItOnceAtTheTileSize) {
    sandbox.setFault("*", sandbox::Fault::noAnswer());
    QImage square(1000, 1000, QImage::Format_RGB32);
    square.fill(Qt::green);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    square.save(&buffer, "PNG");
    const struct {
        const char* what;
        QByteArray file;
        bool drawn;
    } pictures[] = {
        {"a picture of 1000 x 1000", png, true},
        {"declares 5000 x 5000", sandbox::PictureStore::declaredPng(5000, 5000), false},
    };
    QVariantList list;
    for (int i = 0; i < 1400; ++i)
        list.append(QVariantMap{{"position", 1 + i % 3},
                                {"title", QString("t%1").arg(i)},
                                {"main_desc", "d"},
                                {"photo", "http://127.0.0.1:1/pictures/big.png"},
                                {"type", 0}});
    // A later record whose picture is missing leaves the tile to the earlier one.
    list.append(QVariantMap{{"position", 1}, {"title", "missing"}, {"photo", "http://h/none.png"}});
    ns::PropertyList::writeFile(PCFile::fileCacheDir("MainInfoConfList.xml"),
                                QVariantMap{{"result", 0}, {"list", list}});
    QDir().mkpath(RootViewController::mainConfigDirectory());
    for (const auto& c : pictures) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(PCFile::fileWriteAtPath(RootViewController::mainConfigDirectory() + "/big.png",
                                            c.file));
        RootViewController page;
        page.loadViewIfNeeded();
        const QStringList titles = {page.labelTitleOfPos(1)->text(),
                                    page.labelTitleOfPos(2)->text(),
                                    page.labelTitleOfPos(3)->text()};
        EXPECT_EQ(titles, c.drawn ? QStringList({"t1398", "t1399", "t1397"})
                                  : QStringList({"4G免费换卡", "家庭网", "手机阅读"}));
        EXPECT_TRUE(page.hasMainConfigList());
        // The server's descriptions and the tiles' own alike in the light grey of every
        // secondary text.
        for (int position = 1; position <= 3; ++position)
            EXPECT_EQ(page.labelDescOfPos(position)
                          ->attributedText()
                          .attributesAtIndex(0)
                          .foregroundColor,
                      QColor(170, 170, 170))
                << position;
        if (!c.drawn) {
            EXPECT_EQ(page.bgOfPos(2)->image().cacheKey(),
                      ui::imageNamed("home_tile_family").cacheKey());
            continue;
        }
        EXPECT_EQ(page.bgOfPos(1)->image().size(), QSize(312, 312));
        EXPECT_EQ(page.bgOfPos(1)->image().pixelColor(5, 5), QColor(Qt::green));
        EXPECT_EQ(page.bgOfPos(2)->image().cacheKey(), page.bgOfPos(1)->image().cacheKey());
        EXPECT_EQ(page.bgOfPos(3)->image().cacheKey(), page.bgOfPos(1)->image().cacheKey());
        // Only the first tile's lines are spaced.
        for (int position = 1; position <= 3; ++position) {
            const ui::TextAttributes desc =
                page.labelDescOfPos(position)->attributedText().attributesAtIndex(0);
            ASSERT_TRUE(desc.paragraphStyle) << position;
            EXPECT_EQ(desc.paragraphStyle->lineSpacing, position == 1 ? 1.0 : 0) << position;
        }
        // Before system 7 no tile's lines are spaced.
        ns::DeviceInfo::setSystemVersion("6.1");
        RootViewController older;
        older.loadViewIfNeeded();
        ns::DeviceInfo::setSystemVersion({});
        const auto olderStyle =
            older.labelDescOfPos(1)->attributedText().attributesAtIndex(0).paragraphStyle;
        ASSERT_TRUE(olderStyle);
        EXPECT_EQ(olderStyle->lineSpacing, 0);
    }
}

// Fifty cached adverts, each its own picture: only the pages near the view are decoded, the
// others when the strip comes to them.
TEST_F(HomePageTest, CachedAdvertPicturesAreDecodedOnlyNearTheView) {
    sandbox.setFault("*", sandbox::Fault::noAnswer());
    QImage picture(64, 27, QImage::Format_RGB32);
    picture.fill(Qt::green);
    const QString cacheDir = PCFile::fileCacheDir("imageCache");
    QDir().mkpath(cacheDir);
    QVariantList list;
    for (int i = 0; i < 50; ++i) {
        const QString url = QString("http://127.0.0.1:1/ad-%1.png").arg(i);
        list.append(QVariantMap{{"image", url}, {"name", "ad"}, {"data", "http://127.0.0.1:1/"}});
        ASSERT_TRUE(picture.save(cacheDir + "/" + MD5::md5(url), "PNG"));
    }
    ns::PropertyList::writeFile(PCFile::fileCacheDir("AD.xml"),
                                QVariantMap{{"position", 1}, {"list", list}});
    MultiplexCache::removeCache();
    RootViewController page;
    page.loadViewIfNeeded();
    EXPECT_EQ(page.rootAdCount(), 50);
    // The last advert's copy, the first and the second.
    EXPECT_EQ(MultiplexCache::count(), 3);
    page.myScrollView()->setContentOffset(QPointF(320 * 10, 0));
    EXPECT_EQ(MultiplexCache::count(), 6);
    int green = 0;
    for (ui::View* view : page.myScrollView()->subviews())
        if (auto* image = qobject_cast<ui::ImageView*>(view))
            green += image->image().pixelColor(0, 0) == QColor(Qt::green) ? 1 : 0;
    EXPECT_EQ(green, 6);
}

} // namespace

// Every entry on the query, manage and settings screens opens its page or its screen.

#include "QueryHarness.h"

#include "app/core/EncryptedPhoneNumber.h"
#include "platform/ui/NavigationController.h"
#include "screens/query/ManageViewController.h"
#include "screens/query/OperatorPages.h"
#include "screens/query/QueryViewController.h"
#include "screens/query/SettingViewController.h"
#include "screens/services/DiscountViewController.h"

#include <QSignalSpy>
#include <QUrlQuery>

namespace {

using namespace query_test;

// Stands in for the data-usage and plan-change screens; the latter takes its mode as "dataType".
class FlowStandIn : public ui::ViewController {
    Q_OBJECT
    Q_PROPERTY(QString dataType MEMBER dataType)
public:
    QString dataType;
};

// Records whether each screen the stack shows comes in animated.
struct AnimationRecorder : QObject, ui::NavigationControllerDelegate {
    // Owned by the stack it listens to.
    AnimationRecorder(bool* animated, QObject* owner) : QObject(owner), animated(animated) {}
    void navigationControllerWillShowViewController(ui::NavigationController*, ui::ViewController*,
                                                    bool a) override {
        *animated = a;
    }
    bool* animated;
};

class EntriesTest : public ScreenHarness {
protected:
    // Shows the screen unless it already shows; the query screen's own requests are answered.
    void showOnce(const QString& scene) {
        if (top() && top()->storyboardIdentifier() == scene) return;
        show<ui::ViewController>(scene);
        nav->setDelegate(new AnimationRecorder(&lastShownAnimated, nav));
        if (scene == "QueryViewController") {
            ASSERT_TRUE(sandbox.waitForRequests(2));
        }
        settle();
        sandbox.clearRequests();
    }
    void press(int tag) {
        click(OperatorPages::buttonWithTag(top(), tag));
        settle();
    }
    void back() {
        nav->popToRootViewControllerAnimated(false);
        settle();
    }
    bool lastShownAnimated = false;
};

TEST_F(EntriesTest, EachPageOpensWithAFreshEncryptedNumber) {
    const QString who = "phone=13800000001&session=s%2B1%2F2%3D3%26x&nonce=";
    const QString num = "num=13800000001&session=s%2B1%2F2%3D3%26x";
    const char *const query = "QueryViewController", *const manage = "ManageViewController";
    const struct {
        const char* screen;
        int tag;
        const char* title;
        QString start; // the address up to the encrypted part, after the base
        bool encrypted;
    } cases[] = {
        {query, QueryViewController::kItemisedBillTag, "详单查询",
         "ulvek/chongdingxiang/index.html?pid=4&v=6&cf=1001&" + who, true},
        {manage, 1004, "流量共享", "ulvek/chongdingxiang/index.jsp?pid=3&v=2&cf=1001&" + who, true},
        {manage, 1005, "塔维宽带", "ulvek/guangkuandai/index.html?" + num + "&type=3", false},
        {manage, 1006, "电子券专区", "ulvek/chongdingxiang/index.html?pid=4&v=10&cf=1001&" + who,
         true},
        {manage, 1007, "流量钱包", "ulvek/chongdingxiang/index.html?pid=3&v=7&cf=1001&" + who,
         true},
        {manage, 1010, "彩铃业务", "ulvek/handle.html?" + num + "&marketid=2010020140312002&type=3",
         false},
        {manage, 1011, "塔维悦读", "ulvek/handle.html?" + num + "&marketid=2010020140101001&type=3",
         false},
        {manage, 1012, "天气预报", "ulvek/handle.html?" + num + "&marketid=2010020140312004&type=3",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        showOnce(c.screen);
        PublicFunction::saveConfig("s+1/2=3&x", "session");
        QStringList nonces;
        for (int twice = 0; twice < 2; ++twice) {
            press(c.tag);
            WebViewController* page = topWebPage();
            ASSERT_NE(page, nullptr);
            EXPECT_EQ(page->strOfTitle(), QString::fromUtf8(c.title));
            EXPECT_FALSE(page->hidesBottomBarWhenPushed());
            const QString address = page->requestURL();
            const QString expected = sandbox.baseAddress() + c.start;
            EXPECT_EQ(c.encrypted ? address.left(expected.size()) : address, expected);
            if (c.encrypted) {
                const QUrlQuery query{QUrl(address)};
                nonces << query.queryItemValue("nonce");
                EXPECT_EQ(nonces.last().size(), 16);
                EXPECT_EQ(EncryptedPhoneNumber(EncryptedPhoneNumber::webKeyPrefix(), nonces.last())
                              .decrypt(query.queryItemValue("encpn")),
                          "13800000001");
            }
            back();
        }
        if (c.encrypted) {
            EXPECT_NE(nonces[0], nonces[1]);
        }
    }
    EXPECT_TRUE(sandbox.requests().isEmpty()); // the boards send nothing themselves
}

TEST_F(EntriesTest, EachScreenOpensWhenItExists) {
    using Q = QueryViewController;
    using M = ManageViewController;
    using S = SettingViewController;
    const char *const query = "QueryViewController", *const manage = "ManageViewController",
                      *const setting = "SettingViewController";
    const struct {
        const char* screen;
        int tag;
        const char* scene;
        bool hidesBar;
        const char* flowMode; // a flow scene, taken away first: the entry does nothing then
        bool animated;        // pushed with the animation
    } cases[] = {
        {setting, S::kPasswordTag, "PasswordModificationViewController", true, nullptr, true},
        {setting, S::kAboutTag, "AboutMeViewController", true, nullptr, true},
        {setting, S::kFAQTag, "FAQViewController", true, nullptr, true},
        {manage, M::kSecureNumTag, "SecurenumGuideViewController", false, nullptr, true},
        // The one entry that comes in without the push animation.
        {manage, M::kMorePackageTag, "MorePackageViewController", false, nullptr, false},
        {manage, M::kHotBusinessTag, "HotBusinessViewController", true, nullptr, true},
        {manage, M::kDiscountTag, "DiscountViewController", true, nullptr, true},
        {manage, M::kRechargeRecordTag, "RechargeRecordViewController", true, nullptr, true},
        {manage, M::kPointsTag, "PointsQueryViewController", true, nullptr, true},
        // Changing the plan, never ordering packs.
        {manage, M::kPlanChangeTag, "FlowSuitChangeController", true, "1", true},
        {query, Q::kDataUsageTag, "FlowMainController", true, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scene);
        showOnce(c.screen);
        ui::ViewController* screen = top();
        if (c.flowMode) {
            ui::Storyboard::unregisterScene("Flow", c.scene);
            press(c.tag);
            EXPECT_EQ(top(), screen);
            ui::Storyboard::registerScene("Flow", c.scene, [] { return new FlowStandIn; });
        }
        QSignalSpy pushed(nav, &ui::NavigationController::stackChanged);
        press(c.tag);
        ASSERT_NE(top(), screen);
        EXPECT_EQ(top()->storyboardIdentifier(), c.scene);
        ASSERT_EQ(pushed.size(), 1);
        EXPECT_EQ(pushed[0][0].toBool(), c.animated);
        EXPECT_EQ(top()->hidesBottomBarWhenPushed(), c.hidesBar);
        EXPECT_EQ(lastShownAnimated, c.animated);
        if (auto* flow = qobject_cast<FlowStandIn*>(top())) {
            EXPECT_EQ(flow->dataType, c.flowMode);
        }
        if (auto* discount = qobject_cast<DiscountViewController*>(top())) {
            EXPECT_EQ(discount->fromWhere(), "FromManage");
        }
        back();
        if (c.flowMode) ui::Storyboard::unregisterScene("Flow", c.scene);
    }
}

} // namespace

#include "entries_test.moc"

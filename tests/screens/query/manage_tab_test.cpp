#include "QueryHarness.h"

#include "app/core/EncryptedPhoneNumber.h"
#include "screens/query/HotBusinessViewController.h"
#include "screens/query/ManageViewController.h"
#include "platform/ui/Button.h"
#include "screens/services/DiscountViewController.h"

#include <QUrlQuery>

namespace {

using namespace query_test;

// Stands in for the plan-change screen, which takes its mode through "dataType".
class PlanChangeStandIn : public ui::ViewController {
    Q_OBJECT
    Q_PROPERTY(QString dataType MEMBER dataType)
public:
    QString dataType;
};

class ManageTabTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        screen = show<ManageViewController>("ManageViewController");
        ASSERT_NE(screen, nullptr);
    }
    void press(int tag) {
        click(screen->buttonWithTag(tag));
        settle();
    }
    void back() {
        nav->popToRootViewControllerAnimated(false);
        settle();
    }
    ManageViewController* screen = nullptr;
};

TEST_F(ManageTabTest, EachPageButtonOpensItsPage) {
    PublicFunction::saveConfig("S+1=2", "session");
    const QString base = sandbox.baseAddress();
    const struct {
        int tag;
        const char* title;
        const char* start; // the address up to the encrypted part, after the base
        bool encrypted;
    } cases[] = {
        {1004, "流量共享",
         "ulvek/chongdingxiang/"
         "index.jsp?pid=3&v=2&cf=1001&phone=13800000001&session=S%2B1%3D2&nonce=",
         true},
        {1005, "塔维宽带", "ulvek/guangkuandai/index.html?num=13800000001&session=S%2B1%3D2&type=3",
         false},
        {1006, "电子券专区",
         "ulvek/chongdingxiang/"
         "index.html?pid=4&v=10&cf=1001&phone=13800000001&session=S%2B1%3D2&nonce=",
         true},
        {1007, "流量钱包",
         "ulvek/chongdingxiang/"
         "index.html?pid=3&v=7&cf=1001&phone=13800000001&session=S%2B1%3D2&nonce=",
         true},
        {1010, "彩铃业务",
         "ulvek/handle.html?num=13800000001&session=S%2B1%3D2&marketid=2010020140312002&type=3",
         false},
        {1011, "塔维悦读",
         "ulvek/handle.html?num=13800000001&session=S%2B1%3D2&marketid=2010020140101001&type=3",
         false},
        {1012, "天气预报",
         "ulvek/handle.html?num=13800000001&session=S%2B1%3D2&marketid=2010020140312004&type=3",
         false},
    };
    for (const auto& c : cases) {
        QStringList nonces;
        for (int twice = 0; twice < 2; ++twice) {
            press(c.tag);
            WebViewController* page = topWebPage();
            ASSERT_NE(page, nullptr) << c.tag;
            EXPECT_EQ(page->strOfTitle(), QString::fromUtf8(c.title)) << c.tag;
            EXPECT_FALSE(page->hidesBottomBarWhenPushed()) << c.tag;
            const QString address = page->requestURL();
            EXPECT_TRUE(address.startsWith(base + c.start)) << address.toStdString();
            if (c.encrypted) {
                const QUrlQuery query{QUrl(address)};
                const QString nonce = query.queryItemValue("nonce");
                EXPECT_EQ(EncryptedPhoneNumber(EncryptedPhoneNumber::webKeyPrefix(), nonce)
                              .decrypt(query.queryItemValue("encpn")),
                          "13800000001")
                    << c.tag;
                nonces << nonce;
            } else {
                EXPECT_EQ(address, base + c.start) << c.tag;
            }
            back();
        }
        if (c.encrypted) {
            EXPECT_NE(nonces[0], nonces[1]) << c.tag;
        }
    }
    EXPECT_TRUE(sandbox.requests().isEmpty()); // the board sends nothing itself
}

TEST_F(ManageTabTest, TheOtherButtonsOpenTheirScreens) {
    ui::Storyboard::registerScene("Flow", "FlowSuitChangeController",
                                  [] { return new PlanChangeStandIn; });
    press(ManageViewController::kPlanChangeTag);
    auto* plan = qobject_cast<PlanChangeStandIn*>(top());
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(plan->dataType, "1"); // changing the plan, never ordering packs
    EXPECT_TRUE(plan->hidesBottomBarWhenPushed());
    back();
    ui::Storyboard::unregisterScene("Flow", "FlowSuitChangeController");
    press(ManageViewController::kPlanChangeTag);
    EXPECT_EQ(top(), screen); // not there: nothing happens

    const struct {
        int tag;
        const char* scene;
    } screens[] = {
        {ManageViewController::kSecureNumTag, "SecurenumGuideViewController"},
        {ManageViewController::kMorePackageTag, "MorePackageViewController"},
        {ManageViewController::kHotBusinessTag, "HotBusinessViewController"},
        {ManageViewController::kDiscountTag, "DiscountViewController"},
    };
    for (const auto& s : screens) {
        press(s.tag);
        ASSERT_NE(top(), screen) << s.scene;
        EXPECT_EQ(top()->storyboardIdentifier(), s.scene);
        if (auto* discount = qobject_cast<DiscountViewController*>(top())) {
            EXPECT_EQ(discount->fromWhere(), "FromManage");
            EXPECT_TRUE(discount->hidesBottomBarWhenPushed());
        }
        back();
    }
}

} // namespace

#include "manage_tab_test.moc"

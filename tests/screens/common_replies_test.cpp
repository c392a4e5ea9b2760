// What every screen does with the replies any interface may give: a refusal, an expired
// session, a reply that is no JSON object, and a server nobody answers for.

#include "tests/screens/query/QueryHarness.h"

#include "app/core/AlertTexts.h"
#include "platform/ui/Switch.h"
#include "screens/query/AboutMeViewController.h"
#include "screens/query/HotBusinessViewController.h"
#include "screens/query/QueryViewController.h"
#include "screens/query/SettingViewController.h"

#include <functional>

namespace {

using namespace query_test;
using sandbox::Fault;

class CommonRepliesTest;
// Opens a screen and starts the request under test; arm() sets the fault when it is time.
using Opener = void (*)(CommonRepliesTest&, const std::function<void()>& arm);
// What the screen shows after the alert is gone.
using Aftermath = void (*)(CommonRepliesTest&);

class CommonRepliesTest : public ScreenHarness {
public:
    static void openQuery(CommonRepliesTest& t, const std::function<void()>& arm) {
        arm();
        t.show<QueryViewController>("QueryViewController");
    }
    static void openOffers(CommonRepliesTest& t, const std::function<void()>& arm) {
        arm();
        t.show<HotBusinessViewController>("HotBusinessViewController");
    }
    static void checkVersion(CommonRepliesTest& t, const std::function<void()>& arm) {
        auto* s = t.show<AboutMeViewController>("AboutMeViewController");
        arm();
        t.click(s->checkButton());
    }
    // The setting reads the server's value first; the change is what fails.
    static void flipLoginSms(CommonRepliesTest& t, const std::function<void()>& arm) {
        PublicFunction::saveConfig("1", "LoginSMS" + SandboxFixture::demoNumber());
        auto* s = t.show<SettingViewController>("SettingViewController");
        ASSERT_TRUE(waitUntil([&] { return !s->notify().isEmpty(); }));
        arm();
        t.click(s->switchOfLoginSMS());
    }

    static void nothing(CommonRepliesTest&) {}
    static void emptyList(CommonRepliesTest& t) {
        auto* s = qobject_cast<HotBusinessViewController*>(t.top());
        EXPECT_TRUE(s->tableViewOfBusiness()->isHidden());
        EXPECT_NE(s->nilLabel(), nullptr);
    }
    // The switch, the setting and the stored value are put back.
    static void switchBack(CommonRepliesTest& t) {
        auto* s = qobject_cast<SettingViewController*>(t.top());
        EXPECT_TRUE(s->switchOfLoginSMS()->isOn());
        EXPECT_EQ(s->notify(), "1");
        EXPECT_EQ(PublicFunction::getConfigWithKey("LoginSMS" + SandboxFixture::demoNumber()), "1");
        const auto sent = t.sandbox.requestsTo("LoginSMS");
        EXPECT_EQ(sent.last().fields.value("notify"), "0");
    }
};

struct Row {
    const char* name;
    Opener open;
    const char* interface; // empty: nobody listening at the server's address
    Fault fault;
    QString alert; // "title|message|buttons" when titled, else the message alone
    Aftermath after;
};

TEST_F(CommonRepliesTest, EachScreenAlertsTheReplyItCannotUse) {
    using T = CommonRepliesTest;
    const Fault expired = Fault::result(9999, "登录已超时");
    const QString failed = AlertTexts::networkFailed(), late = "登录已超时", bad = "请求超时";
    const Row rows[] = {
        {"query tab, session", &T::openQuery, "*", expired, late, &T::nothing},
        {"about, session", &T::checkVersion, "VersionCheck", expired, late, &T::nothing},
        {"about, no server", &T::checkVersion, "", {}, "提示|" + failed + "|确认", &T::nothing},
        {"offers, refused", &T::openOffers, "Search", Fault::result(5, "暂无推荐"), "暂无推荐",
         &T::emptyList},
        {"offers, session", &T::openOffers, "Search", expired, late, &T::emptyList},
        {"offers, array", &T::openOffers, "Search", Fault::jsonArray(), bad, &T::emptyList},
        {"offers, HTML", &T::openOffers, "Search", Fault::html500(), bad, &T::emptyList},
        {"offers, no server", &T::openOffers, "", {}, failed, &T::emptyList},
        {"SMS, refused", &T::flipLoginSms, "LoginSMS", Fault::result(5, "设置失败"), "设置失败",
         &T::switchBack},
        {"SMS, session", &T::flipLoginSms, "LoginSMS", expired, late, &T::switchBack},
        {"SMS, HTML", &T::flipLoginSms, "LoginSMS", Fault::html500(), bad, &T::switchBack},
        {"SMS, empty", &T::flipLoginSms, "LoginSMS", Fault::emptyBody(), bad, &T::switchBack},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        sandbox.clearFaults();
        sandbox.clearRequests();
        posted.clear();
        tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
        r.open(*this, [&] {
            if (QByteArray(r.interface).isEmpty())
                tavrixConfig::setServerBaseAddress("http://127.0.0.1:1/pelvo/");
            else
                sandbox.setFault(r.interface, r.fault);
        });
        ASSERT_TRUE(waitForAlert());
        letOverlayGo();
        // Two requests failing together still alert once.
        EXPECT_EQ(ui::AlertCenter::visibleAlerts().size(), 1);
        EXPECT_EQ(r.alert.contains('|') ? shownAlert() : topAlertMessage(), r.alert);
        ui::AlertCenter::press(0);
        settle();
        // Only an expired session leads to the log-in.
        EXPECT_EQ(posted, r.alert == late ? QStringList{"PushToLoginVeiw"} : QStringList());
        r.after(*this);
        closeWindow();
    }
}

} // namespace

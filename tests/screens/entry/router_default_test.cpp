#include "app/core/EncryptedPhoneNumber.h"
#include "app/core/PublicFunction.h"
#include "screens/entry/DefaultVC.h"
#include "platform/ui/Label.h"
#include "tests/screens/entry/login_harness.h"
#include "tests/support/ScriptedServer.h"

namespace {

using login_test::LoginHarness;
using Medium = ns::Reachability::Medium;
using sandbox::Fault;

const QString kLogin = QStringLiteral("LoginViewController");
const QString kGuide = QStringLiteral("GuideViewController");
const QString kMain = login_test::kMainScene;

QStringList keysOf(const sandbox::ReceivedRequest& request) {
    QStringList keys;
    for (const auto& item : request.fields.items())
        keys << item.first;
    return keys;
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

    QString stored(const char* key) { return PublicFunction::getConfigWithKey(key).toString(); }

    QPointer<DefaultVC> router;
};

TEST_F(RouterTest, RoutesEachStartingSituation) {
    const QString number = SandboxFixture::demoNumber();
    const QString right = SandboxFixture::demoPassword();
    const struct Case {
        const char* what;
        bool guideSeen;
        Medium network;
        bool autoLogin;
        QString password;
        QString gatewayLine; // "-": the gateway knows no line
        std::optional<Fault> gatewayFault;
        QString scene;
        QStringList interfaces; // what the server was asked, in order
    } cases[] = {
        {"first start, Wi-Fi", false, Medium::WiFi, true, right, number, {}, kGuide, {}},
        {"first start, cellular", false, Medium::Cellular, true, right, number, {}, kGuide, {}},
        {"first start, offline", false, Medium::None, false, right, number, {}, kGuide, {}},
        {"offline", true, Medium::None, true, right, number, {}, kLogin, {}},
        {"Wi-Fi, no automatic log-in", true, Medium::WiFi, false, right, number, {}, kLogin, {}},
        {"Wi-Fi, automatic log-in", true, Medium::WiFi, true, right, number, {}, kMain, {"Login"}},
        {"Wi-Fi, automatic log-in, wrong password",
         true,
         Medium::WiFi,
         true,
         "999999",
         number,
         {},
         kLogin,
         {"Login"}},
        {"Wi-Fi, automatic log-in, empty reply",
         true,
         Medium::WiFi,
         true,
         right,
         number,
         Fault::emptyBody(),
         kMain,
         {"Login"}}, // the fault is on the gateway only
        {"cellular, gateway accepts",
         true,
         Medium::Cellular,
         false,
         "",
         number,
         {},
         kMain,
         {"LoginQTWAP"}},
        {"cellular, gateway refuses, no automatic log-in",
         true,
         Medium::Cellular,
         false,
         right,
         "-",
         {},
         kLogin,
         {"LoginQTWAP"}},
        {"cellular, gateway refuses, automatic log-in",
         true,
         Medium::Cellular,
         true,
         right,
         "-",
         {},
         kMain,
         {"LoginQTWAP", "Login"}},
        {"cellular, gateway answers an array",
         true,
         Medium::Cellular,
         true,
         right,
         number,
         Fault::jsonArray(),
         kMain,
         {"LoginQTWAP", "Login"}},
        {"cellular, gateway result 9999",
         true,
         Medium::Cellular,
         false,
         right,
         number,
         Fault::result(9999),
         kLogin,
         {"LoginQTWAP"}},
        {"cellular, gateway success without a session",
         true,
         Medium::Cellular,
         false,
         right,
         number,
         Fault::result(0),
         kLogin,
         {"LoginQTWAP"}},
        {"cellular, connection dropped",
         true,
         Medium::Cellular,
         true,
         right,
         number,
         Fault::drop(),
         kLogin,
         {"LoginQTWAP"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        restart();
        if (c.guideSeen) storeUser(number, c.password, c.autoLogin);
        setNetwork(c.network);
        sandbox.server().backend().setGatewayNumber(c.gatewayLine == "-" ? QString()
                                                                         : c.gatewayLine);
        if (c.gatewayFault) sandbox.setFault("LoginQTWAP", *c.gatewayFault);
        start();
        ASSERT_TRUE(waitForTop(c.scene)) << "on " << topScene().toStdString();
        QStringList asked;
        for (const auto& r : sandbox.requests())
            asked << r.interfaceName;
        // The network layer sends a POST again once when the connection drops before any
        // answer; the exact counts are checked where a single send matters.
        asked.removeDuplicates();
        EXPECT_EQ(asked, c.interfaces);
        EXPECT_EQ(ui::AlertCenter::visibleAlerts().size(), 0); // the router never alerts
        EXPECT_EQ(nav->isNavigationBarHidden(), c.scene != kLogin);
    }
}

TEST_F(RouterTest, AutomaticLogInSendsExactlyTheLoginFields) {
    storeUser(SandboxFixture::demoNumber(), SandboxFixture::demoPassword(), true);
    PublicFunction::saveConfig("old-session", "session");
    start();
    ASSERT_TRUE(waitForTop(kMain));
    const auto sent = sandbox.requestsTo("Login");
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].fields,
              sandbox::FormFields({{"num", SandboxFixture::demoNumber()},
                                   {"pass", SandboxFixture::demoPassword()},
                                   {"channelid", "2"},
                                   {"versionid", PublicFunction::versionNumberOfAPP()},
                                   {"imei", PublicFunction::getUUIDOfDevice()},
                                   {"network", "0"},
                                   {"session", "old-session"}}));
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
    EXPECT_EQ(keysOf(sent[0]), QStringList({"session", "num", "nonce", "enc_phonenum", "channelid",
                                            "versionid", "imei"}));
    const QString nonce = sent[0].fields.value("nonce");
    const EncryptedPhoneNumber key(EncryptedPhoneNumber::requestKeyPrefix(), nonce);
    EXPECT_EQ(key.keyString(), router->secretKey());
    EXPECT_EQ(key.decrypt(sent[0].fields.value("enc_phonenum")), ""); // no number yet
    EXPECT_EQ(stored("username"), SandboxFixture::demoNumber());
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
        window.reset();
        login_test::settle();
        start();
        ASSERT_TRUE(waitForTop(kLogin));
        EXPECT_EQ(stored("username"), "13800000002");
        EXPECT_EQ(stored("session"), "kept-session");
    }
}

} // namespace

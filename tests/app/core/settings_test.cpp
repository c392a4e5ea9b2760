#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"

namespace {

// Each test starts from an empty sandbox and a fresh in-memory store.
class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        ns::Directories::setHomeOverride(home.path());
        ns::UserDefaults::resetStandardUserDefaults();
    }
    void TearDown() override { ns::UserDefaults::resetStandardUserDefaults(); }
    // What a new process would read.
    static void relaunch() { ns::UserDefaults::resetStandardUserDefaults(); }
    QString plistPath() const { return home.path() + "/Library/Preferences/tavrix.plist"; }
    QTemporaryDir home;
};

TEST_F(Settings, storedValuesSurviveARelaunch) {
    EXPECT_TRUE(PublicFunction::saveConfig("S-123", "session"));
    EXPECT_TRUE(PublicFunction::saveConfig(QString::fromUtf8("13800000001"), "username"));
    EXPECT_TRUE(PublicFunction::saveConfig("", "password"));
    tavrixConfig::setIsAutoLogin(true);
    tavrixConfig::setIsSavePwd(false);
    relaunch();
    EXPECT_EQ(tavrixConfig::userSession(), "S-123");
    EXPECT_EQ(PublicFunction::getConfigWithKey("username").toString(), "13800000001");
    // Kept as "" rather than removed: the log-in screen tells the two apart.
    EXPECT_TRUE(PublicFunction::getConfigWithKey("password").isValid());
    EXPECT_EQ(PublicFunction::getConfigWithKey("password").toString(), "");
    EXPECT_TRUE(tavrixConfig::isAutoLogin());
    EXPECT_FALSE(tavrixConfig::isSavePwd());
}

TEST_F(Settings, theFileIsAnOwnerOnlyPropertyListWithRealBooleans) {
    tavrixConfig::setIsOpenGuideView(true);
    PublicFunction::saveConfig("p@ss", "password");
    const QFile::Permissions perms = QFile::permissions(plistPath());
    EXPECT_EQ(perms & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              0);
    EXPECT_TRUE(perms & QFile::ReadOwner);
    const QVariantMap stored = ns::PropertyList::readFile(plistPath()).toMap();
    EXPECT_EQ(stored.value("is_open_guideview").typeId(), QMetaType::Bool);
    QFile f(plistPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray xml = f.readAll();
    EXPECT_TRUE(xml.contains("<key>is_open_guideview</key>") && xml.contains("<true/>"));
}

TEST_F(Settings, switchesAcceptBooleansNumbersAndTexts) {
    struct Case {
        const char* name;
        QVariant stored; // invalid: absent
        bool expected;
    };
    const Case cases[] = {
        {"absent", QVariant(), false},
        {"bool yes", true, true},
        {"bool no", false, false},
        {"number 1", 1, true},
        {"number 0", 0, false},
        {"text YES", QString("YES"), true},
        {"text NO", QString("NO"), false},
        {"text true", QString("true"), true},
        {"text empty", QString(""), false},
    };
    const QStringList keys = {"is_open_guideview", "is_open_securenum_guideview", "is_auto_login",
                              "is_save_password"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& k : keys) {
            auto& d = ns::UserDefaults::standardUserDefaults();
            d.setObject(c.stored, k);
            d.synchronize();
        }
        relaunch();
        EXPECT_EQ(tavrixConfig::isOpenGuideView(), c.expected);
        EXPECT_EQ(tavrixConfig::isOpenSecurenumGuideView(), c.expected);
        EXPECT_EQ(tavrixConfig::isAutoLogin(), c.expected);
        EXPECT_EQ(tavrixConfig::isSavePwd(), c.expected);
    }
}

TEST_F(Settings, savingNothingRemovesTheEntry) {
    PublicFunction::saveConfig("S", "session");
    PublicFunction::saveConfig(QVariant(), "session");
    EXPECT_TRUE(tavrixConfig::userSession().isNull());
    tavrixConfig::saveUserSession("T");
    EXPECT_EQ(tavrixConfig::userSession(), "T");
    tavrixConfig::saveUserSession(QString());
    relaunch();
    EXPECT_TRUE(tavrixConfig::userSession().isNull());
    PublicFunction::saveConfig("x", "MacAddress");
    PublicFunction::removeConfigWithKey("MacAddress");
    relaunch();
    EXPECT_FALSE(PublicFunction::getConfigWithKey("MacAddress").isValid());
    PublicFunction::saveConfig(42, "session"); // a session that is not text reads as none
    EXPECT_TRUE(tavrixConfig::userSession().isNull());
}

TEST_F(Settings, aDamagedFileStartsEmptyAndIsReplacedOnTheNextWrite) {
    ns::Directories::preferences();
    QFile f(plistPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<plist><dict><key>session</key><string>trunc");
    f.close();
    relaunch();
    EXPECT_TRUE(tavrixConfig::userSession().isNull());
    EXPECT_TRUE(PublicFunction::saveConfig("fresh", "session"));
    relaunch();
    EXPECT_EQ(tavrixConfig::userSession(), "fresh");
}

TEST_F(Settings, addressesAndCookiesAreBuiltFromTheRecords) {
    tavrixConfig::setServerBaseAddress("http://127.0.0.1:8080/pelvo/");
    EXPECT_EQ(tavrixConfig::NSAPIURL("Login").toString(), "http://127.0.0.1:8080/pelvo/Login.do");
    // An empty address record is tolerated.
    const QVariantMap c = tavrixConfig::setCookieWithSessionID("abc");
    EXPECT_EQ(c.value("Name").toString() + '=' + c.value("Value").toString(), "JSESSIONID=abc");
    EXPECT_EQ(c.value("Version").toString(), "0");
    EXPECT_TRUE(c.value("Domain").toString().isEmpty());
    EXPECT_FALSE(tavrixConfig::setCookie().value("Value").toString().isEmpty());
}

} // namespace

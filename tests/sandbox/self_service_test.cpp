#include "SandboxTest.h"

#include <QJsonArray>

namespace {

class SelfServiceTest : public SandboxTest {
protected:
    QJsonObject as(const QString& number, const QString& password, const QString& interfaceName,
                   HttpProbe::Fields fields = {}) {
        const QString session = login(number, password);
        EXPECT_FALSE(session.isEmpty()) << number.toStdString();
        fields.prepend({"num", number});
        fields.prepend({"session", session});
        return call(interfaceName, fields);
    }
    QJsonObject asFirst(const QString& interfaceName, const HttpProbe::Fields& fields = {}) {
        return as("13800000001", "123456", interfaceName, fields);
    }
};

TEST_F(SelfServiceTest, PersonalInfoIsEachSubscribersOwn) {
    const struct {
        const char* number;
        const char* password;
        const char* packagename;
        const char* curflow;
    } cases[] = {
        {"13800000001", "123456", "4G飞享套餐58元", "4G流量包1GB"},
        {"13800000002", "234567", "动感地带校园套餐28元", "校园流量包500MB"},
        {"13800000004", "456789", "神州畅听卡18元", ""},
    };
    for (const auto& c : cases) {
        const QJsonObject reply = as(c.number, c.password, "PersonalInfo");
        EXPECT_EQ(reply.value("result").toInteger(-1), 0) << c.number;
        EXPECT_EQ(reply.value("packagename").toString(), QString::fromUtf8(c.packagename));
        EXPECT_TRUE(reply.value("curflow").isString()) << c.number;
        EXPECT_EQ(reply.value("curflow").toString(), QString::fromUtf8(c.curflow));
    }
}

TEST_F(SelfServiceTest, EveryInterfaceChecksTheSession) {
    for (const char* name : {"PersonalInfo"}) {
        const QJsonObject reply =
            call(name, {{"session", "not-a-session"}, {"num", "13800000001"}});
        EXPECT_EQ(reply.value("result").toInteger(-1), 9999) << name;
    }
}

} // namespace

#include "SandboxTest.h"

#include "sandbox/Backend.h"
#include "sandbox/SandboxServer.h"
#include "sandbox/VersionCheckInterface.h"

#include <QImage>
#include <QJsonArray>
#include <QTemporaryDir>

namespace {

using SelfServiceTest = SandboxTest;

TEST_F(SelfServiceTest, PersonalInfoIsEachSubscribersOwn) {
    const struct {
        const char *number, *packagename, *curflow;
    } cases[] = {
        {"13800000001", "4G飞享套餐58元", "4G流量包1GB"},
        {"13800000002", "动感地带校园套餐28元", "校园流量包500MB"},
        {"13800000004", "神州畅听卡18元", ""},
    };
    for (const auto& c : cases) {
        const QJsonObject reply = as(c.number, "PersonalInfo");
        EXPECT_EQ(resultOf(reply), 0) << c.number;
        EXPECT_EQ(reply.value("packagename").toString(), QString::fromUtf8(c.packagename));
        EXPECT_TRUE(reply.value("curflow").isString()) << c.number;
        EXPECT_EQ(reply.value("curflow").toString(), QString::fromUtf8(c.curflow));
    }
}

QStringList marketIds(const QJsonArray& list) {
    QStringList out;
    for (const QJsonValue& v : list)
        out << v.toObject().value("marketid").toString();
    return out;
}

TEST_F(SelfServiceTest, SearchGivesTheSubscribersRecommendationsAndThePopularOffers) {
    const QJsonObject first = ask("Search", {{"channel", "2"}});
    EXPECT_EQ(resultOf(first), 0);
    EXPECT_EQ(marketIds(first.value("likelist").toArray()),
              (QStringList{"2010020140312004", "2010020140101001"}));
    const QStringList hot = marketIds(first.value("hotlist").toArray());
    EXPECT_EQ(hot, (QStringList{"8010020140611005", "8010020140611001", "2010020140312002",
                                "2010020140522001"}));
    const QJsonObject family = first.value("hotlist").toArray().at(3).toObject();
    EXPECT_EQ(family.value("configflag").toInteger(), 2);
    for (const char* key : {"marketname", "shortdesc", "subscribers", "busiicon", "fee"})
        EXPECT_TRUE(family.value(key).isString()) << key;
    // Every row's icon is a picture this sandbox serves.
    for (const char* list : {"likelist", "hotlist"})
        for (const QJsonValue& offer : first.value(list).toArray()) {
            const QString icon = offer.toObject().value("busiicon").toString();
            EXPECT_FALSE(QImage::fromData(http.get(QUrl(icon)).body, "PNG").isNull())
                << icon.toStdString();
        }

    const QJsonObject none = as("13800000004", "Search", {{"channel", "2"}});
    EXPECT_TRUE(none.value("likelist").toArray().isEmpty());
    EXPECT_EQ(marketIds(none.value("hotlist").toArray()), hot);
}

TEST_F(SelfServiceTest, LoginSmsIsReadAndChangedPerSubscriber) {
    const struct {
        const char *number, *action, *notify;
        const char* answer; // "notify" of the reply; nullptr when refused
    } steps[] = {
        {"13800000001", "0", "", "1"},     {"13800000002", "0", "", "0"}, // never set: off
        {"13800000001", "1", "0", "0"},    {"13800000001", "0", "", "0"},
        {"13800000002", "0", "", "0"},     {"13800000002", "1", "1", "1"},
        {"13800000002", "0", "", "1"},     {"13800000002", "1", "2", nullptr},
        {"13800000002", "1", "", nullptr}, {"13800000002", "7", "", nullptr},
        {"13800000002", "0", "", "1"},
    };
    int i = 0;
    for (const auto& s : steps) {
        HttpProbe::Fields fields{{"action", s.action}};
        if (QByteArray(s.action) == "1") fields << QPair<QString, QString>{"notify", s.notify};
        const QJsonObject reply = as(s.number, "LoginSMS", fields);
        EXPECT_EQ(resultOf(reply), s.answer ? 0 : 1) << "step " << i;
        EXPECT_EQ(reply.value("notify").toString(), s.answer ? s.answer : "") << "step " << i;
        ++i;
    }
}

TEST_F(SelfServiceTest, FeedbackIsStoredUpToItsLengthLimit) {
    auto send = [&](const QString& content) {
        return ask("FeedBack", {{"content", content},
                                {"type", "产品建议"},
                                {"star", ""},
                                {"channelid", "ios"},
                                {"versionid", "1.0"},
                                {"imei", "device"}});
    };
    const QString longest(500, QChar(0x597D));
    const struct {
        QString content;
        qint64 result;
    } cases[] = {
        {"很好用 & 100% 满意+1", 0}, {longest, 0}, {longest + "a", 1}, {"", 1}, {"   ", 1},
    };
    for (const auto& c : cases) {
        const QJsonObject reply = send(c.content);
        EXPECT_EQ(resultOf(reply), c.result) << c.content.size();
        EXPECT_TRUE(c.result == 0 || !reply.value("msg").toString().isEmpty());
    }
    const QList<QVariantMap> rows = server.server().backend().database().query(
        "SELECT number, type, content, channelid FROM feedback ORDER BY id");
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].value("content").toString(), "很好用 & 100% 满意+1");
    EXPECT_EQ(rows[0].value("type").toString(), "产品建议");
    EXPECT_EQ(rows[0].value("number").toString(), "13800000001");
    EXPECT_EQ(rows[1].value("content").toString(), longest);
}

TEST_F(SelfServiceTest, VersionCheckAnswersTheConfiguredRelease) {
    auto check = [&](const char* appversion) {
        return ask("VersionCheck", {{"type", "2"}, {"appversion", appversion}});
    };
    EXPECT_EQ(check("2015020601").value("version").toInteger(0), -1);

    const HttpProbe::Result set =
        http.post(controlUrl("release"), HttpProbe::form({{"version", "2015030101"},
                                                          {"content", "修复若干问题"},
                                                          {"url", "http://127.0.0.1/app.apk"}}));
    EXPECT_EQ(set.status, 200);
    QJsonObject reply = check("2015020601");
    EXPECT_EQ(reply.value("version").toInteger(), 2015030101);
    EXPECT_EQ(reply.value("content").toString(), "修复若干问题");
    EXPECT_EQ(reply.value("url").toString(), "http://127.0.0.1/app.apk");
    EXPECT_EQ(check("2015030101").value("version").toInteger(0), -1); // already that one
    EXPECT_EQ(check("not-a-number").value("result").toInteger(0), 1);

    EXPECT_EQ(http.post(controlUrl("release"), HttpProbe::form({{"version", "x"}})).status, 400);
    EXPECT_EQ(http.get(controlUrl("release")).status, 405);
    http.post(controlUrl("release"), HttpProbe::form({{"version", "-1"}}));
    EXPECT_EQ(check("2015020601").value("version").toInteger(0), -1);
}

TEST(SelfServiceStore, TheLoginSmsSettingSurvivesARestartAndAReseed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sandbox.sqlite");
    {
        sandbox::Backend backend;
        ASSERT_TRUE(backend.open(path, false, nullptr));
        ASSERT_TRUE(backend.database().exec(
            "UPDATE login_sms SET notify = '0' WHERE number = '13800000001'"));
        ASSERT_TRUE(sandbox::VersionCheckInterface::setRelease(backend, "2", 7, "新", "http://x"));
    }
    sandbox::Backend reopened;
    ASSERT_TRUE(reopened.open(path, true, nullptr));
    EXPECT_EQ(reopened.database()
                  .scalar("SELECT notify FROM login_sms WHERE number = '13800000001'")
                  .toString(),
              "0");
    EXPECT_EQ(reopened.database().scalar("SELECT version FROM app_release").toInt(), 7);
}

} // namespace

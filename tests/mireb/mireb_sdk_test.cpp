#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QUrl>
#include <QUrlQuery>
#include <gtest/gtest.h>

#include "mireb/MRBaseRequest.h"
#include "mireb/MRBaseResponse.h"
#include "mireb/MRMessageObject.h"
#include "mireb/MirebSDK.h"
#include "mireb/MirebSDKDelegate.h"
#include "platform/foundation/Pasteboard.h"
#include "platform/foundation/UrlOpener.h"

namespace {

constexpr const char* kAppKey = "3841907256";

struct Recorder : MirebSDKDelegate {
    int requests = 0;
    int responses = 0;
    QString responseClass;
    int statusCode = 12345;
    QString accessToken = "untouched";
    QString userID = "untouched";
    bool hadAuth = false;
    void didReceiveMirebRequest(const MRBaseRequest&) override { ++requests; }
    void didReceiveMirebResponse(const MRBaseResponse& response) override {
        ++responses;
        statusCode = response.statusCode();
        if (auto* share = dynamic_cast<const MRSendMessageToMirebResponse*>(&response)) {
            responseClass = "MRSendMessageToMirebResponse";
            hadAuth = share->authResponse() != nullptr;
            if (hadAuth) {
                accessToken = share->authResponse()->accessToken();
                userID = share->authResponse()->userID();
            }
        } else if (dynamic_cast<const MRAuthorizeResponse*>(&response)) {
            responseClass = "MRAuthorizeResponse";
        }
    }
};

class MirebTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        MirebSDK::resetForTesting();
        ns::UrlOpener::setHandler([this](const QUrl& url) {
            opened.append(url);
            return appTakesUrls;
        });
    }
    void TearDown() override {
        ns::UrlOpener::setHandler({});
        MirebSDK::resetForTesting();
    }
    static QUrl replyUrl(const QString& id, const QString& host = "response") {
        return QUrl(QString("mr3841907256://%1?id=%2&sdkversion=2.5").arg(host, id));
    }
    static std::shared_ptr<MRSendMessageToMirebRequest> shareRequest() {
        auto message = MRMessageObject::message();
        message->setText("分享的内容");
        auto image = MRImageObject::object();
        image->setImageData("PNGDATA");
        message->setImageObject(image);
        auto auth = MRAuthorizeRequest::request();
        auth->setRedirectURI("http://127.0.0.1/redirect");
        auth->setScope("all");
        return MRSendMessageToMirebRequest::requestWithMessage(message, auth, "tok");
    }

    QTemporaryDir runtime;
    QList<QUrl> opened;
    bool appTakesUrls = true;
};

TEST_F(MirebTest, ShareRequestIsStampedPutOnItsPasteboardAndHandedOver) {
    EXPECT_FALSE(MirebSDK::registerApp(QString()));
    EXPECT_TRUE(MirebSDK::registerApp(kAppKey));
    EXPECT_TRUE(ns::Pasteboard::read(MirebSDK::kRegisteredAppsPasteboard).contains(kAppKey));
    auto request = shareRequest();
    EXPECT_TRUE(request->shouldShowComposerIfCannotShareInMRApp());
    request->setUserInfo({{"from", "web"}});
    ASSERT_TRUE(MirebSDK::sendRequest(*request));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].scheme(), "mirebsdk");
    EXPECT_EQ(opened[0].host(), "request");
    const QString id = QUrlQuery(opened[0]).queryItemValue("id");
    EXPECT_EQ(QUrlQuery(opened[0]).queryItemValue("sdkversion"), MirebSDK::kSDKVersion);

    const QVariantMap record = ns::Pasteboard::read(id);
    EXPECT_EQ(record.value("__class").toString(), "MRSendMessageToMirebRequest");
    EXPECT_EQ(record.value("app").toMap().value("appKey").toString(), kAppKey);
    EXPECT_EQ(record.value("message").toMap().value("text").toString(), "分享的内容");
    EXPECT_EQ(record.value("authRequest").toMap().value("scope").toString(), "all");
    EXPECT_EQ(record.value("userInfo").toMap().value("from").toString(), "web");
    EXPECT_EQ(record.value("accessToken").toString(), "tok");
}

TEST_F(MirebTest, ARequestNobodyTakesLeavesNothingBehind) {
    auto request = shareRequest();
    EXPECT_FALSE(MirebSDK::sendRequest(*request)); // not registered
    EXPECT_TRUE(opened.isEmpty());
    MirebSDK::registerApp(kAppKey);
    appTakesUrls = false;
    EXPECT_FALSE(MirebSDK::sendRequest(*request));
    const QString id = QUrlQuery(opened.value(0)).queryItemValue("id");
    EXPECT_TRUE(ns::Pasteboard::read(id).isEmpty());
}

TEST_F(MirebTest, RepliesAreReadFromTheirPasteboardOnce) {
    const QString share = "MRSendMessageToMirebResponse", authorize = "MRAuthorizeResponse";
    const QVariantMap auth{{"__class", authorize}, {"accessToken", "tok"}, {"userID", "u1"}};
    const QVariantMap withAuth{{"__class", share}, {"statusCode", 0}, {"authResponse", auth}};
    // A share's authorization may lack any part.
    const QVariantMap withPartialAuth{
        {"__class", share}, {"statusCode", 0}, {"authResponse", QVariantMap{{"userID", "u2"}}}};
    const struct {
        const char* name;
        QVariantMap record;
        QString responseClass; // empty: not handled
        int statusCode;
        QString accessToken;
        QString userID;
    } cases[] = {
        {"share ok", withAuth, share, 0, "tok", "u1"},
        {"share cancelled", {{"__class", share}, {"statusCode", -1}}, share, -1, {}, {}},
        {"status as text", {{"__class", share}, {"statusCode", "-8"}}, share, -8, {}, {}},
        // No status is a failed send, never a success.
        {"no status", {{"__class", share}}, share, -2, {}, {}},
        {"partial auth", withPartialAuth, share, 0, QString(), "u2"},
        {"auth", {{"__class", authorize}, {"statusCode", 0}}, authorize, 0, {}, {}},
        {"unknown class", {{"__class", "Whatever"}, {"statusCode", 0}}, "", 12345, {}, {}},
        {"no record", {}, "", 12345, {}, {}},
    };
    MirebSDK::registerApp(kAppKey);
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString id = QString("transfer-%1").arg(++n);
        if (!c.record.isEmpty()) ns::Pasteboard::write(id, c.record);
        Recorder recorder;
        const bool handled = !c.responseClass.isEmpty();
        EXPECT_EQ(MirebSDK::handleOpenURL(replyUrl(id), &recorder), handled);
        EXPECT_EQ(recorder.responseClass, c.responseClass);
        EXPECT_EQ(recorder.statusCode, c.statusCode);
        const bool hasAuth = c.record.contains("authResponse");
        EXPECT_EQ(recorder.hadAuth, hasAuth);
        if (hasAuth) {
            EXPECT_EQ(recorder.accessToken, c.accessToken);
            EXPECT_EQ(recorder.accessToken.isNull(), c.accessToken.isNull());
            EXPECT_EQ(recorder.userID, c.userID);
        }
        // A replayed URL finds nothing the second time.
        EXPECT_FALSE(MirebSDK::handleOpenURL(replyUrl(id), &recorder));
        EXPECT_EQ(recorder.responses, handled ? 1 : 0);
    }
}

TEST_F(MirebTest, OnlyThisApplicationsCallbacksAreTaken) {
    MirebSDK::registerApp(kAppKey);
    ns::Pasteboard::write("r", {{"__class", "MRBaseRequest"}, {"requestID", "q"}});
    ns::Pasteboard::write("s", {{"__class", "MRSendMessageToMirebResponse"}, {"statusCode", 0}});
    Recorder recorder;
    EXPECT_FALSE(MirebSDK::handleOpenURL(replyUrl("s"), nullptr));
    EXPECT_FALSE(MirebSDK::handleOpenURL(QUrl("mr1111111111://response?id=s"), &recorder));
    EXPECT_FALSE(MirebSDK::handleOpenURL(replyUrl("s", "elsewhere"), &recorder));
    EXPECT_FALSE(MirebSDK::handleOpenURL(replyUrl("../s"), &recorder));
    EXPECT_FALSE(MirebSDK::handleOpenURL(QUrl("kelvamor://Main&X"), &recorder));
    EXPECT_TRUE(MirebSDK::handleOpenURL(replyUrl("r", "request"), &recorder));
    EXPECT_EQ(recorder.requests, 1);
    EXPECT_EQ(recorder.responses, 0);
}

} // namespace

namespace {
QStringList g_messages;
void keepMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
    g_messages << text;
}
} // namespace

// Debug mode (on at every start) puts the library's lines on the console by itself; a logging
// rule may still silence them.
TEST_F(MirebTest, DebugModeSwitchesTheConsoleLinesOn) {
    const struct {
        bool debug;
        const char* rules;
        int lines;
    } cases[] = {{true, "", 1}, {false, "", 0}, {true, "tavrix.mireb.debug=false", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.debug << " " << c.rules);
        MirebSDK::enableDebugMode(c.debug);
        QLoggingCategory::setFilterRules(c.rules);
        g_messages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
        MirebSDK::registerApp(kAppKey);
        qInstallMessageHandler(previous);
        EXPECT_EQ(g_messages.filter("registered").size(), c.lines);
    }
    QLoggingCategory::setFilterRules("");
}

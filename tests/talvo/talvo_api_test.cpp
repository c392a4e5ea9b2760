#include <QImage>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>
#include <typeinfo>

#include "platform/foundation/Pasteboard.h"
#include "platform/foundation/UrlOpener.h"
#include "talvo/TVApi.h"
#include "talvo/TVApiDelegate.h"
#include "talvo/TVApiObject.h"

namespace {

constexpr const char* kAppId = "wx5c1e0d93b7a4f268";

struct Recorder : TVApiDelegate {
    QString kind; // class of the last callback
    int errCode = 12345;
    QString code;
    void onReq(const BaseReq& req) override {
        if (dynamic_cast<const GetMessageFromTVReq*>(&req))
            kind = "GetMessageFromTVReq";
        else if (dynamic_cast<const ShowMessageFromTVReq*>(&req))
            kind = "ShowMessageFromTVReq";
        else
            kind = "BaseReq";
    }
    void onResp(const BaseResp& resp) override {
        errCode = resp.errCode();
        if (auto* auth = dynamic_cast<const SendAuthResp*>(&resp)) {
            kind = "SendAuthResp";
            code = auth->code();
        } else if (dynamic_cast<const SendMessageToTVResp*>(&resp)) {
            kind = "SendMessageToTVResp";
        } else {
            kind = "BaseResp";
        }
    }
};

class TalvoTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        TVApi::resetForTesting();
        ns::UrlOpener::setHandler([this](const QUrl& url) {
            opened.append(url);
            return appTakesUrls;
        });
    }
    void TearDown() override {
        ns::UrlOpener::setHandler({});
        ns::UrlOpener::setCanOpenHandler({});
        TVApi::resetForTesting();
    }
    static SendMessageToTVReq webpageRequest() {
        auto page = TVWebpageObject::object();
        page->setWebpageUrl("http://127.0.0.1:8080/pelvo/share.html");
        auto message = TVMediaMessage::message();
        message->setTitle("标题");
        message->setDescription("描述");
        message->setMediaObject(page);
        SendMessageToTVReq req;
        req.setMessage(message);
        req.setScene(SendMessageToTVReq::Timeline);
        return req;
    }

    QTemporaryDir runtime;
    QList<QUrl> opened;
    bool appTakesUrls = true;
};

TEST_F(TalvoTest, RepliesReachTheDelegateAsTheirClasses) {
    struct Case {
        const char* url;
        bool handled;
        const char* kind;
        int errCode;
    };
    const Case cases[] = {
        {"wx5c1e0d93b7a4f268://sendresp?errCode=0", true, "SendMessageToTVResp", 0},
        {"wx5c1e0d93b7a4f268://sendresp?errCode=-2&errStr=x", true, "SendMessageToTVResp", -2},
        {"WX5C1E0D93B7A4F268://sendresp?errCode=-3", true, "SendMessageToTVResp", -3},
        // A reply that carries no code is a failure, never "sent".
        {"wx5c1e0d93b7a4f268://sendresp", true, "SendMessageToTVResp", -1},
        {"wx5c1e0d93b7a4f268://authresp?errCode=0&code=abc", true, "SendAuthResp", 0},
        {"wx5c1e0d93b7a4f268://getmsg", true, "GetMessageFromTVReq", 12345},
        {"wx5c1e0d93b7a4f268://showmsg", true, "ShowMessageFromTVReq", 12345},
        {"wx5c1e0d93b7a4f268://somethingelse?errCode=0", false, "", 12345},
        {"kelvamor://QueryViewController", false, "", 12345},
        {"kelvamor://sendresp?errCode=0", false, "", 12345},
        {"mr3841907256://response?id=1", false, "", 12345},
        {"not a url at all", false, "", 12345},
    };
    TVApi::registerApp(kAppId);
    for (const Case& c : cases) {
        Recorder recorder;
        EXPECT_EQ(TVApi::handleOpenURL(QUrl(c.url), &recorder), c.handled) << c.url;
        EXPECT_EQ(recorder.kind, c.kind) << c.url;
        EXPECT_EQ(recorder.errCode, c.errCode) << c.url;
    }
}

TEST_F(TalvoTest, NothingIsHandledOrSentWithoutRegistrationDelegateOrContent) {
    const QUrl reply("wx5c1e0d93b7a4f268://sendresp?errCode=0");
    Recorder recorder;
    EXPECT_FALSE(TVApi::handleOpenURL(reply, &recorder)); // not registered yet
    EXPECT_FALSE(TVApi::sendReq(webpageRequest()));
    EXPECT_FALSE(TVApi::registerApp(QString()));
    EXPECT_TRUE(TVApi::registerApp(kAppId));
    EXPECT_TRUE(ns::Pasteboard::read(TVApi::kRegisterPasteboard).contains(kAppId));
    EXPECT_FALSE(TVApi::handleOpenURL(reply, nullptr));
    EXPECT_TRUE(recorder.kind.isEmpty());
    EXPECT_FALSE(TVApi::sendReq(SendMessageToTVReq())); // a media request with no message
    EXPECT_FALSE(TVApi::sendReq(GetMessageFromTVReq()));
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(TalvoTest, SendingPutsTheMessageOnThePasteboardAndOpensTalvo) {
    TVApi::registerApp(kAppId);
    EXPECT_TRUE(TVApi::sendReq(webpageRequest()));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toString(), "talvo://app/wx5c1e0d93b7a4f268/sendreq/");
    const QVariantMap record = ns::Pasteboard::read(kAppId);
    EXPECT_EQ(record.value("title").toString(), "标题");
    EXPECT_EQ(record.value("description").toString(), "描述");
    EXPECT_EQ(record.value("scene").toInt(), 1);
    EXPECT_EQ(record.value("webpageUrl").toString(), "http://127.0.0.1:8080/pelvo/share.html");

    appTakesUrls = false; // no Talvo app on this desktop
    EXPECT_FALSE(TVApi::sendReq(webpageRequest()));
}

TEST(TalvoMessage, ThumbIsJpegAndANullImageIsIgnored) {
    auto message = TVMediaMessage::message();
    message->setThumbImage(QImage());
    EXPECT_TRUE(message->thumbData().isEmpty());
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    message->setThumbImage(image);
    ASSERT_GE(message->thumbData().size(), 2);
    EXPECT_EQ(message->thumbData().left(2), QByteArray("\xFF\xD8"));
    const QByteArray kept = message->thumbData();
    message->setThumbImage(QImage());
    EXPECT_EQ(message->thumbData(), kept);
}

TEST(TalvoPasteboard, NamesThatCouldLeaveTheDirectoryAreRefused) {
    for (const char* name : {"", "..", "../x", "a/b", ".hidden", "x y"}) {
        EXPECT_FALSE(ns::Pasteboard::isValidName(name)) << name;
        EXPECT_FALSE(ns::Pasteboard::write(name, {{"k", 1}})) << name;
    }
    EXPECT_TRUE(ns::Pasteboard::isValidName("talvo_register"));
}

} // namespace

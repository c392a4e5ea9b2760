#include "tests/display/DisplaySettle.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QUrlQuery>

// The settings and feedback screens, reached by a link handed to the running client, used
// with a real pointer and keyboard.
namespace {

// Screen points, below the 64-point bars.
constexpr QPointF kSwitch(279, 64 + 35);
constexpr QPointF kFeedbackText(160, 64 + 165);
constexpr QPointF kCategoryButton(160, 64 + 62);
constexpr QPointF kLastCategory(160, 486); // "缺陷反馈", just above the sheet's cancel
constexpr QPointF kSubmit(160, 64 + 278);
const QColor kSwitchOn(76, 217, 100);

class SettingsDisplayTest : public DisplayTest {
protected:
    // A later launch with the link, as the desktop does for a clicked "kelvamor:" link.
    bool openLink(const QString& link) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", session.display());
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("TAVRIX_HOME", session.home());
        env.insert("TAVRIX_SERVER", session.baseAddress());
        QProcess later;
        later.setProcessEnvironment(env);
        later.start(qEnvironmentVariable("TAVRIX_CLIENT_BIN"), {link});
        return later.waitForFinished(20000) && later.exitCode() == 0;
    }
    // The sandbox's fault switch for one interface.
    void setFault(const QString& interfaceName, const QString& kind, const QString& value) {
        QUrlQuery form;
        form.addQueryItem("interface", interfaceName);
        form.addQueryItem("kind", kind);
        form.addQueryItem("value", value);
        QNetworkAccessManager manager;
        QNetworkRequest request(
            QUrl(QString(session.baseAddress()).replace("/pelvo/", "/sandbox/fault")));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        QNetworkReply* reply = manager.post(request, form.toString(QUrl::FullyEncoded).toUtf8());
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        if (!reply->isFinished()) loop.exec();
        EXPECT_EQ(reply->error(), QNetworkReply::NoError);
        reply->deleteLater();
    }
    bool settled() { return displaySettled(session); }
    bool switchLooksOn() {
        return DisplaySession::near(session.pixel(kSwitch - QPointF(16, 0)), kSwitchOn, 30);
    }
    QStringList sentChoices() {
        QStringList out;
        for (const QVariantMap& r : session.requests("LoginSMS"))
            if (r.value("action") == "1") out << r.value("notify").toString();
        return out;
    }
};

TEST_F(SettingsDisplayTest, TheNoticeSwitchIsFlippedByClickAndComesBackWhenRefused) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForRequest("StarLevel"));
    ASSERT_TRUE(openLink("kelvamor://Main&SettingViewController"));
    ASSERT_TRUE(session.waitForRequest("LoginSMS")); // the reading: on for this subscriber
    ASSERT_TRUE(DisplaySession::waitFor([&] { return switchLooksOn(); }));

    session.click(kSwitch);
    ASSERT_TRUE(DisplaySession::waitFor([&] { return !sentChoices().isEmpty(); }));
    EXPECT_EQ(sentChoices().last(), "0");
    EXPECT_TRUE(session.waitForDefault("LoginSMS13800000001", "0"));
    EXPECT_TRUE(DisplaySession::waitFor([&] { return !switchLooksOn(); }));

    // Once the ten-second lock is over, a refused change puts the switch and the stored value
    // back to off.
    setFault("LoginSMS", "result", "5");
    ASSERT_TRUE(DisplaySession::waitFor(
        [&] {
            session.click(kSwitch);
            return sentChoices().contains("1");
        },
        14000, 700));
    EXPECT_TRUE(session.waitForDefault("LoginSMS13800000001", "0"));
    EXPECT_TRUE(DisplaySession::waitFor([&] { return !switchLooksOn(); }));
}

TEST_F(SettingsDisplayTest, FeedbackIsTypedAndSent) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForRequest("StarLevel"));
    ASSERT_TRUE(openLink("kelvamor://Main&FeedbackViewController"));
    // Up once its submit button shows.
    ASSERT_TRUE(session.waitForPixel(QPointF(40, kSubmit.y()), QColor(70, 140, 202), 12));
    ASSERT_TRUE(settled());

    session.click(kFeedbackText);
    session.type("Great app & 100% useful");
    session.click(kCategoryButton);
    ASSERT_TRUE(settled()); // the sheet has slid in
    session.click(kLastCategory);
    ASSERT_TRUE(settled()); // and out
    session.click(kSubmit);
    ASSERT_TRUE(session.waitForRequest("FeedBack"));
    const QVariantMap sent = session.requests("FeedBack").last();
    EXPECT_EQ(sent.value("content"), "Great app & 100% useful");
    EXPECT_EQ(sent.value("type"), "缺陷反馈");
    EXPECT_EQ(sent.value("num"), "13800000001");
}

} // namespace

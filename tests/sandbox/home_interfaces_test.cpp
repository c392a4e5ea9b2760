#include "SandboxTest.h"
#include "sandbox/MainBillInfoInterface.h"
#include "sandbox/PictureStore.h"
#include "sandbox/SandboxServer.h"

#include <QImage>
#include <QJsonArray>
#include <QNetworkRequest>

namespace {

class HomeInterfacesTest : public SandboxTest {
protected:
    QJsonObject onChannel(const QString& name, const QString& channel = "2",
                          const QString& number = SandboxFixture::demoNumber()) {
        return as(number, name, {{"channel", channel}});
    }
    HttpProbe::Result getPicture(const QString& url, const QByteArray& range = {}) {
        QNetworkRequest request{QUrl(url)};
        if (!range.isEmpty()) request.setRawHeader("Range", range);
        QNetworkReply* reply = nam.get(request);
        HttpProbe::Result r = HttpProbe::wait(reply);
        contentRange = reply->rawHeader("Content-Range");
        delete reply;
        return r;
    }
    QNetworkAccessManager nam;
    QByteArray contentRange;
};

TEST(HomeMoney, YuanFromFen) {
    const std::pair<qint64, QString> cases[] = {{5830, "58.30"}, {12000, "120.00"},
                                                {75, "0.75"},    {5, "0.05"},
                                                {0, "0.00"},     {-1250, "-12.50"}};
    for (const auto& [fen, text] : cases)
        EXPECT_EQ(sandbox::MainBillInfoInterface::yuan(fen), text) << fen;
}

TEST_F(HomeInterfacesTest, MainBillInfoShowsTheCreditAndThisMonthsBillTotal) {
    const std::pair<QString, QString> cases[] = {{"13800000001", "58.30"},
                                                 {"13800000002", "120.00"},
                                                 {"13800000003", "0.75"},
                                                 {"13800000004", "300.50"}};
    for (const auto& [number, remain] : cases) {
        const QJsonObject current =
            onChannel("MainBillInfo", "2", number).value("current").toObject();
        EXPECT_EQ(current.value("remain").toString(), remain) << number.toStdString();
        // What the home page calls this month's charges is what the bill adds up to.
        const QJsonObject bill = as(number, "Bill", {{"ym", "0"}}).value("qry").toObject();
        EXPECT_EQ(current.value("telephone_fare").toString(), bill.value("total").toString())
            << number.toStdString();
    }
    server.server().backend().database().exec(
        "UPDATE accounts SET balance_fen = 1 WHERE number = '13800000001'");
    EXPECT_EQ(onChannel("MainBillInfo").value("current").toObject().value("remain").toString(),
              "0.01");
}

TEST_F(HomeInterfacesTest, FaultSwitchAndChannelApply) {
    for (const char* name : {"MainBillInfo", "Advert", "MainInfoConfList"}) {
        server.setFault(name, sandbox::Fault::result(7, "busy"));
        EXPECT_EQ(resultOf(onChannel(name)), 7) << name;
        server.clearFaults();
    }
    for (const char* name : {"Advert", "MainInfoConfList"})
        EXPECT_EQ(resultOf(onChannel(name, "9")), 1) << name << " with a wrong channel";
}

TEST_F(HomeInterfacesTest, AdvertsAndTilesNamePicturesTheSandboxServes) {
    const QJsonArray groups = onChannel("Advert").value("advert").toArray();
    ASSERT_EQ(groups.size(), 2);
    EXPECT_EQ(groups[0].toObject().value("position").toInteger(), 1);
    const QJsonArray items = groups[0].toObject().value("list").toArray();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[2].toObject().value("forNative").toString(), "1");
    EXPECT_EQ(items[2].toObject().value("viewName").toString(), "FlowMainController");

    const QJsonArray tiles = onChannel("MainInfoConfList").value("list").toArray();
    ASSERT_EQ(tiles.size(), 3);
    EXPECT_TRUE(tiles[1].toObject().value("type").isDouble());

    QStringList urls;
    for (const auto& item : items)
        urls << item.toObject().value("image").toString();
    for (const auto& tile : tiles)
        urls << tile.toObject().value("photo").toString();
    for (const QString& url : urls) {
        const HttpProbe::Result r = getPicture(url);
        EXPECT_EQ(r.status, 200) << url.toStdString();
        EXPECT_FALSE(QImage::fromData(r.body, "PNG").isNull()) << url.toStdString();
    }
}

TEST_F(HomeInterfacesTest, PicturesAnswerRangesAndUnknownNames) {
    const QJsonValue advert = onChannel("Advert").value("advert")[0];
    const QString url = advert.toObject().value("list")[0].toObject().value("image").toString();
    const QByteArray whole = getPicture(url).body;
    ASSERT_GT(whole.size(), 100);
    const qint64 n = whole.size();

    struct Case {
        QByteArray range;
        int status;
        QByteArray body;
        QByteArray contentRange;
    };
    const Case cases[] = {
        {"bytes=10-", 206, whole.mid(10),
         "bytes 10-" + QByteArray::number(n - 1) + "/" + QByteArray::number(n)},
        {"bytes=0-9", 206, whole.left(10), "bytes 0-9/" + QByteArray::number(n)},
        {"bytes=" + QByteArray::number(n) + "-", 416, {}, "bytes */" + QByteArray::number(n)},
        {"lines=1-2", 200, whole, {}},
    };
    for (const Case& c : cases) {
        const HttpProbe::Result r = getPicture(url, c.range);
        EXPECT_EQ(r.status, c.status) << c.range.constData();
        EXPECT_EQ(r.body, c.body) << c.range.constData();
        EXPECT_EQ(contentRange, c.contentRange) << c.range.constData();
    }
    const QString unknown = url.section('/', 0, -2) + "/nothing.png";
    EXPECT_EQ(getPicture(unknown).status, 404);
    EXPECT_EQ(getPicture(url.section('/', 0, -2) + "/").status, 404);
}

TEST_F(HomeInterfacesTest, GeneratedPicturesAreRealUpToTheirBoundAndRefusedPastIt) {
    const QString base = server.baseAddress().replace("/pelvo/", "/pictures/generated/");
    const int most = sandbox::PictureStore::kMaxGeneratedSide;
    const struct {
        int width, height;
        int status;
    } cases[] = {
        // Rows whose runs of zeros end in one or two bytes, in a short match, or in whole ones.
        {1, 1, 200},       {1, 3, 200},        {2, 2, 200},        {87, 2, 200}, {1280, 400, 200},
        {most, most, 200}, {most + 1, 1, 404}, {1, most + 1, 404}, {0, 10, 404},
    };
    for (const auto& c : cases) {
        const QString name = QStringLiteral("%1x%2.png").arg(c.width).arg(c.height);
        SCOPED_TRACE(name.toStdString());
        const HttpProbe::Result r = getPicture(base + name);
        EXPECT_EQ(r.status, c.status);
        if (c.status != 200) continue;
        // However large the picture, its file stays small: 13 bits or so per 258 bytes.
        EXPECT_LE(r.body.size(), 200 + qint64(c.width) * c.height / 40);
        QImage expected(c.width, c.height, QImage::Format_RGB32);
        expected.fill(QColor(40, 120, 200));
        EXPECT_EQ(QImage::fromData(r.body, "PNG").convertToFormat(QImage::Format_RGB32), expected);
    }
}

} // namespace

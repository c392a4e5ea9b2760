#include "tests/display/DisplaySession.h"

#include "sandbox/Database.h"

#include <QCoreApplication>
#include <QDir>

namespace {

constexpr double kBar = 64;
const QPointF kBackButton(20, 42);
const QPointF kDataButton(10 + 145 / 2.0, kBar + 254 + 19); // "流量查询" under the header
const QPointF kAddPack(160, kBar + 221);
// The choice dialog (278 x 260, centred).
const QPointF kChoice((320 - 278) / 2.0, (568 - 260) / 2.0);

// The sandbox recommends the 50M pack, and the 150M one beside it when asked to.
bool offerSecondPack(DisplaySession& session, bool on) {
    sandbox::Database db;
    return db.open(session.sandboxDatabase()) &&
           db.exec("UPDATE flow_products SET recommended = ? WHERE product_id = 8800002000150",
                   {on ? 1 : 0}) &&
           db.changes() == 1;
}

// The choice as shown, kept in <build>/display for a person to look at. Along the fees' rows,
// each radio button draws (blue, grey or white) only left of the first column its fee's yellow
// text shows in, however faint, and that column is where the fee label (30 points on) starts:
// nothing covers the fee's first digit.
void expectFeesUncovered(const QImage& screen, const QString& name, const QList<int>& radioXs) {
    const QString dir = QCoreApplication::applicationDirPath() + "/../display";
    QDir().mkpath(dir);
    screen.save(dir + "/" + name + ".png");
    const QColor background = screen.pixelColor((kChoice + QPointF(4, 186)).toPoint());
    for (const int radioX : radioXs) {
        const int feeX = radioX + 30;
        int radioRight = -1, feeLeft = -1;
        for (int x = radioX; x < std::min(feeX + 60, 278); ++x)
            for (int y = 176; y < 196; ++y) {
                const QColor c = screen.pixelColor((kChoice + QPointF(x, y)).toPoint());
                if (DisplaySession::near(c, background, 4)) continue;
                if (c.red() <= c.blue() + 2)
                    radioRight = std::max(radioRight, x);
                else if (feeLeft < 0)
                    feeLeft = x;
            }
        SCOPED_TRACE(radioX);
        EXPECT_GT(radioRight, radioX + 14);
        EXPECT_LT(radioRight, feeLeft);
        EXPECT_GE(feeLeft, feeX);
        EXPECT_LE(feeLeft, feeX + 2);
    }
}

TEST_F(DisplayTest, ThePagesDataButtonLeadsToAPackOrderedThroughBothDialogs) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(offerSecondPack(session, false));
    ASSERT_TRUE(session.waitForRequest("Balance"));
    ASSERT_TRUE(session.waitForStillScreen(300, QRect(0, 0, 320, 200)));
    EXPECT_TRUE(session.requests("FlowProduct").isEmpty());
    session.click(kDataButton);
    ASSERT_TRUE(session.waitForRequest("FlowProduct", 2));
    EXPECT_EQ(session.requests("FlowProduct").first().value("position").toString(), "0");
    ASSERT_TRUE(session.waitForRequest("Balance", 2));

    // The add-pack button (green) shows once packs are offered; it opens the choice.
    const auto openChoice = [&] {
        EXPECT_TRUE(session.waitForPixel(kAddPack + QPointF(-70, 0), QColor(45, 152, 88), 24));
        EXPECT_TRUE(session.waitForStillScreen());
        session.click(kAddPack);
        EXPECT_TRUE(session.waitForPixel(kChoice + QPointF(139, 5), Qt::white, 24));
        EXPECT_TRUE(session.waitForStillScreen());
        return session.screen();
    };
    // One pack: in the middle.
    expectFeesUncovered(openChoice(), "flow-pack-choice-one", {113});

    // Closed and left; the next visit reads the offer again: two packs side by side.
    ASSERT_TRUE(session.clickAndSettle(kChoice + QPointF(238 + 18, 4 + 18)));
    ASSERT_TRUE(session.clickAndSettle(kBackButton, QRect(0, 0, 320, 200)));
    ASSERT_TRUE(offerSecondPack(session, true));
    const int balances = int(session.requests("Balance").size());
    session.click(kDataButton);
    ASSERT_TRUE(session.waitForRequest("FlowProduct", 4));
    ASSERT_TRUE(session.waitForRequest("Balance", balances + 1));
    expectFeesUncovered(openChoice(), "flow-pack-choice-two", {19, 192});

    // The second pack's picture, then "立即订购".
    session.click(kChoice + QPointF(189 + 36, 94 + 38));
    session.click(kChoice + QPointF(20 + 55, 214 + 17));
    // The confirmation (278 x 290): "确认订购".
    const QPointF confirm((320 - 278) / 2.0, (568 - 290) / 2.0);
    ASSERT_TRUE(
        session.waitForPixel(confirm + QPointF(148 + 10, 240 + 17), QColor(70, 140, 202), 24));
    ASSERT_TRUE(session.waitForStillScreen());
    EXPECT_TRUE(session.requests("Order").isEmpty());
    session.click(confirm + QPointF(148 + 55, 240 + 17));
    ASSERT_TRUE(session.waitForRequest("Order"));
    const QVariantMap order = session.requests("Order").first();
    EXPECT_EQ(order.value("target").toString(), "8800002000150");
    EXPECT_EQ(order.value("marketid").toString(), "M2000150");
    EXPECT_EQ(order.value("action").toString(), "1");
    // The meter asks for the new figures.
    EXPECT_TRUE(session.waitForRequest("Balance", balances + 2));
}

} // namespace

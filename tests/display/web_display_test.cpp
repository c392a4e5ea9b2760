#include "tests/display/DisplaySession.h"

#include <QDir>
#include <QFile>

// The web page screen on a real display: the browser engine starts under the desktop's
// display server, the back button leaves the page, and the client still ends cleanly.
namespace {

const QPointF kBackButton(17, 42);

// Pixels that differ, looking at every step-th pixel from top (below the bar by default).
int differingPixels(const QImage& a, const QImage& b, int step = 4, int top = 64) {
    int count = 0;
    for (int y = top; y < qMin(a.height(), b.height()); y += step)
        for (int x = 0; x < qMin(a.width(), b.width()); x += step)
            if (!DisplaySession::near(a.pixelColor(x, y), b.pixelColor(x, y))) ++count;
    return count;
}

TEST_F(DisplayTest, AWebPageOpenedByItsLinkIsLeftWithTheBackButton) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForStillScreen(300, 20000));
    const QImage home = session.screen();
    ASSERT_TRUE(session.stopClient());

    // The same subscriber's start, this time with the page's link.
    ASSERT_TRUE(session.start({"kelvamor://Main&WebViewController"}));
    ASSERT_TRUE(session.waitForScreen(
        [&](const QImage& now) { return differingPixels(now, home) > 50; }, 20000));
    ASSERT_TRUE(session.waitForStillScreen(300, 20000));
    const QImage page = session.screen();

    session.click(kBackButton);
    EXPECT_TRUE(session.waitForScreen(
        [&](const QImage& now) { return differingPixels(now, page) > 50; }, 10000));
    ASSERT_TRUE(session.waitForStillScreen(300, 10000));
    EXPECT_LT(differingPixels(session.screen(), home), 20);
    EXPECT_TRUE(session.clientRunning());
    EXPECT_TRUE(session.stopClient());
}

} // namespace

namespace {

// From the home page's menu to the data wallet page, by its links on to the page of native
// functions (the demo's address book in place). The home and wallet screens are kept.
bool openTheBridgePage(DisplaySession& session, QImage& home, QImage& wallet) {
    session.rememberSubscriber();
    if (!QDir().mkpath(session.home() + "/Documents") ||
        !QFile::copy(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../sandbox/demo/contacts.vcf"),
                     session.home() + "/Documents/contacts.vcf") ||
        !session.start() || !session.waitForRequest("Balance") ||
        !session.waitForStillScreen(300, 20000))
        return false;
    home = session.screen();
    session.click({27, 42}); // the drawer
    if (!session.waitForStillScreen(300, 20000)) return false;
    session.click({100, 328}); // "流量钱包"
    if (!session.waitForStillScreen(1000, 20000)) return false;
    wallet = session.screen();
    if (differingPixels(wallet, home) <= 50) return false;
    session.click({40, 233}); // "更多业务"
    if (!session.waitForScreen([&](const QImage& now) { return differingPixels(now, wallet) > 10; },
                               20000) ||
        !session.waitForStillScreen(1000, 20000))
        return false;
    session.click({40, 234}); // "页面功能"
    return session.waitForStillScreen(1000, 20000);
}

// A contact picked on the page of native functions, then back through the pages and out.
TEST_F(DisplayTest, APageFromTheHomePagePicksAContactAndIsLeft) {
    QImage home, wallet;
    ASSERT_TRUE(openTheBridgePage(session, home, wallet));
    const QImage functions = session.screen();
    // The buttons of the page: a light grey row across the width.
    ASSERT_TRUE(DisplaySession::near(session.pixel({60, 335}), QColor(239, 239, 239), 24));

    session.click({160, 335}); // "选择联系人": the picker covers the page
    ASSERT_TRUE(session.waitForScreen(
        [&](const QImage& now) { return differingPixels(now, functions) > 200; }, 10000));
    ASSERT_TRUE(session.waitForStillScreen(300, 10000));
    session.click({160, 64 + 75}); // the second person, one number: taken at once
    ASSERT_TRUE(session.waitForStillScreen(500, 10000));
    // Back on the page, whose "选中:" line now holds the picked number and name.
    const QRect picked(60, 122, 250, 22);
    EXPECT_GT(differingPixels(session.screen().copy(picked), functions.copy(picked), 1, 0), 30);

    // Back through the page's history to the wallet page, then the close button.
    session.click(kBackButton);
    session.waitForStillScreen(500, 10000);
    session.click(kBackButton);
    ASSERT_TRUE(session.waitForScreen(
        [&](const QImage& now) { return differingPixels(now, wallet) < 20; }, 10000));
    session.click({300, 42});
    EXPECT_TRUE(session.waitForScreen(
        [&](const QImage& now) { return differingPixels(now, home) < 20; }, 10000));
    EXPECT_TRUE(session.clientRunning());
}

// The page fills what is visible: the wheel brings its end into view and its last button
// (the query tab) takes a click.
TEST_F(DisplayTest, TheEndOfATallPageIsReachedWithTheWheelAndTakesAClick) {
    QImage home, wallet;
    ASSERT_TRUE(openTheBridgePage(session, home, wallet));
    const QImage top = session.screen();
    session.wheel({160, 300}, 20);
    ASSERT_TRUE(session.waitForScreen(
        [&](const QImage& now) { return differingPixels(now, top) > 50; }, 10000));
    ASSERT_TRUE(session.waitForStillScreen(500, 10000));
    session.clearRequests();
    // "去查询", the page's last button, just above the tab bar (y 519) once at the end.
    session.click({160, 488});
    // The query tab opens and asks for the subscriber's star level.
    EXPECT_TRUE(session.waitForRequest("StarLevel"));
}

} // namespace

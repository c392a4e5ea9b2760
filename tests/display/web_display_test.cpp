#include "tests/display/DisplaySession.h"

namespace {

TEST_F(DisplayTest, AWalletPageLeadsToATallPageWhoseEndIsWheeledToAndClicked) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    const std::string window = session.windowId().toStdString();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(session.waitForRequest("StarLevel"));
    ASSERT_TRUE(session.waitForStillScreen(300, QRect(0, 0, 320, 64)));
    ASSERT_TRUE(session.clickAndSettle({27, 42}, QRect(0, 0, 320, 64))); // the drawer
    // A page's picture moves (the first waits for the browser engine to start and draws
    // nothing until then), then the page, drawn by a process of its own, rests a good while.
    // The first page joins the window the client opened: no frame from here on shows the
    // display's black through it.
    QRect black;
    session.watchPictures([&](const QImage& picture) {
        if (black.isEmpty()) black = DisplaySession::blackSquare(picture);
    });
    ASSERT_TRUE(session.clickAndSettle({100, 328}, {}, 1000)); // "流量钱包"
    EXPECT_TRUE(black.isEmpty()) << "black at " << black.x() << "," << black.y();
    EXPECT_EQ(session.windowId().toStdString(), window);
    ASSERT_TRUE(session.clickAndSettle({40, 233}, {}, 1000)); // "更多业务"
    ASSERT_TRUE(session.clickAndSettle({40, 234}, {}, 1000)); // "页面功能"
    // The page of native functions: its buttons are a light grey row across the width.
    ASSERT_TRUE(DisplaySession::near(session.pixel({60, 335}), {239, 239, 239}, 24));
    // No scroll bar stands beside the page (its thumb was grey where the page is white).
    EXPECT_TRUE(DisplaySession::near(session.pixel({312, 150}), {255, 255, 255}, 8));

    // The page fills what is visible: the wheel brings its end into view, and its last button,
    // "去查询" just above the tab bar, opens the query tab, which asks for the star level.
    const QImage top = session.screen();
    session.wheel({160, 300}, 20);
    ASSERT_TRUE(session.waitForNewPicture(top));
    const int asked = int(session.requests("StarLevel").size());
    session.click({160, 488});
    EXPECT_TRUE(session.waitForRequest("StarLevel", asked + 1));
    // The window the client opened is the one it ends with; the browser engine ends with it,
    // cleanly.
    EXPECT_EQ(session.windowId().toStdString(), window);
    session.watchPictures({});
    EXPECT_TRUE(black.isEmpty()) << "black at " << black.x() << "," << black.y();
    EXPECT_TRUE(session.stopClient());
}

} // namespace

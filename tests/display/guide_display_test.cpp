#include "tests/display/DisplaySession.h"

namespace {

TEST_F(DisplayTest, TheGuideIsSwipedThroughAndItsButtonOpensTheLogIn) {
    ASSERT_TRUE(session.start());
    const QPoint sample(20, 100); // the page's plain background
    QList<QColor> pages{session.pixel(sample)};
    for (int swipe = 0; swipe < 2; ++swipe) {
        session.drag({280, 300}, {40, 300});
        ASSERT_TRUE(session.waitForScreen([&](const QImage& s) {
            const QColor now = s.pixelColor(sample);
            return !pages.contains(now) && now == s.pixelColor(sample + QPoint(1, 0));
        })) << "swipe "
            << swipe;
        ASSERT_TRUE(session.waitForStillScreen());
        pages << session.pixel(sample);
    }
    // A swipe past the last page stays there.
    session.drag({280, 300}, {40, 300});
    ASSERT_TRUE(session.waitForStillScreen());
    EXPECT_TRUE(DisplaySession::near(session.pixel(sample), pages.last()));

    EXPECT_FALSE(session.defaults().value("is_open_guideview").toBool());
    session.click({160, 490});
    EXPECT_TRUE(session.waitForDefault("is_open_guideview", true));
    EXPECT_TRUE(session.waitForPixel({300, 20}, QColor(66, 134, 204), 24)); // the log-in's bar
}

} // namespace

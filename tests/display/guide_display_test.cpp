#include "tests/display/DisplaySession.h"

// The guide on first start, swiped page by page with a real pointer, then left by its button.
namespace {

const QPointF kSample(20, 100); // plain page background
const QColor kBarBlue(66, 134, 204);

TEST_F(DisplayTest, TheGuideIsSwipedThroughAndItsButtonOpensTheLogIn) {
    ASSERT_TRUE(session.start());
    QList<QColor> pages{session.pixel(kSample)};
    for (int swipe = 0; swipe < 2; ++swipe) {
        session.drag({280, 300}, {40, 300});
        ASSERT_TRUE(session.waitForScreen([&](const QImage& s) {
            const QColor now = s.pixelColor(kSample.toPoint());
            return !pages.contains(now) && now == s.pixelColor(kSample.toPoint() + QPoint(1, 0));
        })) << "swipe "
            << swipe;
        // The page settles before the next swipe.
        QColor settled;
        ASSERT_TRUE(DisplaySession::waitFor(
            [&] {
                const QColor a = session.pixel(kSample);
                const bool still = a == settled;
                settled = a;
                return still;
            },
            3000, 60));
        pages << settled;
    }
    EXPECT_EQ(pages.size(), 3);
    // A swipe past the last page stays there.
    session.drag({280, 300}, {40, 300});
    EXPECT_TRUE(DisplaySession::near(session.pixel(kSample), pages.last()));

    EXPECT_FALSE(session.defaults().value("is_open_guideview").toBool());
    session.click({160, 490});
    EXPECT_TRUE(session.waitForDefault("is_open_guideview", true));
    EXPECT_TRUE(session.waitForPixel({300, 20}, kBarBlue, 24));
}

} // namespace

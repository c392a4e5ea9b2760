#include "UsageChartSamples.h"
#include "widgets/BarProgressView.h"
#include "widgets/RoundProgressView.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

int alphaAt(const QImage& image, double x, double y) {
    return qAlpha(image.pixel(int(x), int(y)));
}

// The colours that matter, counted in a picture (from column fromX on).
int pixelsNear(const QImage& image, const QColor& color, int tolerance = 24, int fromX = 0) {
    int n = 0;
    const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = fromX; x < rgb.width(); ++x) {
            const QColor c = rgb.pixelColor(x, y);
            n += c.alpha() > 200 && std::abs(c.red() - color.red()) <= tolerance &&
                 std::abs(c.green() - color.green()) <= tolerance &&
                 std::abs(c.blue() - color.blue()) <= tolerance;
        }
    return n;
}

bool isWhite(const QImage& image, double x, double y) {
    const QRgb p = image.pixel(int(x), int(y));
    return qAlpha(p) > 240 && qRed(p) > 240 && qGreen(p) > 240 && qBlue(p) > 240;
}

struct PieCase {
    const char* name;
    float progress;
    bool annular;
    // Points on the drawn circle, in clock hours: which are bright, which only faint.
    std::vector<double> brightHours;
    std::vector<double> faintHours;
};

QPointF onClock(double hour, double radius) {
    const double angle = hour / 12.0 * 2 * M_PI;
    return {18.5 + radius * std::sin(angle), 18.5 - radius * std::cos(angle)};
}

} // namespace

TEST(RoundProgressView, FillsClockwiseFromTwelve) {
    const std::vector<PieCase> cases = {
        {"empty pie", 0.0f, false, {}, {1.5, 4.5, 7.5, 10.5}},
        {"quarter pie", 0.25f, false, {1.5}, {4.5, 7.5, 10.5}},
        {"half pie", 0.5f, false, {1.5, 4.5}, {7.5, 10.5}},
        {"full pie", 1.0f, false, {1.5, 4.5, 7.5, 10.5}, {}},
        {"quarter ring", 0.25f, true, {1.5}, {4.5, 7.5, 10.5}},
        {"full ring", 1.0f, true, {1.5, 4.5, 7.5, 10.5}, {}},
    };
    for (const PieCase& c : cases) {
        SCOPED_TRACE(c.name);
        RoundProgressView view;
        view.setAnnular(c.annular);
        view.setProgress(c.progress);
        const QImage image = view.renderToImage();
        // The pie is sampled inside the disc, the ring on its stroke.
        const double radius = c.annular ? 16 : 10;
        for (double h : c.brightHours) {
            const QPointF p = onClock(h, radius);
            EXPECT_TRUE(isWhite(image, p.x(), p.y())) << "hour " << h;
        }
        for (double h : c.faintHours) {
            const QPointF p = onClock(h, radius);
            EXPECT_GT(alphaAt(image, p.x(), p.y()), 0) << "hour " << h;
            EXPECT_LT(alphaAt(image, p.x(), p.y()), 80) << "hour " << h;
        }
    }
}

TEST(BarProgressView, FillsFromTheLeftCapToTheAmount) {
    struct Case {
        float progress;
        double edge; // right edge of the fill on a 120 x 20 bar
    };
    // Inner radius 6: the left cap ends at x 10, the right cap starts at x 110.
    const Case cases[] = {
        {0.0f, 0},    {-0.5f, 0}, // nothing
        {0.05f, 10},              // inside the left cap: the whole cap
        {0.5f, 60},               // the straight part
        {0.95f, 114},             // into the right cap
        {1.0f, 116},              // past the cap's reach: the whole cap
        {1.5f, 116},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.progress);
        BarProgressView bar;
        bar.setProgress(c.progress);
        EXPECT_NEAR(bar.filledRightEdge(), c.edge, 1e-4);
        const QImage image = bar.renderToImage();
        if (c.edge > 0) {
            EXPECT_TRUE(isWhite(image, 6, 10));
            EXPECT_TRUE(isWhite(image, c.edge - 1.5, 10));
        }
        if (c.edge < 116) {
            EXPECT_EQ(alphaAt(image, std::max(c.edge, 6.0) + 1, 10), 0);
        }
    }
}

// The usage screens' charts and meter, drawn: their line, today's bubble and the dial.
TEST(UsageChartRendering, DrawsTheColoursThatMatter) {
    const QColor line(90, 155, 200), today(60, 195, 110);
    const QImage daily = UsageChartSamples::dailyChart()->renderToImage(2.0);
    EXPECT_EQ(daily.size(), QSize(640, 440));
    EXPECT_GT(pixelsNear(daily, line), 200); // line, markers, values
    EXPECT_GT(pixelsNear(daily, today), 200);
    // The far right of the screen is drawn too (the fifth day's marker and value).
    EXPECT_GT(pixelsNear(daily, line, 24, 520), 100);
    const QImage monthly = UsageChartSamples::monthlyChart()->renderToImage(2.0);
    EXPECT_GT(pixelsNear(monthly, line), 200);
    EXPECT_GT(pixelsNear(monthly, today), 200);
    const QImage meter = UsageChartSamples::meter()->renderToImage(2.0);
    EXPECT_GT(pixelsNear(meter, QColor(94, 251, 101), 10), 500); // the green band's arcs
    EXPECT_GT(pixelsNear(meter, QColor(27, 48, 71), 16), 1000);  // the dial's face
}

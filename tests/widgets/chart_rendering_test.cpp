#include "UsageChartSamples.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace {

// Renders into the build tree (next to the test executable) for a look by eye, and checks
// the picture holds the colours that matter.
QImage renderAndSave(ui::View& view, const QString& name) {
    const QImage image = view.renderToImage(2.0);
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/widgets_png");
    QDir().mkpath(dir);
    EXPECT_TRUE(image.save(dir + QLatin1Char('/') + name)) << name.toStdString();
    return image;
}

int pixelsNear(const QImage& image, const QColor& color, int tolerance = 24, int fromX = 0) {
    int n = 0;
    const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = fromX; x < rgb.width(); ++x) {
            const QColor c = rgb.pixelColor(x, y);
            if (c.alpha() > 200 && std::abs(c.red() - color.red()) <= tolerance &&
                std::abs(c.green() - color.green()) <= tolerance &&
                std::abs(c.blue() - color.blue()) <= tolerance)
                ++n;
        }
    return n;
}

TEST(ChartRendering, DailyChart) {
    auto chart = UsageChartSamples::dailyChart();
    const QImage image = renderAndSave(*chart, QStringLiteral("daily_chart.png"));
    EXPECT_EQ(image.size(), QSize(640, 440));
    EXPECT_GT(pixelsNear(image, QColor(90, 155, 200)), 200); // line, markers, values
    EXPECT_GT(pixelsNear(image, QColor(60, 195, 110)), 200); // today's bubble
    // The far right of the screen is drawn too (the fifth day's marker and value).
    EXPECT_GT(pixelsNear(image, QColor(90, 155, 200), 24, 520), 100);
}

TEST(ChartRendering, MonthlyChart) {
    auto chart = UsageChartSamples::monthlyChart();
    const QImage image = renderAndSave(*chart, QStringLiteral("monthly_chart.png"));
    EXPECT_GT(pixelsNear(image, QColor(90, 155, 200)), 200);
    EXPECT_GT(pixelsNear(image, QColor(60, 195, 110)), 200);
}

TEST(ChartRendering, Meter) {
    auto meter = UsageChartSamples::meter();
    const QImage image = renderAndSave(*meter, QStringLiteral("meter.png"));
    EXPECT_GT(pixelsNear(image, QColor(94, 251, 101), 10), 500); // the green band's arcs
    EXPECT_GT(pixelsNear(image, QColor(27, 48, 71), 16), 1000);  // the dial's face
}

} // namespace

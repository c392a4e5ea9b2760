#include <gtest/gtest.h>

#include "screens/shell/TavrixApplicationSpecific.h"
#include "screens/shell/extension.h"

#include <QImage>

namespace {

TEST(ColourExtension, hexConversions) {
    EXPECT_EQ(extension::colorWithHex((70 << 16) | (140 << 8) | 202).rgba(),
              TavrixApplicationSpecific::tavrix_blueColor().rgba());
    EXPECT_EQ(extension::colorWithHex(0xff468cca),
              extension::colorWithHex(0x468cca)); // high bits ignored
    EXPECT_NEAR(extension::colorWithHex(0x000000, 0.5f).alphaF(), 0.5f, 1e-3);
    const std::pair<QColor, const char*> cases[] = {
        {TavrixApplicationSpecific::tavrix_blueColor(), "#468cca"},
        {QColor(255, 0, 0), "#ff0000"},
        {QColor::fromHsvF(0, 0, 1), "#ffffff"}, // white given in another colour model
        {QColor(1, 2, 3, 4), "#010203"},
    };
    for (const auto& [colour, text] : cases)
        EXPECT_EQ(extension::hexFromUIColor(colour), text);
    QImage tile(2, 2, QImage::Format_ARGB32);
    tile.fill(Qt::red);
    EXPECT_EQ(extension::hexFromUIColor(QBrush(tile)), "#FFFFFF");
    EXPECT_EQ(extension::hexFromUIColor(QBrush(QColor(255, 0, 0))), "#ff0000");
}

} // namespace

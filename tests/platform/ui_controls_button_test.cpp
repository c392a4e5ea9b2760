#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace ui;

namespace {

QImage solid(QColor c, QSize size = {10, 10}) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(c);
    return img;
}

} // namespace

TEST(UiControlsButton, StateValuesFallBackInOrder) {
    Button b(QRectF(0, 0, 100, 40));
    b.setTitle("normal");
    b.setTitle("selected", Control::Selected);
    b.setTitle("pressed", Control::Highlighted);
    b.setTitle("off", Control::Disabled);
    b.setTitle("pressed while selected", Control::Selected | Control::Highlighted);
    struct Case {
        bool selected, highlighted, enabled;
        const char* title;
    };
    const Case cases[] = {
        {false, false, true, "normal"}, {true, false, true, "selected"},
        {false, true, true, "pressed"}, {true, true, true, "pressed while selected"},
        {false, false, false, "off"},   {true, false, false, "off"}, // disabled outranks selected
    };
    for (const Case& c : cases) {
        b.setSelected(c.selected);
        b.setHighlighted(c.highlighted);
        b.setEnabled(c.enabled);
        EXPECT_EQ(b.currentTitle(), c.title) << c.selected << c.highlighted << c.enabled;
        EXPECT_EQ(b.titleLabel()->text(), c.title);
    }

    // Without a combined value, a pressed selected box keeps its selected picture.
    Button box(QRectF(0, 0, 20, 20));
    box.setBackgroundImage(solid(Qt::gray));
    box.setBackgroundImage(solid(Qt::green), Control::Selected);
    box.setSelected(true);
    box.setHighlighted(true);
    EXPECT_EQ(box.currentBackgroundImage().pixelColor(0, 0), QColor(Qt::green));
    box.setSelected(false);
    EXPECT_EQ(box.currentBackgroundImage().pixelColor(0, 0), QColor(Qt::gray));
    EXPECT_FALSE(box.titleLabel()->isHidden() && !box.currentTitle().isEmpty());
}

TEST(UiControlsButton, MouseClickIsATouchUpInside) {
    View root(QRectF(0, 0, 320, 200));
    auto* b = new Button(QRectF(10, 10, 100, 40), &root);
    std::vector<unsigned> events;
    b->addTarget(
        nullptr, [&](Control*) { events.push_back(Control::TouchDown); }, Control::TouchDown);
    b->addTarget(
        nullptr, [&](Control*) { events.push_back(Control::TouchUpInside); },
        Control::TouchUpInside);
    b->addTarget(
        nullptr, [&](Control*) { events.push_back(Control::TouchUpOutside); },
        Control::TouchUpOutside);
    int signalled = 0;
    QObject::connect(b, &Control::touchUpInside, [&] { ++signalled; });

    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(events, (std::vector<unsigned>{Control::TouchDown, Control::TouchUpInside}));
    EXPECT_EQ(signalled, 1);
    EXPECT_FALSE(b->isHighlighted());

    // Released far away (beyond a finger's slack): up outside.
    events.clear();
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(b->isHighlighted());
    QTest::mouseMove(b, QPoint(300, 150));
    EXPECT_FALSE(b->isHighlighted());
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(300, 150));
    EXPECT_EQ(events, (std::vector<unsigned>{Control::TouchDown, Control::TouchUpOutside}));

    events.clear();
    b->setEnabled(false);
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(events.empty());
}

TEST(UiControlsButton, ActionsSurviveTargetsAndButtonsGoingAway) {
    auto* b = new Button(QRectF(0, 0, 50, 50));
    auto target = std::make_unique<QObject>();
    int targetCalls = 0, plainCalls = 0;
    b->addTarget(
        target.get(), [&](Control*) { ++targetCalls; }, Control::TouchUpInside);
    b->addAction(Control::TouchUpInside, [&] { ++plainCalls; });
    target.reset();
    b->sendActionsForControlEvents(Control::TouchUpInside);
    EXPECT_EQ(targetCalls, 0);
    EXPECT_EQ(plainCalls, 1);

    // An action that destroys its button (a screen closing) stops the rest quietly.
    int after = 0;
    b->addAction(Control::TouchUpInside, [b] { delete b; });
    b->addAction(Control::TouchUpInside, [&] { ++after; });
    QPointer<Button> guard(b);
    b->sendActionsForControlEvents(Control::TouchUpInside);
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(after, 0);
}

TEST(UiControlsButton, RemovingTargetsAndSendingByHand) {
    Button b;
    QObject owner;
    int calls = 0;
    b.addTarget(
        &owner,
        [&](Control* sender) {
            EXPECT_EQ(sender, &b);
            ++calls;
        },
        Control::TouchUpInside | Control::ValueChanged);
    b.sendActionsForControlEvents(Control::TouchUpInside | Control::ValueChanged);
    EXPECT_EQ(calls, 2);
    b.removeTarget(&owner, Control::ValueChanged);
    b.sendActionsForControlEvents(Control::TouchUpInside | Control::ValueChanged);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(b.allControlEvents(), unsigned(Control::TouchUpInside));
}

TEST(UiControlsButton, LaysTitleAndImageOutWithInsets) {
    Button b(QRectF(0, 0, 200, 44));
    b.setImage(solid(Qt::red, {20, 20}));
    b.setTitle("确定");
    const QRectF img = b.imageView()->frame();
    const QRectF title = b.titleLabel()->frame();
    EXPECT_EQ(img.size(), QSizeF(20, 20));
    EXPECT_NEAR(img.right(), title.left(), 0.01);
    EXPECT_NEAR((img.left() + title.right()) / 2, 100, 0.5); // centred together
    b.setTitleEdgeInsets(QMarginsF(-20, 0, 20, 0));
    EXPECT_NEAR(b.titleLabel()->frame().left(), title.left() - 20, 0.01);
    b.setContentHorizontalAlignment(Control::ContentHorizontalAlignment::Left);
    b.setTitleEdgeInsets({});
    b.setContentEdgeInsets(QMarginsF(8, 0, 0, 0));
    EXPECT_NEAR(b.imageView()->frame().left(), 8, 0.01);
    // A resize lays the content out again at once.
    b.setContentHorizontalAlignment(Control::ContentHorizontalAlignment::Center);
    b.setFrame(QRectF(0, 0, 100, 44));
    EXPECT_NEAR((b.imageView()->frame().left() + b.titleLabel()->frame().right()) / 2, 54, 0.5);
}

TEST(UiControlsImage, NamedPicturesAndMissingNames) {
    EXPECT_TRUE(imageNamed("no_such_picture_anywhere").isNull());
    EXPECT_TRUE(imageNamed("").isNull());
    EXPECT_TRUE(imageNamed("../etc/passwd").isNull());
    const QImage bg = imageNamed("homebg");
    ASSERT_FALSE(bg.isNull()) << "resources/images/homebg.svg is bundled";
    EXPECT_EQ(imageNamed("homebg").cacheKey(), bg.cacheKey());
    EXPECT_EQ(imageNamed("homebg.svg").size(), bg.size());
    EXPECT_GT(imageSize(bg).width(), 0);
}

TEST(UiControlsImage, ContentModesPlaceTheImage) {
    const QRectF b(0, 0, 100, 50);
    const QSizeF img(20, 20);
    struct Case {
        ContentMode mode;
        QRectF expected;
    };
    const Case cases[] = {
        {ContentMode::ScaleToFill, b},
        {ContentMode::ScaleAspectFit, {25, 0, 50, 50}},
        {ContentMode::ScaleAspectFill, {0, -25, 100, 100}},
        {ContentMode::Center, {40, 15, 20, 20}},
        {ContentMode::TopLeft, {0, 0, 20, 20}},
        {ContentMode::BottomRight, {80, 30, 20, 20}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(contentRect(c.mode, img, b), c.expected) << int(c.mode);
}

TEST(UiControlsImage, StretchableImagesKeepTheirCaps) {
    QImage img(QSize(30, 30), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::blue);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 10; ++x)
            img.setPixelColor(x, y, Qt::red);
    const QImage caps = resizableImage(img, QMarginsF(10, 0, 10, 0));
    EXPECT_EQ(imageCapInsets(caps), QMarginsF(10, 0, 10, 0));
    QImage canvas(QSize(200, 30), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    drawImage(p, QRectF(0, 0, 200, 30), caps);
    p.end();
    EXPECT_EQ(canvas.pixelColor(9, 15), QColor(Qt::red));   // the left cap keeps its width
    EXPECT_EQ(canvas.pixelColor(12, 15), QColor(Qt::blue)); // the middle stretches
}

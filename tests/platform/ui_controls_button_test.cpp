#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "sandbox/PictureStore.h"
#include "tests/support/GifWriter.h"
#include "tests/support/Watchdog.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <malloc.h>
#include <memory>
#include <sys/stat.h>

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

QByteArray encoded(const QImage& image, const char* format, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

TEST(UiControlsImage, PicturesFromOutsideAreSizedFirstAndDecodedNoLargerThanShown) {
    QImage wide(2000, 1000, QImage::Format_RGB32);
    wide.fill(Qt::green);
    const QByteArray png = encoded(wide, "PNG"), jpeg = encoded(wide, "JPEG");
    const QByteArray progressive = encoded(wide, "JPEG", true);
    const QByteArray green("\x00\xff\x00", 3);
    // Read row by row as it shrinks: past what a whole decode may hold, and still shown.
    const QByteArray plain3000 = sandbox::PictureStore::uniformPng(3000, 3000, 8, 2, green, false);
    QImage big(2400, 2400, QImage::Format_RGB32);
    big.fill(Qt::green);
    // Decodable here, but not a format a server's picture comes in.
    const QByteArray ico = encoded(wide.scaled(40, 20), "ICO");
    ASSERT_FALSE(ico.isEmpty());
    ASSERT_FALSE(QImage::fromData(ico).isNull());
    const QSize fit(640, 640);
    const auto square = [](int side) {
        QImage image(side, side, QImage::Format_RGB32);
        image.fill(Qt::green);
        return image;
    };
    const struct {
        const char* what;
        QByteArray bytes;
        QSize fit;
        QSize decoded; // invalid: refused
    } cases[] = {
        {"png, no fit", png, {}, {2000, 1000}},
        {"png, fitted", png, fit, {640, 320}},
        {"jpeg, fitted", jpeg, fit, {640, 320}},
        {"smaller than the fit", encoded(wide.scaled(40, 20), "PNG"), fit, {40, 20}},
        {"progressive jpeg, fitted", progressive, fit, {640, 320}},
        {"plain png of 3000 x 3000, fitted", plain3000, fit, {640, 640}},
        // Decoded whole before they shrink: past 28 MB at the peak they are no picture.
        {"plain png of 3000 x 3000 at its own size", plain3000, {}, {}},
        {"interlaced png of 2800 x 2800",
         sandbox::PictureStore::uniformPng(2800, 2800, 8, 2, green, true),
         fit,
         {}},
        {"grey png of 2300 x 2300",
         sandbox::PictureStore::uniformPng(2300, 2300, 8, 0, QByteArray(1, '\xff'), false),
         fit,
         {}},
        {"progressive jpeg of 2400 x 2400", encoded(big, "JPEG", true), fit, {}},
        {"gif, fitted", testsupport::gifOf(square(1000)), fit, {640, 640}},
        {"gif of 2000 x 2000", testsupport::gifOf(square(2000)), fit, {}},
        {"bmp, fitted", encoded(square(1000), "BMP"), fit, {640, 640}},
        {"palette bmp of 2300 x 2300",
         encoded(square(2300).convertToFormat(QImage::Format_Indexed8), "BMP"),
         fit,
         {}},
        {"webp, fitted", encoded(square(1000), "WEBP"), fit, {640, 640}},
        {"webp of 2000 x 2000", encoded(square(2000), "WEBP"), fit, {}},
        {"declares 100000 x 100000", sandbox::PictureStore::declaredPng(100000, 100000), fit, {}},
        {"declares one pixel over the ceiling",
         sandbox::PictureStore::declaredPng(4097, 4096),
         fit,
         {}},
        {"declares 0 x 10", sandbox::PictureStore::declaredPng(0, 10), fit, {}},
        {"cut after its head", png.left(60), fit, {}},
        {"a web page", "<html><body>no</body></html>", fit, {}},
        {"a vector picture",
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\"/>",
         fit,
         {}},
        {"an icon", ico, fit, {}},
        {"nothing", {}, fit, {}},
    };
    for (const auto& c : cases) {
        const QImage decoded = decodePicture(c.bytes, c.fit);
        if (!c.decoded.isValid()) {
            EXPECT_TRUE(decoded.isNull()) << c.what;
            continue;
        }
        EXPECT_EQ(decoded.size(), c.decoded) << c.what;
        EXPECT_GT(decoded.pixelColor(5, 5).green(), 200) << c.what;
    }
    // The head alone says whether a picture is within the ceiling.
    EXPECT_EQ(pictureSize(sandbox::PictureStore::declaredPng(4096, 4096)), QSize(4096, 4096));
    EXPECT_FALSE(pictureSize(sandbox::PictureStore::declaredPng(4096, 4097)).isValid());

    // A file past the byte ceiling is no picture whatever it holds, and a pipe in a cached
    // picture's place is never waited on.
    QTemporaryDir dir;
    QFile padded(dir.filePath("padded.png"));
    ASSERT_TRUE(padded.open(QIODevice::WriteOnly));
    padded.write(png + QByteArray(int(kMaxPictureBytes), '\0'));
    padded.close();
    EXPECT_TRUE(decodePicture(padded.fileName(), fit).isNull());
    const QString pipe = dir.filePath("pipe.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QImage fromPipe;
    EXPECT_TRUE(testsupport::endsInTime([&] { fromPipe = decodePicture(pipe, fit); }, {pipe}));
    EXPECT_TRUE(fromPipe.isNull());
}

qint64 residentKB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ')[0].toLongLong();
    return 0;
}

// Large decodes one after another leave the process about where it was, not at their peak.
TEST(UiControlsImage, ALargeDecodeGivesItsMemoryBack) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator keeps freed memory in quarantine";
#endif
    const QByteArray green("\x00\xff\x00", 3);
    const QByteArray pictures[] = {
        sandbox::PictureStore::uniformPng(2600, 2600, 8, 2, green, true),
        sandbox::PictureStore::uniformPng(1270, 1270, 16, 6, QByteArray(8, '\xff'), false),
        encoded(QImage(1800, 1800, QImage::Format_RGB32), "JPEG", true),
    };
    ::malloc_trim(0); // what making them took
    const qint64 before = residentKB();
    for (int round = 0; round < 2; ++round)
        for (const QByteArray& picture : pictures)
            ASSERT_FALSE(decodePicture(picture, QSize(640, 640)).isNull());
    EXPECT_LT(residentKB() - before, 8 * 1024);
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

#include "platform/ui/Image.h"

#include "platform/foundation/RegularFile.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QList>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <malloc.h>

namespace ui {

namespace {

QHash<QString, QImage>& cache() {
    static QHash<QString, QImage> c;
    return c;
}

const char* const kCapKey = "ui.capInsets";

// The declared size when it is a common picture format within the ceiling. Formats whose
// signature is weak (random bytes pass for a picture) or whose drawing costs without bound
// (vector pictures) are no picture here.
QSize acceptedSize(QImageReader& reader) {
    static const QList<QByteArray> formats = {"png", "jpeg", "jpg", "gif", "bmp", "webp"};
    if (!formats.contains(reader.format().toLower())) return {};
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) return {};
    if (qint64(size.width()) * size.height() > kMaxPicturePixels) return {};
    return size;
}

// A decode that held more than this has its freed memory given back to the system.
constexpr qint64 kTrimAfterDecodeBytes = qint64(4) << 20;

// Enough of a picture's beginning for the heads read below; a JPEG whose head is longer is
// taken at its dearest.
constexpr qint64 kHeadBytes = 256 * 1024;

qint64 bytesOf(const QSize& size, qint64 perPixel) {
    return qint64(size.width()) * size.height() * perPixel;
}

// Whether libjpeg reads the picture in one pass, a few rows at a time: a sequential frame whose
// first scan carries every component. Any other JPEG keeps every coefficient of the picture
// until its last scan. components: the frame's, when found.
bool jpegInOnePass(const QByteArray& head, int* components) {
    const auto at = [&head](qsizetype i) { return i < head.size() ? quint8(head.at(i)) : 0; };
    bool sequential = false;
    int frameComponents = 0;
    for (qsizetype i = 2; i + 4 <= head.size();) {
        if (at(i) != 0xFF) return false;
        const quint8 marker = at(i + 1);
        if (marker == 0xFF) { // fill byte
            ++i;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { // no length
            i += 2;
            continue;
        }
        const int length = at(i + 2) << 8 | at(i + 3);
        if (length < 2) return false;
        const qsizetype data = i + 4;
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            sequential = marker == 0xC0 || marker == 0xC1 || marker == 0xC9;
            frameComponents = at(data + 5);
            *components = std::max(1, frameComponents);
        } else if (marker == 0xDA) {
            return sequential && frameComponents > 0 && at(data) == frameComponents;
        }
        i += 2 + length;
    }
    return false;
}

// What decoding the picture at `target` holds at its peak, by what Qt's readers do (measured
// with Qt 6.4): a JPEG is read at the nearest eighth at or above the target and shrunk the rest
// of the way; a PNG of 8-bit colour that is not interlaced is read row by row and shrunk as it
// goes; every other picture is decoded whole and, to shrink, first copied into the form Qt
// scales (32 or 64 bits a pixel; pictures of fewer bits a pixel pass through a second copy).
qint64 decodeCost(const QByteArray& format, const QByteArray& head, QImage::Format decoded,
                  const QSize& size, const QSize& target) {
    const bool shrinks = target != size;
    if (format == "jpeg" || format == "jpg") {
        int components = 4;
        const qint64 coefficients =
            jpegInOnePass(head, &components)
                ? 0
                : bytesOf(QSize((size.width() + 15) / 16 * 16, (size.height() + 15) / 16 * 16),
                          2 * components);
        const QSize read =
            shrinks ? QSize(std::min(size.width(), target.width() + size.width() / 8 + 1),
                            std::min(size.height(), target.height() + size.height() / 8 + 1))
                    : size;
        return coefficients + bytesOf(read, 4) +
               (shrinks ? bytesOf(read, 4) + bytesOf(target, 4) : 0);
    }
    const bool colour32 = decoded == QImage::Format_RGB32 || decoded == QImage::Format_ARGB32;
    // The interlace method of IHDR, right after the signature and the chunk's length and type.
    if (format == "png" && colour32 && head.size() > 28 && head.at(28) == 0)
        return bytesOf(target, 4) + qint64(size.width()) * 8;
    const qint64 own = decoded == QImage::Format_Invalid
                           ? 4
                           : std::max(1, QImage::toPixelFormat(decoded).bitsPerPixel() / 8);
    if (!shrinks) return bytesOf(size, own);
    const bool scalable =
        decoded == QImage::Format_RGB32 || decoded == QImage::Format_ARGB32_Premultiplied ||
        decoded == QImage::Format_RGBX64 || decoded == QImage::Format_RGBA64_Premultiplied;
    const qint64 wide = own > 4 || decoded == QImage::Format_Grayscale16 ? 8 : 4;
    const qint64 perPixel = own + (scalable ? 0 : wide) + (own < 4 ? own : 0);
    return bytesOf(size, perPixel) + bytesOf(target, std::max<qint64>(4, own));
}

QImage load(const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1String(".."))) return {};
    const QString base = QStringLiteral(":/images/") + name;
    QStringList bases{base};
    // Callers sometimes pass the file name with its extension.
    for (const char* ext : {".png", ".svg", ".jpg", ".jpeg"})
        if (name.endsWith(QLatin1String(ext), Qt::CaseInsensitive)) {
            bases.prepend(base.left(base.size() - int(qstrlen(ext))));
            break;
        }
    for (const QString& b : bases) {
        if (QFile::exists(b + "@2x.png")) {
            QImage img = decodePicture(b + "@2x.png");
            if (!img.isNull()) {
                img.setDevicePixelRatio(2.0);
                return img;
            }
        }
        if (QFile::exists(b + ".png")) {
            QImage img = decodePicture(b + ".png");
            if (!img.isNull()) return img;
        }
        if (QFile::exists(b + ".svg")) {
            QSvgRenderer svg(b + ".svg");
            if (svg.isValid()) {
                QSizeF pts = svg.defaultSize();
                if (pts.isEmpty()) pts = svg.viewBoxF().size();
                if (pts.isEmpty()) continue;
                // Rendered at twice the size so it stays sharp on scaled screens.
                QImage img((pts * 2).toSize(), QImage::Format_ARGB32_Premultiplied);
                img.fill(Qt::transparent);
                QPainter p(&img);
                svg.render(&p);
                p.end();
                img.setDevicePixelRatio(2.0);
                return img;
            }
        }
        for (const char* ext : {".jpg", ".jpeg"}) {
            if (QFile::exists(b + ext)) {
                QImage img = decodePicture(b + ext);
                if (!img.isNull()) return img;
            }
        }
    }
    return {};
}

} // namespace

QImage imageNamed(const QString& name) {
    auto& c = cache();
    auto it = c.constFind(name);
    if (it != c.constEnd()) return *it;
    QImage img = load(name);
    c.insert(name, img);
    return img;
}

void clearImageCache() {
    cache().clear();
}

namespace {

// Decodes as decodePicture does; *cost: what the decode held at its peak, 0 when none ran.
QImage decodeWithin(QIODevice* device, const QSize& fit, qint64* cost) {
    const QByteArray head = device->peek(kHeadBytes);
    QImageReader reader(device);
    const QSize size = acceptedSize(reader);
    if (!size.isValid()) return {};
    QSize target = size;
    if (fit.isValid() && !fit.isEmpty() &&
        (size.width() > fit.width() || size.height() > fit.height()))
        target = size.scaled(fit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const qint64 peak =
        decodeCost(reader.format().toLower(), head, reader.imageFormat(), size, target);
    if (peak > kMaxPictureDecodeBytes) return {};
    if (target != size) reader.setScaledSize(target);
    *cost = peak;
    QImage image;
    if (!reader.read(&image)) return {};
    return image;
}

} // namespace

QImage decodePicture(QIODevice* device, const QSize& fit) {
    if (!device) return {};
    qint64 cost = 0;
    QImage image = decodeWithin(device, fit, &cost);
    // The C library keeps what a large decode freed for its later allocations (its mmap
    // threshold rises with each large block freed), so one large picture after another would
    // leave the process at its peak: given back once the reader and its buffers are gone.
    if (cost > kTrimAfterDecodeBytes) ::malloc_trim(0);
    return image;
}

QImage decodePicture(const QString& file, const QSize& fit) {
    // Bundled pictures are compiled in; any other is a file of the client's picture caches, read
    // only when it is a plain one: a pipe there is never waited on, a link never followed.
    if (file.startsWith(QLatin1String(":/"))) {
        QFile resource(file);
        if (!resource.open(QIODevice::ReadOnly) || resource.size() > kMaxPictureBytes) return {};
        return decodePicture(&resource, fit);
    }
    const std::optional<QByteArray> bytes = ns::readOwnFile(file, kMaxPictureBytes);
    return bytes ? decodePicture(*bytes, fit) : QImage();
}

QImage decodePicture(const QByteArray& bytes, const QSize& fit) {
    QByteArray data = bytes; // shared, not copied
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    return decodePicture(&device, fit);
}

QSize pictureSize(const QByteArray& bytes) {
    QByteArray data = bytes;
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device);
    return acceptedSize(reader);
}

QSizeF imageSize(const QImage& image) {
    if (image.isNull()) return {0, 0};
    return image.deviceIndependentSize();
}

QImage resizableImage(const QImage& image, const QMarginsF& capInsets) {
    if (image.isNull()) return image;
    QImage out = image;
    out.setText(kCapKey, QStringLiteral("%1,%2,%3,%4")
                             .arg(capInsets.top())
                             .arg(capInsets.left())
                             .arg(capInsets.bottom())
                             .arg(capInsets.right()));
    return out;
}

QMarginsF imageCapInsets(const QImage& image) {
    const QStringList parts = image.text(kCapKey).split(',');
    if (parts.size() != 4) return {};
    return QMarginsF(parts[1].toDouble(), parts[0].toDouble(), parts[3].toDouble(),
                     parts[2].toDouble());
}

void drawImage(QPainter& painter, const QRectF& target, const QImage& image) {
    if (image.isNull() || target.isEmpty()) return;
    const QMarginsF caps = imageCapInsets(image);
    if (caps.isNull()) {
        painter.drawImage(target, image);
        return;
    }
    const double dpr = image.devicePixelRatio();
    const QSizeF size = imageSize(image);
    // Caps never exceed half the target, so a small target still draws sensibly.
    const double l = std::min(caps.left(), target.width() / 2),
                 r = std::min(caps.right(), target.width() / 2);
    const double t = std::min(caps.top(), target.height() / 2),
                 b = std::min(caps.bottom(), target.height() / 2);
    const double xs[4] = {0, caps.left(), size.width() - caps.right(), size.width()};
    const double ys[4] = {0, caps.top(), size.height() - caps.bottom(), size.height()};
    const double xd[4] = {target.left(), target.left() + l, target.right() - r, target.right()};
    const double yd[4] = {target.top(), target.top() + t, target.bottom() - b, target.bottom()};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const QRectF src(xs[i] * dpr, ys[j] * dpr, (xs[i + 1] - xs[i]) * dpr,
                             (ys[j + 1] - ys[j]) * dpr);
            const QRectF dst(xd[i], yd[j], xd[i + 1] - xd[i], yd[j + 1] - yd[j]);
            if (src.width() > 0 && src.height() > 0 && dst.width() > 0 && dst.height() > 0)
                painter.drawImage(dst, image, src);
        }
}

} // namespace ui

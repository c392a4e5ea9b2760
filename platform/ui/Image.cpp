#include "platform/ui/Image.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QList>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>

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

QImage decodePicture(QIODevice* device, const QSize& fit) {
    if (!device) return {};
    QImageReader reader(device);
    const QSize size = acceptedSize(reader);
    if (!size.isValid()) return {};
    if (fit.isValid() && !fit.isEmpty() &&
        (size.width() > fit.width() || size.height() > fit.height()))
        reader.setScaledSize(size.scaled(fit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage image;
    if (!reader.read(&image)) return {};
    return image;
}

QImage decodePicture(const QString& file, const QSize& fit) {
    QFile device(file);
    if (!device.open(QIODevice::ReadOnly) || device.size() > kMaxPictureBytes) return {};
    return decodePicture(&device, fit);
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

#include "widgets/QPainterCanvas.h"

#include "platform/ui/Font.h"
#include "platform/ui/Image.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QSvgRenderer>
#include <cmath>
#include <memory>

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kDegrees = 57.29577951308232;

// Pictures are found by name with or without their file suffix; vector pictures are rendered
// straight into the target rectangle so they stay sharp at any size.
struct Picture {
    std::shared_ptr<QSvgRenderer> svg;
    QImage bitmap;
};

const Picture& pictureNamed(const QString& name) {
    static QHash<QString, Picture> cache;
    auto it = cache.find(name);
    if (it != cache.end()) return *it;
    QString base = name;
    for (const char* suffix : {".png", ".svg", ".jpg"})
        if (base.endsWith(QLatin1String(suffix))) base.chop(4);
    Picture pic;
    auto svg = std::make_shared<QSvgRenderer>(QStringLiteral(":/images/%1.svg").arg(base));
    if (svg->isValid()) {
        pic.svg = svg;
    } else {
        for (const char* suffix : {".png", ".jpg"}) {
            pic.bitmap =
                ui::decodePicture(QStringLiteral(":/images/%1%2").arg(base, QLatin1String(suffix)));
            if (!pic.bitmap.isNull()) break;
        }
    }
    return *cache.insert(name, pic);
}

QGradientStops toQt(const Canvas::GradientStops& stops) {
    QGradientStops out;
    for (const auto& [at, color] : stops)
        out.append({at, color});
    return out;
}

} // namespace

bool QPainterCanvas::onDevice(const QRectF& rect) const {
    // Long charts draw far past the visible part; work there is skipped, not clipped. The
    // world transform maps into the device's own logical space (a widget's points); an image's
    // size counts in pixels, which only ever keeps more than it needs.
    const QPaintDevice* device = m_painter.device();
    if (!device) return true;
    const QRectF mapped = m_painter.transform().mapRect(rect);
    return mapped.intersects(
        QRectF(0, 0, device->width(), device->height()).adjusted(-2, -2, 2, 2));
}

QPainterCanvas::QPainterCanvas(QPainter& painter) : m_painter(painter) {
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::TextAntialiasing);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

QFont QPainterCanvas::fontNamed(const QString& fontName, double size) {
    static QHash<QPair<QString, int>, QFont> cache;
    const QPair<QString, int> key(fontName, int(std::lround(size * 8)));
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.insert(key, ui::Font::fontWithName(fontName, size));
    return *it;
}

void QPainterCanvas::translate(double dx, double dy) {
    m_painter.translate(dx, dy);
}

void QPainterCanvas::scale(double sx, double sy) {
    m_painter.scale(sx, sy);
}

void QPainterCanvas::setLineDash(double phase, const QList<double>& lengths) {
    m_dashPhase = phase;
    m_dash = lengths;
}

void QPainterCanvas::addLineTo(const QPointF& p) {
    if (m_path.elementCount() == 0)
        m_path.moveTo(p);
    else
        m_path.lineTo(p);
}

void QPainterCanvas::addArc(const QPointF& center, double radius, double startAngle,
                            double endAngle, bool clockwise) {
    double sweep = endAngle - startAngle;
    if (!clockwise) {
        if (sweep < 0) sweep = std::fmod(sweep, kTwoPi) + kTwoPi;
        sweep = std::min(sweep, kTwoPi);
    } else {
        if (sweep > 0) sweep = std::fmod(sweep, kTwoPi) - kTwoPi;
        sweep = std::max(sweep, -kTwoPi);
    }
    const QPointF start(center.x() + radius * std::cos(startAngle),
                        center.y() + radius * std::sin(startAngle));
    if (m_path.elementCount() == 0)
        m_path.moveTo(start);
    else
        m_path.lineTo(start);
    // QPainterPath measures angles the other way round (y up).
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    m_path.arcTo(box, -startAngle * kDegrees, -sweep * kDegrees);
}

// A path of straight lines keeps only the segments that can reach the device: a long chart's
// line is mostly off screen, and stroking all of it costs far more than the visible part.
QPainterPath QPainterCanvas::visiblePart(const QPainterPath& path, double grow) const {
    QPainterPath out;
    bool open = false;
    QPointF last;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isCurveTo() || e.type == QPainterPath::CurveToDataElement) return path;
        const QPointF p(e.x, e.y);
        if (e.isMoveTo()) {
            open = false;
        } else if (onDevice(QRectF(last, p).normalized().adjusted(-grow, -grow, grow, grow))) {
            if (!open) out.moveTo(last);
            out.lineTo(p);
            open = true;
        } else {
            open = false;
        }
        last = p;
    }
    return out;
}

void QPainterCanvas::strokePath() {
    if (m_path.elementCount() == 0) return;
    const double grow = m_width + 1;
    // A dashed path keeps all of it, so its dashes fall where they always do.
    const QPainterPath path = m_dash.isEmpty() ? visiblePart(m_path, grow) : m_path;
    m_path = QPainterPath();
    if (path.isEmpty() || !onDevice(path.controlPointRect().adjusted(-grow, -grow, grow, grow)))
        return;
    QPen pen(m_stroke, m_width);
    pen.setCapStyle(m_cap == LineCap::Round    ? Qt::RoundCap
                    : m_cap == LineCap::Square ? Qt::SquareCap
                                               : Qt::FlatCap);
    if (!m_dash.isEmpty() && m_width > 0) {
        // Qt counts dashes in pen widths; the canvas counts them in points.
        QList<qreal> pattern;
        for (double d : m_dash)
            pattern.append(d / m_width);
        if (pattern.size() % 2) pattern += pattern;
        pen.setDashPattern(pattern);
        pen.setDashOffset(m_dashPhase / m_width);
    }
    m_painter.strokePath(path, pen);
}

void QPainterCanvas::fillRect(const QRectF& rect, const QColor& color) {
    m_painter.fillRect(rect, color);
}

void QPainterCanvas::fillRoundedRect(const QRectF& rect, double radius, const QColor& color) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    m_painter.fillPath(path, color);
}

void QPainterCanvas::fillLinearGradient(const QRectF& rect, double radius,
                                        const GradientStops& stops) {
    QLinearGradient g(rect.topLeft(), rect.bottomLeft());
    g.setStops(toQt(stops));
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    m_painter.fillPath(path, g);
}

void QPainterCanvas::fillRadialGradient(const QRectF& rect, const QPointF& center, double radius,
                                        const GradientStops& stops) {
    QRadialGradient g(center, radius);
    g.setStops(toQt(stops));
    g.setSpread(QGradient::PadSpread);
    m_painter.fillRect(rect, g);
}

void QPainterCanvas::drawImage(const QString& name, const QRectF& rect) {
    if (!onDevice(rect)) return;
    const Picture& pic = pictureNamed(name);
    const QRectF target = m_painter.transform().mapRect(rect);
    m_painter.save();
    m_painter.setTransform(QTransform());
    if (pic.svg) {
        // Vector pictures are rendered once per device size, then blitted.
        const double dpr = m_painter.device() ? m_painter.device()->devicePixelRatioF() : 1.0;
        const QSize pixels = (target.size() * dpr).toSize();
        const QString key =
            QStringLiteral("%1@%2x%3").arg(name).arg(pixels.width()).arg(pixels.height());
        static QHash<QString, QImage> rendered;
        auto it = rendered.find(key);
        if (it == rendered.end()) {
            QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            pic.svg->render(&p, QRectF(QPointF(0, 0), QSizeF(pixels)));
            p.end();
            image.setDevicePixelRatio(dpr);
            it = rendered.insert(key, image);
        }
        m_painter.drawImage(target, *it);
    } else if (!pic.bitmap.isNull()) {
        m_painter.drawImage(target, pic.bitmap);
    }
    m_painter.restore();
}

double QPainterCanvas::firstGlyphAdvance(const QString& text, const QString& fontName,
                                         double size) {
    if (text.isEmpty()) return 0;
    const QString first = text.left(text.at(0).isHighSurrogate() ? 2 : 1);
    static QHash<QString, double> advances;
    const QString key = QStringLiteral("%1|%2|%3").arg(fontName).arg(size).arg(first);
    auto it = advances.find(key);
    if (it == advances.end())
        it =
            advances.insert(key, QFontMetricsF(fontNamed(fontName, size)).horizontalAdvance(first));
    return *it;
}

void QPainterCanvas::drawText(const QString& text, const QString& fontName, double size,
                              const QColor& color, const QPointF& origin) {
    // Generous bounds: every glyph at most the size wide, ascent and descent within it.
    const double reach = size * (text.size() + 1);
    if (!onDevice(QRectF(origin.x() - size, origin.y() - reach, reach + size, 2 * reach))) return;
    const QTransform t = m_painter.transform();
    const QPointF at = t.map(origin);
    m_painter.save();
    m_painter.setTransform(QTransform(std::hypot(t.m11(), t.m12()), 0, 0,
                                      std::hypot(t.m21(), t.m22()), at.x(), at.y()));
    m_painter.setFont(fontNamed(fontName, size));
    m_painter.setPen(color);
    m_painter.drawText(QPointF(0, 0), text);
    m_painter.restore();
}

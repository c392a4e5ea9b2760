#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <utility>

// The drawing operations the charts, the meter and the overlays need, in the manner of a
// graphics context: a current path that a stroke consumes, and a state (colours, line width,
// dash, cap) that lasts until changed. Drawing code talks to this interface so the screen
// paints through QPainter while tests record the exact geometry.
class Canvas {
public:
    enum class LineCap { Butt, Round, Square };
    using GradientStops = QList<std::pair<double, QColor>>;

    virtual ~Canvas() = default;

    // Current transformation (concatenated, like the context's matrix).
    virtual void translate(double dx, double dy) = 0;
    virtual void scale(double sx, double sy) = 0;

    // Graphics state.
    virtual void setStrokeColor(const QColor& color) = 0;
    virtual void setFillColor(const QColor& color) = 0;
    virtual void setLineWidth(double width) = 0;
    // An empty list of lengths draws solid lines again.
    virtual void setLineDash(double phase, const QList<double>& lengths) = 0;
    virtual void setLineCap(LineCap cap) = 0;

    // Path building. Angles are in radians in the canvas's own coordinates; with clockwise
    // false the arc runs with increasing angle.
    virtual void moveTo(const QPointF& p) = 0;
    virtual void addLineTo(const QPointF& p) = 0;
    virtual void addArc(const QPointF& center, double radius, double startAngle, double endAngle,
                        bool clockwise) = 0;
    // Strokes the current path with the current state and empties it (an empty path draws
    // nothing).
    virtual void strokePath() = 0;

    // Fills.
    virtual void fillRect(const QRectF& rect, const QColor& color) = 0;
    virtual void fillRoundedRect(const QRectF& rect, double radius, const QColor& color) = 0;
    // Top to bottom across the rectangle, clipped to the corner radius.
    virtual void fillLinearGradient(const QRectF& rect, double radius,
                                    const GradientStops& stops) = 0;
    // From the centre out to the radius; the last colour continues beyond it.
    virtual void fillRadialGradient(const QRectF& rect, const QPointF& center, double radius,
                                    const GradientStops& stops) = 0;

    // A picture of the application's bundle drawn upright into the rectangle.
    virtual void drawImage(const QString& name, const QRectF& rect) = 0;

    // Text with its baseline origin at the point, always drawn upright. The advance is that of
    // the first character of the text in the named font.
    virtual double firstGlyphAdvance(const QString& text, const QString& fontName, double size) = 0;
    virtual void drawText(const QString& text, const QString& fontName, double size,
                          const QColor& color, const QPointF& origin) = 0;
};

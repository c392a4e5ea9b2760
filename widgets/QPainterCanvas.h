#pragma once

#include "widgets/Canvas.h"

#include <QPainterPath>
#include <QPen>

class QPainter;

// The screen's canvas: draws through a QPainter. Text and pictures stay upright whatever the
// transformation (a chart flips its y axis), placed at the mapped point.
class QPainterCanvas : public Canvas {
public:
    explicit QPainterCanvas(QPainter& painter);

    void translate(double dx, double dy) override;
    void scale(double sx, double sy) override;
    void setStrokeColor(const QColor& color) override { m_stroke = color; }
    void setFillColor(const QColor& color) override { m_fill = color; }
    void setLineWidth(double width) override { m_width = width; }
    void setLineDash(double phase, const QList<double>& lengths) override;
    void setLineCap(LineCap cap) override { m_cap = cap; }
    void moveTo(const QPointF& p) override { m_path.moveTo(p); }
    void addLineTo(const QPointF& p) override;
    void addArc(const QPointF& center, double radius, double startAngle, double endAngle,
                bool clockwise) override;
    void strokePath() override;
    void fillRect(const QRectF& rect, const QColor& color) override;
    void fillRoundedRect(const QRectF& rect, double radius, const QColor& color) override;
    void fillLinearGradient(const QRectF& rect, double radius, const GradientStops& stops) override;
    void fillRadialGradient(const QRectF& rect, const QPointF& center, double radius,
                            const GradientStops& stops) override;
    void drawImage(const QString& name, const QRectF& rect) override;
    double firstGlyphAdvance(const QString& text, const QString& fontName, double size) override;
    void drawText(const QString& text, const QString& fontName, double size, const QColor& color,
                  const QPointF& origin) override;

    // The font a named face stands for ("STHeitiSC-Light", "Helvetica", ...), pixel-sized.
    static QFont fontNamed(const QString& fontName, double size);

private:
    bool onDevice(const QRectF& rect) const;
    QPainterPath visiblePart(const QPainterPath& path, double grow) const;
    QPainter& m_painter;
    QPainterPath m_path;
    QColor m_stroke = Qt::black;
    QColor m_fill = Qt::black;
    double m_width = 1;
    double m_dashPhase = 0;
    QList<double> m_dash;
    LineCap m_cap = LineCap::Butt;
};

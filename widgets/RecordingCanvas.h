#pragma once

#include "widgets/Canvas.h"

#include <QList>
#include <QTransform>

// A canvas that draws nothing and remembers every operation in the canvas's own (user)
// coordinates, with the state in force when it ran. Text advances are a fixed fraction of the
// font size so text placement is exact and independent of the installed fonts.
class RecordingCanvas : public Canvas {
public:
    struct Segment {
        enum Kind { Move, Line, Arc } kind;
        QPointF point; // Move, Line; the arc's centre for Arc
        double radius = 0;
        double startAngle = 0;
        double endAngle = 0;
        bool clockwise = false;
    };
    struct Stroke {
        QList<Segment> segments;
        QColor color;
        double width = 1;
        double dashPhase = 0;
        QList<double> dash;
        LineCap cap = LineCap::Butt;
    };
    struct Text {
        QString text;
        QString fontName;
        double size = 0;
        QColor color;
        QPointF origin;
    };
    struct Image {
        QString name;
        QRectF rect;
    };
    struct Fill {
        enum Kind { Plain, Rounded, Linear, Radial } kind;
        QRectF rect;
        QColor color; // Plain, Rounded
        double radius = 0;
        QPointF center; // Radial
        GradientStops stops;
    };

    // Every operation in drawing order, by kind and index into its own list.
    enum class Op { Stroke, Text, Image, Fill };

    explicit RecordingCanvas(double advancePerPoint = 0.5) : m_advancePerPoint(advancePerPoint) {}

    void translate(double dx, double dy) override { m_transform.translate(dx, dy); }
    void scale(double sx, double sy) override { m_transform.scale(sx, sy); }
    void setStrokeColor(const QColor& color) override { m_stroke = color; }
    void setFillColor(const QColor& color) override { m_fill = color; }
    void setLineWidth(double width) override { m_width = width; }
    void setLineDash(double phase, const QList<double>& lengths) override;
    void setLineCap(LineCap cap) override { m_cap = cap; }
    void moveTo(const QPointF& p) override;
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

    const QList<Stroke>& strokes() const { return m_strokes; }
    const QList<Text>& texts() const { return m_texts; }
    const QList<Image>& images() const { return m_images; }
    const QList<Fill>& fills() const { return m_fills; }
    const QList<Op>& operations() const { return m_ops; }
    QTransform transform() const { return m_transform; }
    QColor fillColor() const { return m_fill; }
    // The first text equal to the string, or nullptr.
    const Text* findText(const QString& text) const;
    QList<Image> imagesNamed(const QString& name) const;

private:
    double m_advancePerPoint;
    QTransform m_transform;
    QColor m_stroke = Qt::black;
    QColor m_fill = Qt::black;
    double m_width = 1;
    double m_dashPhase = 0;
    QList<double> m_dash;
    LineCap m_cap = LineCap::Butt;
    QList<Segment> m_path;
    QList<Stroke> m_strokes;
    QList<Text> m_texts;
    QList<Image> m_images;
    QList<Fill> m_fills;
    QList<Op> m_ops;
};

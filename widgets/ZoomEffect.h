#pragma once

#include <QGraphicsEffect>

class QWidget;

// Draws a widget, its subviews included, scaled about its centre: the zoom of a box whose
// content is made of widgets, which cannot scale themselves. Input still goes to the widget's
// own place; the zoom lasts only while the box comes and goes.
class ZoomEffect : public QGraphicsEffect {
    Q_OBJECT
public:
    explicit ZoomEffect(QObject* parent = nullptr);

    double scale() const { return m_scale; }
    void setScale(double scale);

    // Gives the widget the scale: an effect while it is not 1, none at rest (drawn as usual).
    static void apply(QWidget* widget, double scale);
    // The scale the widget is drawn at.
    static double scaleOf(const QWidget* widget);

protected:
    QRectF boundingRectFor(const QRectF& rect) const override;
    void draw(QPainter* painter) override;

private:
    double m_scale = 1;
};

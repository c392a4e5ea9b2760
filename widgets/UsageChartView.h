#pragma once

#include "platform/ui/View.h"
#include "widgets/UsagePlot.h"

#include <QList>
#include <QPointF>
#include <QStringList>
#include <QVariantList>

class Canvas;

// What the daily and the monthly usage charts share: their properties, their series, and
// the drawing (the line, a marker and value per point with the first one highlighted in a
// bubble, dashed verticals, the axis and its labels). Each chart says how its points sit,
// what the bubble says and how it writes its texts.
class UsageChartView : public ui::View {
    Q_OBJECT
public:
    // The measures that tell the charts apart.
    struct Look {
        // Points sit half a step left of their verticals instead of on them.
        bool pointsBetweenVerticals = false;
        // The verticals stop this far below the top.
        double verticalTopInset = 0;
        // The bubble's left edge, left of its point.
        double bubbleLeft = 24;
        // The axis labels' baseline, below the axis font size.
        int axisLabelDrop = 8;
        // The highlighted (first) point's caption.
        QString caption;
    };

    // The face every chart text is drawn in.
    static const QString kTextFontName;

    QStringList xAxisValues() const { return m_xAxisValues; }
    void setXAxisValues(const QStringList& values) { m_xAxisValues = values; }
    int xAxisFontSize() const { return m_xAxisFontSize; }
    void setXAxisFontSize(int size) { m_xAxisFontSize = size; }
    QColor xAxisFontColor() const { return m_xAxisFontColor; }
    void setXAxisFontColor(const QColor& color) { m_xAxisFontColor = color; }
    int numberOfVerticalElements() const { return m_numberOfVerticalElements; }
    void setNumberOfVerticalElements(int n) { m_numberOfVerticalElements = n; }
    QColor horizontalLinesColor() const { return m_horizontalLinesColor; }
    void setHorizontalLinesColor(const QColor& color) { m_horizontalLinesColor = color; }
    float max() const { return m_max; }
    void setMax(float value) { m_max = value; }
    float min() const { return m_min; }
    void setMin(float value) { m_min = value; }
    float interval() const { return m_interval; }
    void setInterval(float value) { m_interval = value; }
    float pointerInterval() const { return m_pointerInterval; }
    void setPointerInterval(float value) { m_pointerInterval = value; }
    float axisLineWidth() const { return m_axisLineWidth; }
    void setAxisLineWidth(float value) { m_axisLineWidth = value; }
    float horizontalLineInterval() const { return m_horizontalLineInterval; }
    void setHorizontalLineInterval(float value) { m_horizontalLineInterval = value; }
    float horizontalLineWidth() const { return m_horizontalLineWidth; }
    void setHorizontalLineWidth(float value) { m_horizontalLineWidth = value; }
    float axisBottomLinetHeight() const { return m_axisBottomLinetHeight; }
    void setAxisBottomLinetHeight(float value) { m_axisBottomLinetHeight = value; }
    float axisLeftLineWidth() const { return m_axisLeftLineWidth; }
    void setAxisLeftLineWidth(float value) { m_axisLeftLineWidth = value; }
    QString floatNumberFormatterString() const { return m_floatNumberFormatterString; }
    void setFloatNumberFormatterString(const QString& f) { m_floatNumberFormatterString = f; }
    QVariantList yAxisValues() const { return m_yAxisValues; }
    void setYAxisValues(const QVariantList& values) { m_yAxisValues = values; }
    const QList<UsagePlot>& plots() const { return m_plots; }
    QString fontName() const { return m_fontName; }
    void setFontName(const QString& name) { m_fontName = name; }
    QPointF contentScroll() const { return m_contentScroll; }
    void setContentScroll(const QPointF& scroll) { m_contentScroll = scroll; }

    // A series without values is ignored. The caller asks for the redraw.
    void addPlot(const UsagePlot& plot);
    void clearPlot();
    // Nib-style re-initialisation: the defaults again.
    void awakeFromNib() { commonInit(); }

    // Draws the chart as the screen shows it, into any canvas.
    void draw(Canvas& canvas, const QRectF& rect);

    // A drag of one touch from the previous location to the new one (view coordinates).
    virtual void touchesMoved(const QPointF& location, const QPointF& previousLocation);

protected:
    UsageChartView(float pointerInterval, const Look& look, View* parent);
    void commonInit();

    // Height of a value above the axis, before any vertical scroll. An interval of 0 would
    // put every point at infinity; it counts as 1.
    float valueHeight(const QVariant& value) const;
    static float floatValue(const QVariant& value);

    // A caption or axis label, centred or started one advance to the left as the chart does.
    virtual void drawLabel(Canvas& canvas, const QString& text, int fontSize, const QColor& color,
                           double x, double y) = 0;
    // The value next to a point; `highlighted` for the first one, inside the bubble.
    virtual void drawValue(Canvas& canvas, const QVariant& value, bool highlighted, double x,
                           double y) = 0;

    void drawRect(QPainter& painter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    float m_defaultPointerInterval;
    Look m_look;
    QStringList m_xAxisValues;
    int m_xAxisFontSize = 15;
    QColor m_xAxisFontColor;
    int m_numberOfVerticalElements = 5;
    QColor m_horizontalLinesColor;
    float m_max = 0;
    float m_min = 0;
    float m_interval = 0;
    float m_pointerInterval = 50;
    float m_axisLineWidth = 0.5f;
    float m_horizontalLineInterval = 40;
    float m_horizontalLineWidth = 0.2f;
    float m_axisBottomLinetHeight = 30;
    float m_axisLeftLineWidth = 35;
    QString m_floatNumberFormatterString;
    QVariantList m_yAxisValues;
    QList<UsagePlot> m_plots;
    QString m_fontName;
    QPointF m_contentScroll;
    QPointF m_lastTouch;
};

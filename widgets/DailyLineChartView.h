#pragma once

#include "widgets/UsageChartView.h"

// The daily usage chart: one point per day, the first (today) highlighted with a bubble and
// "今天", value labels with a separate "M", dashed verticals, labels under the axis. Scrolls
// sideways when dragged.
class DailyLineChartView : public UsageChartView {
    Q_OBJECT
public:
    explicit DailyLineChartView(View* parent = nullptr);
    DailyLineChartView(const QRectF& frame, View* parent = nullptr);

    void touchesMoved(const QPointF& location, const QPointF& previousLocation) override;

    // The two text routines; (x, y) is the reference point, the result the offset used.
    // drawText centres texts ending in "M" or holding "-", and starts others one advance to
    // the left; drawText2 always centres.
    static int drawText(Canvas& canvas, const QString& text, int fontSize, const QColor& color,
                        double x, double y);
    static int drawText2(Canvas& canvas, const QString& text, int fontSize, const QColor& color,
                         double x, double y);

protected:
    void drawLabel(Canvas& canvas, const QString& text, int fontSize, const QColor& color, double x,
                   double y) override;
    void drawValue(Canvas& canvas, const QVariant& value, bool highlighted, double x,
                   double y) override;
};

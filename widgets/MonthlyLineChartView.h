#pragma once

#include "widgets/UsageChartView.h"

// The monthly usage chart: points centred between the dashed verticals, the first (this
// month) highlighted with a bubble and "本月", value labels carrying their own unit ("M", or
// "G" from 1025 on). Dragging does not scroll it.
class MonthlyLineChartView : public UsageChartView {
    Q_OBJECT
public:
    explicit MonthlyLineChartView(View* parent = nullptr);
    MonthlyLineChartView(const QRectF& frame, View* parent = nullptr);

    // The value label of a point: whole gigabytes from 1025 MB on, else the value in MB.
    static QString valueLabel(const QVariant& value);
    // Centres texts ending in "M" or "G"; starts others one advance to the left.
    static void drawText(Canvas& canvas, const QString& text, int fontSize, const QColor& color,
                         double x, double y);

protected:
    void drawLabel(Canvas& canvas, const QString& text, int fontSize, const QColor& color, double x,
                   double y) override;
    void drawValue(Canvas& canvas, const QVariant& value, bool highlighted, double x,
                   double y) override;
};

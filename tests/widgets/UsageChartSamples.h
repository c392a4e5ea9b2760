#pragma once

#include "widgets/DailyLineChartView.h"
#include "widgets/MeterProgressView.h"
#include "widgets/MonthlyLineChartView.h"

#include <memory>

// Charts and a meter set up as the usage screens set them up, with believable data.
namespace UsageChartSamples {

inline UsagePlot plotOf(const QVariantList& values) {
    UsagePlot plot;
    plot.setPlottingValues(values);
    plot.setLineColor(QColor(90, 155, 200));
    plot.setLineWidth(1.5f);
    return plot;
}

// A month of daily amounts in MB, today first.
inline std::unique_ptr<DailyLineChartView> dailyChart(int days = 31) {
    auto chart = std::make_unique<DailyLineChartView>(QRectF(0, 0, 320, 220));
    chart->setBackgroundColor(QColor(242, 246, 250));
    QVariantList values;
    QStringList labels;
    for (int d = 0; d < days; ++d) {
        values << QString::number((d * 37 + 11) % 90 + 5);
        labels << QStringLiteral("03-%1").arg(31 - d, 2, 10, QLatin1Char('0'));
    }
    chart->setXAxisValues(labels);
    chart->setMin(0);
    chart->setMax(100);
    chart->setInterval(25);
    chart->addPlot(plotOf(values));
    return chart;
}

inline std::unique_ptr<MonthlyLineChartView> monthlyChart() {
    auto chart = std::make_unique<MonthlyLineChartView>(QRectF(0, 0, 320, 220));
    chart->setBackgroundColor(QColor(242, 246, 250));
    chart->setAxisLeftLineWidth(0);
    chart->setXAxisValues({"3月", "2月", "1月", "12月", "11月", "10月"});
    chart->setMin(0);
    chart->setInterval(600);
    chart->addPlot(plotOf({"812", "1536", "640", "2100", "300", "980"}));
    return chart;
}

inline std::unique_ptr<MeterProgressView> meter(float progress = 62.5f) {
    auto view = std::make_unique<MeterProgressView>(QRectF(52, 31, 216, 165));
    view->setProgress(progress);
    view->setSurplusFlowData("1.25");
    view->setSurplusFlowUnit("GB");
    return view;
}

} // namespace UsageChartSamples

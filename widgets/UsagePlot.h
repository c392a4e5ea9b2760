#pragma once

#include <QColor>
#include <QVariantList>

// One series of a usage chart: its values (numbers or digit texts) and how its line looks.
class UsagePlot {
public:
    QVariantList plottingValues() const { return m_plottingValues; }
    void setPlottingValues(const QVariantList& values) { m_plottingValues = values; }
    QVariantList plottingPointsLabels() const { return m_plottingPointsLabels; }
    void setPlottingPointsLabels(const QVariantList& labels) { m_plottingPointsLabels = labels; }
    QColor lineColor() const { return m_lineColor; }
    void setLineColor(const QColor& color) { m_lineColor = color; }
    float lineWidth() const { return m_lineWidth; }
    void setLineWidth(float width) { m_lineWidth = width; }

private:
    QVariantList m_plottingValues;
    QVariantList m_plottingPointsLabels;
    QColor m_lineColor = Qt::black;
    float m_lineWidth = 1;
};

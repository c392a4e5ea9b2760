#include "screens/usage/FlowFormat.h"

#include "app/core/tavrixConfig.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "widgets/ModalDialogBox.h"
#include "widgets/ModalDialogView.h"
#include "widgets/UsageChartView.h"
#include "widgets/UsagePlot.h"

#include <algorithm>

namespace FlowFormat {

Amount splitAmount(const QString& formatted) {
    constexpr int kUnitLength = 2;
    if (formatted.size() < kUnitLength) return {formatted, QString("")};
    return {formatted.left(formatted.size() - kUnitLength), formatted.right(kUnitLength)};
}

Amount amountOfKb(double kb) {
    return splitAmount(tavrixConfig::formatOfNetworkFlow(kb));
}

ListReading readList(const QVariantMap& reply, const QString& key) {
    ListReading reading;
    const auto it = reply.constFind(key);
    if (it == reply.constEnd() || it->isNull()) return reading;
    reading.present = true;
    reading.valid = ns::Values::isList(*it);
    if (reading.valid) reading.list = it->toList();
    return reading;
}

bool isAccepted(const QVariant& reply) {
    if (!ns::Values::isMap(reply)) return false;
    const QVariantMap map = reply.toMap();
    return !map.contains("result") || ns::Values::integerValue(map.value("result")) == 0;
}

namespace {

// "amount" in KB as whole MB; a negative figure counts as nothing used.
qint64 wholeMegabytes(const QVariant& amount) {
    return std::max<qint64>(0, ns::Values::wholeQuantityValue(amount) / 1024);
}

void finish(ChartSeries& series, qint64 largest) {
    series.max = float(2 * largest);
    series.interval = series.max / 5;
    if (series.interval == 0) series.interval = 1;
}

} // namespace

ChartSeries dailySeries(const QVariantList& days) {
    ChartSeries series;
    qint64 largest = 0;
    for (const QVariant& day : days) {
        const QVariantMap map = day.toMap();
        series.labels.append(ns::Values::stringValue(map.value("date")).mid(5, 5));
        const qint64 mb = wholeMegabytes(map.value("amount"));
        largest = std::max(largest, mb);
        series.values.append(QString::number(mb));
    }
    finish(series, largest);
    return series;
}

ChartSeries monthlySeries(const QVariantList& months, const QString& currentMonth) {
    ChartSeries series;
    qint64 largest = 0;
    for (auto it = months.crbegin(); it != months.crend(); ++it) {
        const QVariantMap map = it->toMap();
        const QString date = ns::Values::stringValue(map.value("date"));
        if (date == currentMonth)
            series.labels.append(QStringLiteral("本月"));
        else if (date.size() == 2 && date.startsWith('0'))
            series.labels.append(date.mid(1) + QStringLiteral("月"));
        else
            series.labels.append(date + QStringLiteral("月"));
        const qint64 mb = wholeMegabytes(map.value("amount"));
        largest = std::max(largest, mb);
        series.values.append(QString::number(mb));
    }
    finish(series, largest);
    return series;
}

void showSeries(UsageChartView* chart, const ChartSeries& series) {
    if (!chart) return;
    chart->clearPlot();
    chart->setMax(series.max);
    chart->setMin(0);
    chart->setInterval(series.interval);
    chart->setXAxisValues(series.labels);
    chart->setAxisLeftLineWidth(0);
    UsagePlot plot;
    plot.setPlottingValues(series.values);
    plot.setLineColor(QColor(165, 165, 165));
    plot.setLineWidth(0.8f);
    chart->addPlot(plot);
    chart->setNeedsDisplay();
}

QString monthName(const QString& month) {
    const QString two = month.right(2);
    if (two.size() == 2 && two.startsWith('0')) return two.mid(1) + QStringLiteral("月");
    return two + QStringLiteral("月");
}

ui::AttributedString greenNumber(const QString& number, double numberSize, const QString& unit,
                                 double unitSize) {
    ui::AttributedString text;
    text.appendString(number, {ui::Font::systemFontOfSize(numberSize),
                               TavrixApplicationSpecific::tavrix_greenColor(), std::nullopt});
    text.appendString(unit, {ui::Font::systemFontOfSize(unitSize), darkGray(), std::nullopt});
    return text;
}

QColor darkGray() {
    return QColor(85, 85, 85);
}

ui::Button* filledButton(const QRectF& frame, const QString& title, const QColor& colour,
                         double fontSize, ui::View* parent) {
    auto* button = new ui::Button(frame, parent);
    button->setTitle(title);
    button->setTitleColor(Qt::white);
    button->titleLabel()->setFont(ui::Font::systemFontOfSize(fontSize));
    button->setBackgroundColor(colour);
    button->setCornerRadius(5);
    return button;
}

ui::Label* textLabel(const QRectF& frame, double fontSize, const QColor& colour, ui::View* parent,
                     const QString& text) {
    auto* label = new ui::Label(frame, parent);
    label->setFont(ui::Font::systemFontOfSize(fontSize));
    label->setTextColor(colour);
    label->setText(text);
    return label;
}

ModalDialogView* dialogWith(ui::View* content, int tag) {
    auto* dialog = new ModalDialogView;
    content->setCornerRadius(7);
    content->setClipsToBounds(true);
    dialog->setTag(tag);
    dialog->setContainerView(content);
    return dialog;
}

} // namespace FlowFormat

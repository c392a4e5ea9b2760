#pragma once

#include "platform/ui/AttributedString.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

class ModalDialogView;
class UsageChartView;

namespace ui {
class Button;
class Label;
class View;
} // namespace ui

// Readings and texts the data-usage screens share.
namespace FlowFormat {

// A formatted amount ("1.25GB") cut into its number and its two-letter unit. A text too short
// to hold a unit (an empty format result) is all number, with no unit.
struct Amount {
    QString number;
    QString unit;
};
Amount splitAmount(const QString& formatted);
// tavrixConfig::formatOfNetworkFlow of a KB figure, split.
Amount amountOfKb(double kb);

// The reply's list under key. A reply without the key gives `present` false; a key that holds
// anything but a list makes `valid` false (a broken reply, never data).
struct ListReading {
    bool present = false;
    bool valid = true;
    QVariantList list;
};
ListReading readList(const QVariantMap& reply, const QString& key);

// Whether a reply read without the common check may be used as data: "result" 0 or absent.
bool isAccepted(const QVariant& reply);

// The points of a usage chart: one label and one value (whole MB) per entry.
struct ChartSeries {
    QStringList labels;
    QVariantList values;
    float max = 0;
    float interval = 1;
};
// Days in row order (newest first): "MM-dd" labels cut from "yyyy-MM-dd" (a shorter date gives
// a shorter or empty label).
ChartSeries dailySeries(const QVariantList& days);
// Months in the reverse of the server's order: "本月" for the current month, else "3月"/"11月".
ChartSeries monthlySeries(const QVariantList& months, const QString& currentMonth);
// Replaces whatever the chart showed by the series, in the screens' grey line.
void showSeries(UsageChartView* chart, const ChartSeries& series);

// "03" -> "3月", "11" -> "11月" from the last two characters of a month text.
QString monthName(const QString& month);

// A number in the brand green beside its unit in dark grey.
ui::AttributedString greenNumber(const QString& number, double numberSize, const QString& unit,
                                 double unitSize);

// The platform's dark grey (one third white).
QColor darkGray();

// A button of white text on a rounded colour, as the data-usage screens and dialogs use.
ui::Button* filledButton(const QRectF& frame, const QString& title, const QColor& colour,
                         double fontSize, ui::View* parent);
// A label in the system font of that size and colour.
ui::Label* textLabel(const QRectF& frame, double fontSize, const QColor& colour, ui::View* parent,
                     const QString& text = QString());
// A new dialog holding content (rounded, clipped) under a tag; the caller shows it.
ModalDialogView* dialogWith(ui::View* content, int tag);

} // namespace FlowFormat

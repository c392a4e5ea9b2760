#pragma once

#include <QDateTime>
#include <QString>

namespace ns {

// Date texts with the date-format patterns the screens pass ("yyyy-MM-dd HH:mm:ss", "yyyyMM",
// "MM月dd日"...), in the device's local time zone.
namespace DateFormat {
QString format(const QDateTime& when, const QString& pattern);
// The moment the text stands for, invalid when it does not match the pattern.
QDateTime parse(const QString& text, const QString& pattern);
// The current moment; tests may pin it.
QDateTime now();
void setNowOverride(const QDateTime& when); // invalid to release
} // namespace DateFormat

} // namespace ns

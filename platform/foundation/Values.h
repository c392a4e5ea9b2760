#pragma once

#include <QString>
#include <QVariant>

namespace ns {

// Reading loosely typed values: server replies and stored settings carry numbers, booleans
// and texts interchangeably ("1", 1 and true all mean yes), so every reader accepts all three.
namespace Values {
// Texts: leading blanks, an optional sign, then the leading digits ("12abc" is 12, "abc" 0);
// numbers truncate; anything else is 0. Saturates instead of overflowing.
qint64 integerValue(const QVariant& v);
// Texts: after leading blanks, an optional sign and zeros, YES when the next character is
// one of "YyTt" or a digit 1-9 ("YES", "true", "1", "007" are YES; "NO", "0", "" are NO).
// Numbers: non-zero. Booleans as they are. Anything else NO.
bool boolValue(const QVariant& v);
// Texts as the leading decimal number they start with; numbers as they are; else 0.
double doubleValue(const QVariant& v);
bool isString(const QVariant& v);
bool isNumber(const QVariant& v); // numbers and booleans (both are numbers on the wire)
bool isMap(const QVariant& v);
bool isList(const QVariant& v);
// A string for strings, the shortest decimal text for numbers, "" otherwise.
QString stringValue(const QVariant& v);
} // namespace Values

} // namespace ns

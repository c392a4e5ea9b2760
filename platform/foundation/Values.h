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
// A string for strings, "" for anything but a string or a number. Numbers in their plain
// decimal form: the fewest digits that read back as the same number (33.3, not
// 33.299999999999997), whole ones without a fraction, and without an exponent unless the
// number is below 0.0001 or beyond 1e17 in size.
QString stringValue(const QVariant& v);

// Every count or amount read from a reply (KB of data, yuan, points, per cent) goes through
// these. A server may send anything: the figure is always finite and within +-kQuantityLimit
// (NaN reads 0; beyond the limit, infinities too, reads the limit), so that sums, differences,
// per-cent shares and scaling by 1024 of two such figures cannot overflow a qint64, and each
// converts to and from a double exactly. 2^50 KB is a thousand times any real plan.
inline constexpr qint64 kQuantityLimit = qint64(1) << 50;
// As doubleValue reads it (fractions kept), bounded.
double quantityValue(const QVariant& v);
// As integerValue reads it (fractions dropped), bounded.
qint64 wholeQuantityValue(const QVariant& v);
} // namespace Values

} // namespace ns

#include "platform/foundation/Values.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

namespace ns::Values {

namespace {

qsizetype skipBlanks(const QString& s, qsizetype i = 0) {
    while (i < s.size() && s.at(i).isSpace())
        ++i;
    return i;
}

} // namespace

bool isString(const QVariant& v) {
    return v.typeId() == QMetaType::QString;
}

bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isMap(const QVariant& v) {
    return v.typeId() == QMetaType::QVariantMap;
}
bool isList(const QVariant& v) {
    return v.typeId() == QMetaType::QVariantList;
}

qint64 integerValue(const QVariant& v) {
    if (isNumber(v)) {
        if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
            const double d = v.toDouble();
            if (d != d) return 0;
            if (d >= 9.2e18) return std::numeric_limits<qint64>::max();
            if (d <= -9.2e18) return std::numeric_limits<qint64>::min();
            return qint64(d);
        }
        return v.toLongLong();
    }
    if (!isString(v)) return 0;
    const QString s = v.toString();
    qsizetype i = skipBlanks(s);
    bool negative = false;
    if (i < s.size() && (s.at(i) == u'-' || s.at(i) == u'+')) negative = s.at(i++) == u'-';
    qint64 n = 0;
    for (; i < s.size() && s.at(i) >= u'0' && s.at(i) <= u'9'; ++i) {
        const int d = s.at(i).unicode() - u'0';
        if (n > (std::numeric_limits<qint64>::max() - d) / 10)
            return negative ? std::numeric_limits<qint64>::min()
                            : std::numeric_limits<qint64>::max();
        n = n * 10 + d;
    }
    return negative ? -n : n;
}

bool boolValue(const QVariant& v) {
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    if (isNumber(v)) return v.toDouble() != 0;
    if (!isString(v)) return false;
    const QString s = v.toString();
    qsizetype i = skipBlanks(s);
    if (i < s.size() && (s.at(i) == u'-' || s.at(i) == u'+')) ++i;
    while (i < s.size() && s.at(i) == u'0')
        ++i;
    if (i >= s.size()) return false;
    const QChar c = s.at(i);
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

double doubleValue(const QVariant& v) {
    if (isNumber(v)) return v.toDouble();
    if (!isString(v)) return 0;
    const QString s = v.toString();
    qsizetype i = skipBlanks(s);
    qsizetype end = i;
    if (end < s.size() && (s.at(end) == u'-' || s.at(end) == u'+')) ++end;
    bool seenDot = false;
    while (end < s.size() && (s.at(end).isDigit() || (s.at(end) == u'.' && !seenDot))) {
        if (s.at(end) == u'.') seenDot = true;
        ++end;
    }
    bool ok = false;
    const double d = s.mid(i, end - i).toDouble(&ok);
    return ok ? d : 0;
}

QString stringValue(const QVariant& v) {
    if (isString(v)) return v.toString();
    if (v.typeId() == QMetaType::Bool) return v.toBool() ? "1" : "0";
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
        const double d = v.toDouble();
        // Range first: converting an out-of-range double to an integer is undefined.
        if (std::abs(d) < 1e15 && d == double(qint64(d))) return QString::number(qint64(d));
        const double size = std::abs(d);
        const char format = size >= 1e-4 && size < 1e17 ? 'f' : 'g';
        return QString::number(d, format, QLocale::FloatingPointShortest);
    }
    if (isNumber(v)) return QString::number(v.toLongLong());
    return {};
}

double quantityValue(const QVariant& v) {
    const double d = doubleValue(v);
    if (std::isnan(d)) return 0;
    return std::clamp(d, -double(kQuantityLimit), double(kQuantityLimit));
}

qint64 wholeQuantityValue(const QVariant& v) {
    return std::clamp(integerValue(v), -kQuantityLimit, kQuantityLimit);
}

} // namespace ns::Values

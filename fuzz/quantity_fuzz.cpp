// Feeds arbitrary bytes, as a reply and as one raw value, to the readers every screen takes
// counts and amounts through: each figure must come back finite and bounded, the arithmetic
// the screens do on two of them (differences, sums, scaling by 1024, shares) must not
// overflow, and a number's decimal text must read back as the same number.

#include "platform/foundation/Json.h"
#include "platform/foundation/Values.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(const QVariant& a, const QVariant& b) {
    using namespace ns::Values;
    const double x = quantityValue(a);
    const double y = quantityValue(b);
    if (!std::isfinite(x) || std::abs(x) > double(kQuantityLimit)) std::abort();
    const qint64 m = wholeQuantityValue(a);
    const qint64 n = wholeQuantityValue(b);
    if (m > kQuantityLimit || m < -kQuantityLimit) std::abort();
    // What the cells and the meter do with two figures; the sanitizer catches any overflow.
    volatile qint64 left = m - n;
    volatile qint64 sum = m + n;
    volatile qint64 bytes = (m - n) * 1024;
    volatile double share = y > 0 ? 1 - x / y : 0;
    (void)left, (void)sum, (void)bytes, (void)share;
    if (isNumber(a) && std::isfinite(a.toDouble()) && a.typeId() != QMetaType::Bool) {
        bool ok = false;
        const double back = stringValue(a).toDouble(&ok);
        if (!ok || back != a.toDouble()) std::abort();
    }
}

void walk(const QVariant& v, const QVariant& previous, int depth) {
    check(v, previous);
    if (depth > 8) return;
    if (ns::Values::isMap(v))
        for (const QVariant& item : v.toMap())
            walk(item, v, depth + 1);
    else if (ns::Values::isList(v))
        for (const QVariant& item : v.toList())
            walk(item, v, depth + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    walk(ns::Json::parse(bytes), QVariant(), 0);
    // The same bytes as a text value, and as the numbers a reply may carry.
    const QString text = QString::fromUtf8(bytes);
    check(QVariant(text), QVariant(text.right(8)));
    if (size >= sizeof(double)) {
        double d = 0;
        qint64 i = 0;
        memcpy(&d, data, sizeof d);
        memcpy(&i, data, sizeof i);
        check(QVariant(d), QVariant(qlonglong(i)));
        check(QVariant(qlonglong(i)), QVariant(d));
    }
    return 0;
}

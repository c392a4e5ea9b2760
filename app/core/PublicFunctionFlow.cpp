#include "app/core/PublicFunction.h"

#include "platform/foundation/Values.h"

// Data products come in two key sets: the recommended one of "FlowProduct" lists and the plain
// one of "FlowRecommend" lists.
namespace {

QString keyFor(bool isRecommend, const char* recommended, const char* plain) {
    return QString::fromLatin1(isRecommend ? recommended : plain);
}

// Screens show these texts as they are; a missing or non-text value reads as empty.
QString textOf(const QVariantMap& record, const QString& key) {
    const QVariant value = record.value(key);
    if (!ns::Values::isString(value) && !ns::Values::isNumber(value)) return QString("");
    return ns::Values::stringValue(value);
}

} // namespace

QString PublicFunction::changeFlowUnit(qint64 kb, bool isInteger) {
    constexpr qint64 kMega = 1024;
    constexpr qint64 kGiga = 1024 * 1024;
    if (kb < kMega) return QStringLiteral("%1K").arg(kb);
    if (kb < kGiga) {
        if (isInteger) return QStringLiteral("%1M").arg(kb / kMega);
        // Single precision on purpose: 1048575 KB reads 1024.00M, as it always has.
        const float mega = float(kb) * (1.0f / 1024.0f);
        return QString::asprintf("%.2fM", double(mega));
    }
    if (isInteger) return QStringLiteral("%1G").arg(kb / kGiga);
    const float giga = float(kb) * (1.0f / 1048576.0f);
    return QString::asprintf("%.2fG", double(giga));
}

qint64 PublicFunction::getFlowSize(const QVariantMap& record, bool isRecommend) {
    return ns::Values::wholeQuantityValue(record.value(keyFor(isRecommend, "unit", "freesource")));
}

qint64 PublicFunction::getFlowProductId(const QVariantMap& record, bool isRecommend) {
    return ns::Values::integerValue(
        record.value(keyFor(isRecommend, "productId", "productshortid")));
}

QString PublicFunction::getFlowProductDesc(const QVariantMap& record, bool isRecommend) {
    return textOf(record, keyFor(isRecommend, "desc", "desc1"));
}

QString PublicFunction::getFlowProductName(const QVariantMap& record, bool isRecommend) {
    return textOf(record, keyFor(isRecommend, "productName", "productname"));
}

QString PublicFunction::getFlowMarketId(const QVariantMap& record, bool isRecommend) {
    return textOf(record, keyFor(isRecommend, "marketId", "marketid"));
}

QString PublicFunction::getFlowProductFee(const QVariantMap& record) {
    const QString fee = textOf(record, QStringLiteral("fee"));
    return fee.isEmpty() ? fee : fee + QStringLiteral("元");
}

QString PublicFunction::getFlowProductLevel(const QVariantMap& record, bool isRecommend) {
    return textOf(record, QStringLiteral("fee")) + QStringLiteral("元/月") +
           changeFlowUnit(getFlowSize(record, isRecommend), true);
}

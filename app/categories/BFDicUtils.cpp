#include "app/categories/BFDicUtils.h"

#include "platform/foundation/Values.h"

using ns::Values::isList;
using ns::Values::isMap;
using ns::Values::isNumber;
using ns::Values::isString;

bool BFDicUtils::isNull(const QVariant& object, const QString& key) {
    return !isMap(object) || object.toMap().isEmpty() || key.isEmpty();
}

QString BFDicUtils::getString(const QVariant& object, const QString& key) {
    if (isNull(object, key)) return QString("");
    const QVariantMap map = object.toMap();
    const auto it = map.constFind(key);
    if (it == map.constEnd()) return QString();
    if (isString(*it)) return it->toString().isEmpty() ? QString("") : it->toString();
    if (isNumber(*it)) return ns::Values::stringValue(*it);
    return QString("");
}

qint64 BFDicUtils::getInt(const QVariant& object, const QString& key) {
    if (isNull(object, key)) return 0;
    return ns::Values::integerValue(object.toMap().value(key));
}

QVariantMap BFDicUtils::getDic(const QVariant& object, const QString& key) {
    if (isNull(object, key)) return {};
    const QVariant v = object.toMap().value(key);
    return isMap(v) ? v.toMap() : QVariantMap();
}

QVariantList BFDicUtils::getList(const QVariant& object, const QString& key) {
    if (isNull(object, key)) return {};
    const QVariant v = object.toMap().value(key);
    return isList(v) ? v.toList() : QVariantList();
}

bool BFDicUtils::getBool(const QVariant& object, const QString& key) {
    if (isNull(object, key)) return false;
    return ns::Values::boolValue(object.toMap().value(key));
}

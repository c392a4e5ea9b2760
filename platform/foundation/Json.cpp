#include "platform/foundation/Json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ns::Json {

QVariant parse(const QByteArray& bytes) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) return {};
    if (doc.isObject()) return doc.object().toVariantMap();
    if (doc.isArray()) return doc.array().toVariantList();
    return {};
}

QByteArray serialize(const QVariant& value) {
    return QJsonDocument::fromVariant(value).toJson(QJsonDocument::Compact);
}

} // namespace ns::Json

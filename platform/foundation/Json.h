#pragma once

#include <QByteArray>
#include <QVariant>

namespace ns {

namespace Json {
// A JSON object gives a QVariantMap, an array a QVariantList; anything else (empty, HTML,
// a bare scalar, broken text) gives an invalid QVariant. Integers stay 64-bit exact.
QVariant parse(const QByteArray& bytes);
QByteArray serialize(const QVariant& value);
} // namespace Json

} // namespace ns

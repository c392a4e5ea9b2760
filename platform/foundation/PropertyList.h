#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace ns {

// XML property lists. Maps dictionaries to QVariantMap, arrays to QVariantList, booleans to
// bool, integers to qlonglong, reals to double, strings to QString, data to QByteArray.
namespace PropertyList {
QByteArray toXml(const QVariant& value);
// An invalid QVariant when the bytes are not a property list, or nest deeper than any file
// of ours does (a damaged file).
QVariant fromXml(const QByteArray& xml);
QVariant readFile(const QString& path);
// Atomic (a crash mid-write leaves the old file) and owner-only (0600).
bool writeFile(const QString& path, const QVariant& value);
} // namespace PropertyList

} // namespace ns

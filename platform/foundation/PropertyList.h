#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace ns {

// Property lists. Maps dictionaries to QVariantMap, arrays to QVariantList, booleans to
// bool, integers to qlonglong, reals to double, strings to QString, data to QByteArray.
//
// Every read first measures the bytes without building anything and refuses what no file
// of ours looks like (too big, too deep, too many entries): the library builds and frees its
// trees recursively, and takes quadratic time over a dictionary's keys.
namespace PropertyList {

constexpr qsizetype kMaxBytes = 1024 * 1024;
// Containers inside containers; the root element and a value's own element come on top.
constexpr int kMaxDepth = 128;
// Values, keys and containers together.
constexpr qint64 kMaxObjects = 20000;

// What the bytes would make, counted in one pass. A binary list's shared objects count once
// per use, as the library copies them.
struct Shape {
    bool wellFormed = false;
    int depth = 0;
    qint64 objects = 0; // stops counting past kMaxObjects
};
Shape measure(const QByteArray& bytes);
// Within every limit above.
bool isAcceptable(const QByteArray& bytes);

QByteArray toXml(const QVariant& value);
// An invalid QVariant when the bytes are not an XML property list or are not acceptable.
QVariant fromXml(const QByteArray& xml);
// The same for an XML or a binary property list.
QVariant fromData(const QByteArray& bytes);
// XML or binary; a file bigger than kMaxBytes is not read at all.
QVariant readFile(const QString& path);
// Atomic (a crash mid-write leaves the old file) and owner-only (0600). Writes nothing, and
// answers false, for a value that the reader would refuse.
bool writeFile(const QString& path, const QVariant& value);
} // namespace PropertyList

} // namespace ns

#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

// Safe readers of reply dictionaries: a missing key, a value of the wrong type or an object
// that is not a dictionary gives the type's empty value, never a wrongly typed one.
class BFDicUtils {
public:
    BFDicUtils() = delete;

    static QVariantMap dic() { return {}; }
    // YES when the object is not a dictionary, is empty, or the key is empty (presence of
    // the key is not tested).
    static bool isNull(const QVariant& object, const QString& key);
    // Texts as they are, numbers as their decimal text; anything else "" (null when the key
    // is missing).
    static QString getString(const QVariant& object, const QString& key);
    // Numbers truncated, texts by their leading digits; 64-bit, so millisecond dates fit.
    static qint64 getInt(const QVariant& object, const QString& key);
    // Empty unless the value is a dictionary.
    static QVariantMap getDic(const QVariant& object, const QString& key);
    // Empty unless the value is an array.
    static QVariantList getList(const QVariant& object, const QString& key);
    // Booleans, numbers and "YES"/"true"/"1" texts; anything else NO.
    static bool getBool(const QVariant& object, const QString& key);
};

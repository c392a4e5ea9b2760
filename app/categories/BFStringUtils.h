#pragma once

#include <QString>

// Small text measures used by the screens' input checks.
class BFStringUtils {
public:
    BFStringUtils() = delete;

    // Null or ""; blanks are not empty.
    static bool isEmpty(const QString& text);
    // A non-ASCII character counts 1, an ASCII character a half, rounded up.
    static int length(const QString& text);
    static bool stringContainsEmoji(const QString& text);
    // 32 upper-case hexadecimal digits.
    static QString getUUID();
    static QString concat(const QString& ignored);
};

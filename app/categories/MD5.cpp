#include "app/categories/MD5.h"

#include "platform/foundation/Crypto.h"

namespace MD5 {

QString md5(const QString& text) {
    return QString::fromLatin1(ns::Crypto::md5(text.toUtf8()).toHex().toUpper());
}

} // namespace MD5

#include "app/categories/Encryption.h"

#include "platform/foundation/Crypto.h"

#include <optional>

namespace Encryption {

namespace {

// Null data for a failure; a success stays non-null even when empty (an empty text is a
// legitimate plain text).
QByteArray nullOnFailure(const std::optional<QByteArray>& result) {
    if (!result) return {};
    return result->isNull() ? QByteArray("") : *result;
}

QByteArray md5Key(const QString& key) {
    return ns::Crypto::md5(key.toUtf8());
}

} // namespace

QByteArray AES128EncryptWithMD5Key(const QByteArray& data, const QString& key) {
    return nullOnFailure(ns::Crypto::aes128EcbEncrypt(md5Key(key), data));
}

QByteArray AES128DecryptWithMD5Key(const QByteArray& data, const QString& key) {
    return nullOnFailure(ns::Crypto::aes128EcbDecrypt(md5Key(key), data));
}

QByteArray AES256EncryptWithKey(const QByteArray& data, const QString& key) {
    return nullOnFailure(ns::Crypto::aes256EcbEncrypt(key.toUtf8(), data));
}

QByteArray AES256DecryptWithKey(const QByteArray& data, const QString& key) {
    return nullOnFailure(ns::Crypto::aes256EcbDecrypt(key.toUtf8(), data));
}

QString newStringInBase64FromData(const QByteArray& data) {
    return QString::fromLatin1(data.toBase64(QByteArray::OmitTrailingEquals));
}

QString base64encode(const QString& text) {
    return QString::fromLatin1(text.toUtf8().toBase64());
}

} // namespace Encryption

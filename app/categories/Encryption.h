#pragma once

#include <QByteArray>
#include <QString>

// Digest and cipher routines over raw data. Every cipher routine gives null (isNull) data when
// the operation fails; a success is never null, even when it is empty.
namespace Encryption {

// AES-128, ECB, PKCS#7 padding, no IV, under the MD5 digest of the key string's UTF-8 bytes.
QByteArray AES128EncryptWithMD5Key(const QByteArray& data, const QString& key);
QByteArray AES128DecryptWithMD5Key(const QByteArray& data, const QString& key);

// AES-256, ECB, PKCS#7 padding, no IV, under the key string's UTF-8 bytes (at most 32, the rest
// of the 32-byte key zero).
QByteArray AES256EncryptWithKey(const QByteArray& data, const QString& key);
QByteArray AES256DecryptWithKey(const QByteArray& data, const QString& key);

// Base64 (standard alphabet) without "=" padding.
QString newStringInBase64FromData(const QByteArray& data);
// The text's UTF-8 bytes in Base64 with "=" padding.
QString base64encode(const QString& text);

} // namespace Encryption

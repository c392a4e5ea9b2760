#pragma once

#include <QByteArray>

namespace ns {

namespace Crypto {
QByteArray md5(const QByteArray& data); // 16 raw bytes
// AES-128 with PKCS#7 padding. Keys are 16 bytes (shorter ones are zero-padded, longer ones
// cut). An empty result means failure (bad padding, wrong key, ragged cipher text).
QByteArray aes128EcbEncrypt(const QByteArray& key, const QByteArray& plain);
QByteArray aes128EcbDecrypt(const QByteArray& key, const QByteArray& cipher);
// AES-128-CBC with PKCS#7 padding; a missing IV is sixteen zero bytes.
QByteArray aes128CbcEncrypt(const QByteArray& key, const QByteArray& iv, const QByteArray& plain);
QByteArray aes128CbcDecrypt(const QByteArray& key, const QByteArray& iv, const QByteArray& cipher);
QByteArray randomBytes(int count);
} // namespace Crypto

} // namespace ns

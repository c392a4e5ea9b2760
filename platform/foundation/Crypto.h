#pragma once

#include <QByteArray>
#include <optional>

namespace ns {

namespace Crypto {
QByteArray md5(const QByteArray& data); // 16 raw bytes

// AES with PKCS#7 padding. No value means failure (bad padding, wrong key, ragged cipher
// text); a value may be empty, as when an empty text was encrypted and is read back.
// AES-128 keys are 16 bytes and AES-256 keys 32: shorter ones are zero-padded, longer ones cut.
std::optional<QByteArray> aes128EcbEncrypt(const QByteArray& key, const QByteArray& plain);
std::optional<QByteArray> aes128EcbDecrypt(const QByteArray& key, const QByteArray& cipher);
std::optional<QByteArray> aes256EcbEncrypt(const QByteArray& key, const QByteArray& plain);
std::optional<QByteArray> aes256EcbDecrypt(const QByteArray& key, const QByteArray& cipher);
// AES-128-CBC; a missing IV is sixteen zero bytes.
std::optional<QByteArray> aes128CbcEncrypt(const QByteArray& key, const QByteArray& iv,
                                           const QByteArray& plain);
std::optional<QByteArray> aes128CbcDecrypt(const QByteArray& key, const QByteArray& iv,
                                           const QByteArray& cipher);
QByteArray randomBytes(int count);
} // namespace Crypto

} // namespace ns

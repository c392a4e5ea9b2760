#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace sandbox {

// The operator's field encryption: AES-128-ECB with PKCS#7 padding under the MD5 of a key
// string (a fixed prefix followed by the request's nonce), written as lower-case hex.
class SandboxCipher {
public:
    // The prefix the client uses for the encrypted fields of its requests.
    static QString requestKeyPrefix();
    // The request prefix followed by the nonce.
    static QString requestKeyString(const QString& nonce);

    static QString encrypt(const QString& plain, const QString& keyString);
    // Hex in either case, blanks between digits allowed. Nothing for bad hex, a wrong key
    // (bad padding) or bytes that are not UTF-8.
    static std::optional<QString> decrypt(const QString& hex, const QString& keyString);

    static std::optional<QByteArray> hexToBytes(const QString& hex);
};

} // namespace sandbox

#include "SandboxTest.h"

#include "platform/foundation/Crypto.h"

namespace {

QByteArray clientKey(const QString& nonce) {
    return ns::Crypto::md5(QByteArray("gKd3Ye9ZuH1nBc6A") + nonce.toUtf8());
}

} // namespace

QString clientEncrypt(const QString& plain, const QString& nonce) {
    return QString::fromLatin1(
        ns::Crypto::aes128EcbEncrypt(clientKey(nonce), plain.toUtf8()).value_or("").toHex());
}

QString clientDecrypt(const QString& hex, const QString& nonce) {
    return QString::fromUtf8(
        ns::Crypto::aes128EcbDecrypt(clientKey(nonce), QByteArray::fromHex(hex.toLatin1()))
            .value_or(""));
}

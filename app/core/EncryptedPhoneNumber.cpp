#include "app/core/EncryptedPhoneNumber.h"

#include "app/core/PublicFunction.h"

namespace {
// Both prefixes are fixed by the server side; they are not secrets worth hiding in a client.
constexpr char16_t kRequestPrefix[] = u"gKd3Ye9ZuH1nBc6A";
constexpr char16_t kWebPrefix[] = u"Tq4VbN8sWp2LmRx7";
} // namespace

QString EncryptedPhoneNumber::requestKeyPrefix() {
    return QString::fromUtf16(kRequestPrefix);
}

QString EncryptedPhoneNumber::webKeyPrefix() {
    return QString::fromUtf16(kWebPrefix);
}

EncryptedPhoneNumber EncryptedPhoneNumber::forRequest() {
    return {requestKeyPrefix(), PublicFunction::randomStr(16).toLower()};
}

EncryptedPhoneNumber EncryptedPhoneNumber::forWebPage() {
    return {webKeyPrefix(), PublicFunction::randomStr(16).toLower()};
}

EncryptedPhoneNumber::EncryptedPhoneNumber(const QString& keyPrefix, const QString& nonce)
    : m_keyPrefix(keyPrefix), m_nonce(nonce) {}

QString EncryptedPhoneNumber::encrypt(const QString& text) const {
    return PublicFunction::cryptAES128WithMD5KEY(text, keyString());
}

QString EncryptedPhoneNumber::decrypt(const QString& hex) const {
    return PublicFunction::decryptAES128WithMD5KEY(hex, keyString());
}

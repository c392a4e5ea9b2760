#include "sandbox/SandboxCipher.h"

#include <QCryptographicHash>
#include <QStringDecoder>
#include <memory>
#include <openssl/evp.h>

namespace sandbox {

namespace {

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

QByteArray keyFor(const QString& keyString) {
    return QCryptographicHash::hash(keyString.toUtf8(), QCryptographicHash::Md5);
}

std::optional<QByteArray> runCipher(bool encrypt, const QByteArray& key, const QByteArray& in) {
    CipherContext ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!ctx) return std::nullopt;
    const auto* k = reinterpret_cast<const unsigned char*>(key.constData());
    if (EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, k, nullptr, encrypt ? 1 : 0) != 1)
        return std::nullopt;
    QByteArray out(in.size() + 16, Qt::Uninitialized);
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    int written = 0;
    int last = 0;
    if (EVP_CipherUpdate(ctx.get(), o, &written,
                         reinterpret_cast<const unsigned char*>(in.constData()),
                         int(in.size())) != 1)
        return std::nullopt;
    if (EVP_CipherFinal_ex(ctx.get(), o + written, &last) != 1) return std::nullopt;
    out.resize(written + last);
    return out;
}

int hexDigit(QChar c) {
    if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
    return -1;
}

} // namespace

QString SandboxCipher::requestKeyPrefix() {
    return QStringLiteral("gKd3Ye9ZuH1nBc6A");
}

QString SandboxCipher::requestKeyString(const QString& nonce) {
    return requestKeyPrefix() + nonce;
}

QString SandboxCipher::encrypt(const QString& plain, const QString& keyString) {
    const auto cipher = runCipher(true, keyFor(keyString), plain.toUtf8());
    return cipher ? QString::fromLatin1(cipher->toHex()) : QString();
}

std::optional<QString> SandboxCipher::decrypt(const QString& hex, const QString& keyString) {
    const auto bytes = hexToBytes(hex);
    // Every cipher text is whole blocks; nothing of zero length was ever encrypted.
    if (!bytes || bytes->isEmpty() || bytes->size() % 16 != 0) return std::nullopt;
    const auto plain = runCipher(false, keyFor(keyString), *bytes);
    if (!plain) return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(*plain);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

std::optional<QByteArray> SandboxCipher::hexToBytes(const QString& hex) {
    QString digits = hex.toUpper();
    digits.remove(u' ');
    if (digits.size() % 2 != 0) return std::nullopt;
    QByteArray bytes;
    bytes.reserve(digits.size() / 2);
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        const int high = hexDigit(digits[i]);
        const int low = hexDigit(digits[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.append(char(high * 16 + low));
    }
    return bytes;
}

} // namespace sandbox

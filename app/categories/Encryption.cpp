#include "app/categories/Encryption.h"

#include "platform/foundation/Crypto.h"

#include <memory>
#include <openssl/evp.h>

namespace Encryption {

namespace {

// One ECB pass. ns::Crypto's helpers cannot tell an empty result from a failure, and the empty
// text is a legitimate plain text here, so this runs the cipher itself.
QByteArray ecb(const EVP_CIPHER* cipher, bool encrypt, const QByteArray& key,
               const QByteArray& in) {
    if (!encrypt && (in.isEmpty() || in.size() % 16 != 0)) return {};
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
    if (!ctx) return {};
    if (EVP_CipherInit_ex(ctx.get(), cipher, nullptr,
                          reinterpret_cast<const unsigned char*>(key.constData()), nullptr,
                          encrypt ? 1 : 0) != 1)
        return {};
    // Padding adds at most one block.
    QByteArray out(in.size() + 16, '\0');
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    int len1 = 0;
    int len2 = 0;
    if (EVP_CipherUpdate(ctx.get(), o, &len1,
                         reinterpret_cast<const unsigned char*>(in.constData()),
                         int(in.size())) != 1)
        return {};
    if (EVP_CipherFinal_ex(ctx.get(), o + len1, &len2) != 1) return {};
    out.truncate(len1 + len2);
    return out; // allocated above, so never null
}

QByteArray md5Key(const QString& key) {
    return ns::Crypto::md5(key.toUtf8());
}

QByteArray aes256Key(const QString& key) {
    QByteArray k = key.toUtf8().left(32);
    k.append(QByteArray(32 - k.size(), '\0'));
    return k;
}

} // namespace

QByteArray AES128EncryptWithMD5Key(const QByteArray& data, const QString& key) {
    return ecb(EVP_aes_128_ecb(), true, md5Key(key), data);
}

QByteArray AES128DecryptWithMD5Key(const QByteArray& data, const QString& key) {
    return ecb(EVP_aes_128_ecb(), false, md5Key(key), data);
}

QByteArray AES256EncryptWithKey(const QByteArray& data, const QString& key) {
    return ecb(EVP_aes_256_ecb(), true, aes256Key(key), data);
}

QByteArray AES256DecryptWithKey(const QByteArray& data, const QString& key) {
    return ecb(EVP_aes_256_ecb(), false, aes256Key(key), data);
}

QString newStringInBase64FromData(const QByteArray& data) {
    return QString::fromLatin1(data.toBase64(QByteArray::OmitTrailingEquals));
}

QString base64encode(const QString& text) {
    return QString::fromLatin1(text.toUtf8().toBase64());
}

} // namespace Encryption

#include "platform/foundation/Crypto.h"

#include <QRandomGenerator>
#include <memory>
#include <openssl/evp.h>

namespace ns::Crypto {

namespace {

QByteArray fitKey(const QByteArray& key, int size) {
    QByteArray k = key.left(size);
    k.append(QByteArray(size - k.size(), '\0'));
    return k;
}

std::optional<QByteArray> run(const EVP_CIPHER* cipher, bool encrypt, const QByteArray& key,
                              const QByteArray& iv, const QByteArray& in) {
    // Cipher text comes in whole blocks, at least one (the padding).
    if (!encrypt && (in.isEmpty() || in.size() % 16 != 0)) return std::nullopt;
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
    if (!ctx) return std::nullopt;
    const QByteArray k = fitKey(key, EVP_CIPHER_key_length(cipher));
    const QByteArray v = fitKey(iv, 16);
    if (EVP_CipherInit_ex(
            ctx.get(), cipher, nullptr, reinterpret_cast<const unsigned char*>(k.constData()),
            reinterpret_cast<const unsigned char*>(v.constData()), encrypt ? 1 : 0) != 1)
        return std::nullopt;
    // Padding adds at most one block.
    QByteArray out(in.size() + 16, '\0');
    int len1 = 0;
    int len2 = 0;
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    if (EVP_CipherUpdate(ctx.get(), o, &len1,
                         reinterpret_cast<const unsigned char*>(in.constData()),
                         int(in.size())) != 1)
        return std::nullopt;
    if (EVP_CipherFinal_ex(ctx.get(), o + len1, &len2) != 1) return std::nullopt;
    out.resize(len1 + len2);
    return out;
}

} // namespace

QByteArray md5(const QByteArray& data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    EVP_Digest(data.constData(), size_t(data.size()), digest, &len, EVP_md5(), nullptr);
    return QByteArray(reinterpret_cast<const char*>(digest), int(len));
}

std::optional<QByteArray> aes128EcbEncrypt(const QByteArray& key, const QByteArray& plain) {
    return run(EVP_aes_128_ecb(), true, key, {}, plain);
}

std::optional<QByteArray> aes128EcbDecrypt(const QByteArray& key, const QByteArray& cipher) {
    return run(EVP_aes_128_ecb(), false, key, {}, cipher);
}

std::optional<QByteArray> aes256EcbEncrypt(const QByteArray& key, const QByteArray& plain) {
    return run(EVP_aes_256_ecb(), true, key, {}, plain);
}

std::optional<QByteArray> aes256EcbDecrypt(const QByteArray& key, const QByteArray& cipher) {
    return run(EVP_aes_256_ecb(), false, key, {}, cipher);
}

std::optional<QByteArray> aes128CbcEncrypt(const QByteArray& key, const QByteArray& iv,
                                           const QByteArray& plain) {
    return run(EVP_aes_128_cbc(), true, key, iv, plain);
}

std::optional<QByteArray> aes128CbcDecrypt(const QByteArray& key, const QByteArray& iv,
                                           const QByteArray& cipher) {
    return run(EVP_aes_128_cbc(), false, key, iv, cipher);
}

QByteArray randomBytes(int count) {
    QByteArray out(count, '\0');
    for (char& c : out)
        c = char(QRandomGenerator::system()->bounded(256));
    return out;
}

} // namespace ns::Crypto

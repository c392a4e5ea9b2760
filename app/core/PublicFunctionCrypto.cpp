#include "app/core/PublicFunction.h"

#include "app/categories/Encryption.h"

#include <QRandomGenerator>
#include <QStringDecoder>

QString PublicFunction::randomStr(int length) {
    QString out;
    if (length <= 0) return QStringLiteral("");
    out.reserve(length);
    for (int i = 0; i < length; ++i)
        out.append(QChar(u'A' + char16_t(QRandomGenerator::system()->bounded(26))));
    return out;
}

QString PublicFunction::cryptAES128WithMD5KEY(const QString& plain, const QString& withKey) {
    const QByteArray cipher = Encryption::AES128EncryptWithMD5Key(plain.toUtf8(), withKey);
    if (cipher.isNull()) return {};
    return QString::fromLatin1(cipher.toHex());
}

QString PublicFunction::decryptAES128WithMD5KEY(const QString& hex, const QString& withKey) {
    const QByteArray cipher = stringToByte(hex);
    if (cipher.isNull()) return {};
    const QByteArray plain = Encryption::AES128DecryptWithMD5Key(cipher, withKey);
    if (plain.isNull()) return {};
    // Bytes that are not UTF-8 are a failed decryption, not a garbled number.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(plain);
    if (utf8.hasError()) return {};
    if (text.isNull()) text = QStringLiteral("");
    return text;
}

QByteArray PublicFunction::stringToByte(const QString& hex) {
    const QString digits = hex.toUpper().remove(u' ');
    if (digits.size() % 2 != 0) return {};
    auto nibble = [](QChar c) -> int {
        if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
        if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
        return -1;
    };
    QByteArray out(digits.size() / 2, '\0'); // non-null even when empty
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        const int high = nibble(digits[i]);
        const int low = nibble(digits[i + 1]);
        if (high < 0 || low < 0) return {};
        out[i / 2] = char(high << 4 | low);
    }
    return out;
}

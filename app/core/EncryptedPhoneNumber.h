#pragma once

#include <QString>

// The per-request key of the encrypted fields: a fresh 16-letter lower-case nonce after a fixed
// key prefix. One instance serves every encrypted field of one request and the decryption of
// that request's reply.
class EncryptedPhoneNumber {
public:
    // For "enc_phonenum", "enc_oldpassword", "enc_newpassword" and "enc_line_id".
    static EncryptedPhoneNumber forRequest();
    // For the "encpn" parameter of the operator's web pages.
    static EncryptedPhoneNumber forWebPage();
    static QString requestKeyPrefix();
    static QString webKeyPrefix();

    // A fixed nonce (tests and callers that must repeat one).
    EncryptedPhoneNumber(const QString& keyPrefix, const QString& nonce);

    QString nonce() const { return m_nonce; }
    // The key prefix followed by the nonce.
    QString keyString() const { return m_keyPrefix + m_nonce; }
    // Lower-case hexadecimal of the encrypted UTF-8 text.
    QString encrypt(const QString& text) const;
    // A null string when the text does not decrypt under this key.
    QString decrypt(const QString& hex) const;

private:
    QString m_keyPrefix;
    QString m_nonce;
};

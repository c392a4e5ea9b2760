#pragma once

#include <QByteArray>
#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariant>

namespace ui {
class AlertView;
class Label;
} // namespace ui

// Shared class methods over the user defaults and the platform. Holds no instances.
class PublicFunction {
public:
    PublicFunction() = delete;

    // --- The settings store ---
    // An invalid value removes the entry. Returns whether the store could be written.
    static bool saveConfig(const QVariant& value, const QString& key);
    static QVariant getConfigWithKey(const QString& key);
    static void removeConfigWithKey(const QString& key);
    static void setIsUser4g(bool value);
    static bool isUser4g();

    // --- Device and version ---
    static QString getUUIDOfDevice();
    // What the server receives as "imei": the vendor identifier from system 7 on, the stored
    // "MacAddress" before.
    static QString imeiOfDevice();
    static QString versionNumberOfAPP();
    // The system version as a number; the platform's float reading of its version text.
    static float getVersionNumberOfDeviceSystem();
    // Decides spring animations over plain timed ones, among other things.
    static bool isIOS7OrLater();

    // --- Texts, dates, alerts ---
    static bool isEmpty(const QString& text);
    // Shows a one-button ("确定") alert; the alert deletes itself when dismissed.
    static ui::AlertView* showAlert(const QString& title, const QString& message);
    static QString getDateWithStringFormat(const QString& pattern);
    // The text is a count of milliseconds since 1970, read as a 64-bit integer.
    static QString getDateStringByFormateString(const QString& pattern, const QString& millis);
    static void openUrl(const QString& text);
    static QString chineseToHex(const QString& text);
    static QString getSecureNumTime(const QString& start, const QString& endOfTime);
    static QString getSecureNumTime2(const QString& time);
    static QString changeSecureNumTime(const QString& text);
    static QString changeDisplayTime(const QString& text);
    static QRectF textLabel(const ui::Label* label, const QSizeF& constrainedToSize);
    static QColor colorFromHexCode(const QString& code);
    // The JSON parse a finished request applies: an object or array, else invalid.
    static QVariant dicFromJSONWithData(const QByteArray& data);

    // --- Phone-number encryption ---
    static QString randomStr(int length);
    static QString cryptAES128WithMD5KEY(const QString& plain, const QString& withKey);
    // A null string when the text cannot be decrypted.
    static QString decryptAES128WithMD5KEY(const QString& hex, const QString& withKey);
    // Null (isNull) data when the text is not hexadecimal pairs.
    static QByteArray stringToByte(const QString& hex);

    // --- Network kind (start-up router) ---
    static bool IsEnable3G();
    static bool IsEnableWIFI();

    // --- Data quantities and flow products ---
    static QString changeFlowUnit(qint64 kb, bool isInteger);
    static qint64 getFlowSize(const QVariantMap& record, bool isRecommend);
    static qint64 getFlowProductId(const QVariantMap& record, bool isRecommend);
    static QString getFlowProductDesc(const QVariantMap& record, bool isRecommend);
    static QString getFlowProductName(const QVariantMap& record, bool isRecommend);
    static QString getFlowMarketId(const QVariantMap& record, bool isRecommend);
    static QString getFlowProductFee(const QVariantMap& record);
    static QString getFlowProductLevel(const QVariantMap& record, bool isRecommend);
};

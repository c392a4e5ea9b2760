#pragma once

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A call from an operator page to the application: the page navigates to
// "webkitpostnotification:" followed by a JSON object {"function", "argument", "callback"}.
// Only the bridge's own functions are accepted; anything else is no message at all.
struct WebBridgeMessage {
    static constexpr const char* kMarker = "webkitpostnotification:";
    // What a page may hand over, in characters. A call past any of these is refused whole
    // before any of it reaches the native side, so no call costs more than its limits allow.
    static constexpr qsizetype kMaxMessageLength = 64 * 1024; // the JSON of one call
    static constexpr qsizetype kMaxSmsBodyLength = 1000;      // an SMS body
    static constexpr qsizetype kMaxShareLength = 4096;        // a share's title, text, addresses
    static constexpr qsizetype kMaxRouteLength = 128;         // a scene or tab name, a tab index

    QString function;
    QJsonValue argument;
    // Empty when the message has none or names no valid callback: then nothing is answered.
    QString callback;

    // The functions a page may call.
    static const QStringList& functions();
    // Whether the (percent-decoded) address text carries a bridge call.
    static bool isBridgeCall(const QString& urlText);
    // The message in an address text: the JSON between the first marker and the next one.
    // Nothing for bad JSON, a missing or unknown function, or a message or argument past its
    // limit.
    static std::optional<WebBridgeMessage> fromURLText(const QString& urlText);
    // The longest text argument the function takes.
    static qsizetype maximumArgumentLength(const QString& function);
    static std::optional<WebBridgeMessage> parse(const QString& json);

    // A page function by name or dotted path: letters, digits, "_", "$" and ".".
    static bool isValidCallback(const QString& name);

    // The argument as text: a string as it is, a number written out; nothing otherwise.
    std::optional<QString> textArgument() const;
    // The argument's integer value as the phone reads it: a number cut toward zero, true 1
    // and false 0, a string's leading integer ("two" 0, "2.9" 2); past the range of qint64,
    // its end. Nothing for anything else (an object, an array, null, no argument).
    std::optional<qint64> integerArgument() const;
};

// The scripts that answer a page. Every value is escaped for the JavaScript string it sits
// in, so no name or number can end the string or run as code.
namespace WebBridgeAnswer {

// A value written inside a JavaScript string literal (either quote).
QString escape(const QString& value);

struct Person {
    QString name;
    QStringList numbers;
};

// callback('[{numlist:["n1","n2"],name:"Name"},...]')
QString contactList(const QString& callback, const QList<Person>& people);
// callback('{numlist:[number],name:"Name"}')
QString pickedContact(const QString& callback, const QString& number, const QString& name);
// callback('text')
QString text(const QString& callback, const QString& value);

} // namespace WebBridgeAnswer

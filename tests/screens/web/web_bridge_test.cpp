#include <gtest/gtest.h>

#include "screens/web/WebBridgeMessage.h"

#include <QJSEngine>
#include <QJsonDocument>
#include <QJsonObject>
#include <limits>

namespace {

QString call(const QString& json) {
    return QStringLiteral("webkitpostnotification:") + json;
}

TEST(WebBridgeMessage, acceptsOnlyTheBridgeFunctions) {
    struct Case {
        QString text;
        bool accepted;
        QString function;
        QString callback;
    };
    const Case cases[] = {
        {call(R"({"function":"getVersionNumOfAPP:","callback":"onVersion"})"), true,
         "getVersionNumOfAPP:", "onVersion"},
        // Text before the marker (the page's own address) does not matter.
        {"http://x/p.html#" + call(R"({"function":"showAddressBook:","callback":"a.b.c"})"), true,
         "showAddressBook:", "a.b.c"},
        // With the marker twice only the text between the two counts.
        {call(R"({"function":"getVersionNumOfAPP:"})") + call(R"({"function":"evil"})"), true,
         "getVersionNumOfAPP:", ""},
        {call(R"({"function":"pushToTabbarViewController:","argument":2})"), true,
         "pushToTabbarViewController:", ""},
        // Not JSON, not an object, no or a foreign function: no message.
        {call("{function:getVersionNumOfAPP:}"), false, "", ""},
        {call(R"(["getVersionNumOfAPP:"])"), false, "", ""},
        {call(R"({"argument":"x","callback":"cb"})"), false, "", ""},
        {call(R"({"function":42})"), false, "", ""},
        {call(R"({"function":"dealloc"})"), false, "", ""},
        {call(R"({"function":"getVersionNumOfAPP"})"), false, "", ""},
        {call(R"({"function":"viewDidLoad"})"), false, "", ""},
        {call(R"({"function":"popViewControler:"})"), false, "", ""},
        {call(R"({"function":"GETVERSIONNUMOFAPP:"})"), false, "", ""},
        {call(""), false, "", ""},
        {"http://x/page.html", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const auto message = WebBridgeMessage::fromURLText(c.text);
        ASSERT_EQ(message.has_value(), c.accepted);
        if (!message) continue;
        EXPECT_EQ(message->function, c.function);
        EXPECT_EQ(message->callback, c.callback);
    }
}

TEST(WebBridgeMessage, callbackMustBeAnIdentifierPath) {
    const std::pair<QString, bool> cases[] = {
        {"onVersion", true},      {"app.bridge.onVersion", true},
        {"$cb_1", true},          {"", false},
        {"alert(1)", false},      {"x;alert(1)", false},
        {"cb'", false},           {"cb\"", false},
        {"a b", false},           {"cb\n", false},
        {"a[0]", false},          {"a=>b", false},
        {QString("函数"), false}, {QString(200, 'a'), false},
    };
    for (const auto& [name, valid] : cases) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(WebBridgeMessage::isValidCallback(name), valid);
        QJsonObject json{{"function", "getVersionNumOfAPP:"}, {"callback", name}};
        const auto message =
            WebBridgeMessage::parse(QString::fromUtf8(QJsonDocument(json).toJson()));
        ASSERT_TRUE(message.has_value());
        // An invalid callback is as if none was given: nothing is answered.
        EXPECT_EQ(message->callback, valid ? name : QString());
    }
    // A callback that is not a string is no callback either.
    const auto numeric =
        WebBridgeMessage::parse(R"({"function":"getVersionNumOfAPP:","callback":7})");
    ASSERT_TRUE(numeric.has_value());
    EXPECT_TRUE(numeric->callback.isEmpty());
}

// Text is taken from strings and numbers; the integer value is read as the phone reads it.
TEST(WebBridgeMessage, argumentsConvertAsThePhoneReadsThem) {
    struct Case {
        const char* argument; // JSON text of "argument", or nullptr for none
        std::optional<QString> text;
        std::optional<qint64> integer;
    };
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    const Case cases[] = {
        {R"("hello")", QString("hello"), 0},
        {R"("2")", QString("2"), 2},
        {R"(" -1 ")", QString(" -1 "), -1},
        {"9", QString("9"), 9},
        {"2.0", QString("2"), 2},
        {"2.5", QString("2.5"), 2},
        {"-2.7", QString("-2.7"), -2},
        {"-3", QString("-3"), -3},
        {"1e300", QString("1e+300"), kMax},
        {"-1e300", QString("-1e+300"), kMin},
        {R"("two")", QString("two"), 0},
        {R"("2.9")", QString("2.9"), 2},
        {R"("+4 tabs")", QString("+4 tabs"), 4},
        {R"("-")", QString("-"), 0},
        {R"("")", QString(""), 0},
        {R"("99999999999999999999")", QString("99999999999999999999"), kMax},
        {R"("-99999999999999999999")", QString("-99999999999999999999"), kMin},
        {"true", std::nullopt, 1},
        {"false", std::nullopt, 0},
        {"null", std::nullopt, std::nullopt},
        {"[1]", std::nullopt, std::nullopt},
        {R"({"a":1})", std::nullopt, std::nullopt},
        {nullptr, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument ? c.argument : "(none)");
        const QString json =
            c.argument
                ? QStringLiteral(R"({"function":"pushToTabbarViewController:","argument":%1})")
                      .arg(QString::fromUtf8(c.argument))
                : QStringLiteral(R"({"function":"pushToTabbarViewController:"})");
        const auto message = WebBridgeMessage::parse(json);
        ASSERT_TRUE(message.has_value());
        EXPECT_EQ(message->textArgument(), c.text);
        EXPECT_EQ(message->integerArgument(), c.integer);
    }
}

// The answers are run as scripts: evaluating them in a script engine shows what the page's
// function receives, and that nothing else runs.
class AnswerTest : public ::testing::Test {
protected:
    QString received(const QString& script) {
        engine.evaluate("var got = null; var pwned = false;"
                        "function cb(v) { got = v; }");
        const QJSValue result = engine.evaluate(script);
        EXPECT_FALSE(result.isError())
            << script.toStdString() << " -> " << result.toString().toStdString();
        EXPECT_FALSE(engine.evaluate("pwned").toBool()) << script.toStdString();
        return engine.evaluate("got").toString();
    }
    // The page evaluates the contact text to read it as objects.
    QJSValue asObjects(const QString& text) { return engine.evaluate("(" + text + ")"); }
    QJSEngine engine;
};

const QString kHostile[] = {
    "plain",
    "O'Brien",
    "say \"hi\"",
    "back\\slash",
    "line\nbreak\r",
    QString("sep") + QChar(0x2028) + QChar(0x2029),
    "');pwned=true;//",
    "\");pwned=true;//",
    "\\');pwned=true;//",
    "</script><script>pwned=true</script>",
    "张三",
    QString("tab\there") + QChar(0),
};

TEST_F(AnswerTest, everyAnswerCarriesHostileValuesIntact) {
    for (const QString& value : kHostile) {
        SCOPED_TRACE(value.toStdString());
        EXPECT_EQ(received(WebBridgeAnswer::text("cb", value)), value);

        const QList<WebBridgeAnswer::Person> people{
            {value, {"13800000001", value}}, {"李四", {}}, {"", {"16540"}}};
        QString text = received(WebBridgeAnswer::contactList("cb", people));
        const QJSValue list = asObjects(text);
        ASSERT_FALSE(list.isError()) << text.toStdString();
        ASSERT_EQ(list.property("length").toInt(), 3);
        EXPECT_EQ(list.property(0).property("name").toString(), value);
        EXPECT_EQ(list.property(0).property("numlist").property(1).toString(), value);
        EXPECT_EQ(list.property(1).property("numlist").property("length").toInt(), 0);
        EXPECT_EQ(list.property(2).property("numlist").property(0).toString(), "16540");

        text = received(WebBridgeAnswer::pickedContact("cb", "16540", value));
        const QJSValue picked = asObjects(text);
        ASSERT_FALSE(picked.isError()) << text.toStdString();
        EXPECT_EQ(picked.property("name").toString(), value);
        EXPECT_EQ(picked.property("numlist").property(0).toInt(), 16540);
        EXPECT_FALSE(engine.evaluate("pwned").toBool());
    }
}

TEST_F(AnswerTest, contactAnswersKeepTheirShape) {
    EXPECT_EQ(received(WebBridgeAnswer::contactList("cb", {})), "[]");
    EXPECT_EQ(received(WebBridgeAnswer::contactList("cb", {{"王五", {"1", "2"}}})),
              R"([{numlist:["1","2"],name:"王五"}])");
    EXPECT_EQ(received(WebBridgeAnswer::pickedContact("cb", "13800000001", "张三")),
              R"({numlist:[13800000001],name:"张三"})");
    // A person without a number gives an empty number list.
    EXPECT_EQ(received(WebBridgeAnswer::pickedContact("cb", "", "张三")),
              R"({numlist:[],name:"张三"})");
}

} // namespace

#pragma once

#include <QString>
#include <optional>

namespace sandbox {

// How the sandbox misbehaves for an interface instead of (or before) answering normally.
struct Fault {
    enum class Kind {
        Delay,     // answer normally after `value` milliseconds
        NoAnswer,  // keep the connection open and never answer
        EmptyBody, // status 200 with an empty body
        Html500,   // an HTML error page with status 500
        JsonArray, // a JSON array instead of an object
        Result,    // {"result": value, "msg": msg} without running the interface
        Drop,      // close the connection without answering (HTTP clients may resend once)
    };

    Kind kind = Kind::Delay;
    qint64 value = 0;
    QString msg;

    static Fault delay(qint64 ms) { return {Kind::Delay, ms, {}}; }
    static Fault noAnswer() { return {Kind::NoAnswer, 0, {}}; }
    static Fault emptyBody() { return {Kind::EmptyBody, 0, {}}; }
    static Fault html500() { return {Kind::Html500, 0, {}}; }
    static Fault jsonArray() { return {Kind::JsonArray, 0, {}}; }
    // An empty msg is replaced by a stock text for the code.
    static Fault result(qint64 code, const QString& msg = {});
    static Fault drop() { return {Kind::Drop, 0, {}}; }

    // The longest delay a timer can wait for (a day); longer or negative delays are refused.
    static constexpr qint64 kMaxDelayMs = 24 * 60 * 60 * 1000;

    // The names used over HTTP: "delay", "no-answer", "empty", "html500", "array", "result",
    // "drop". Nothing (and why, in *error) for an unknown kind, or a value that is missing,
    // not a plain decimal number, or out of range where one is needed.
    static std::optional<Fault> fromText(const QString& kind, const QString& value,
                                         const QString& msg = {}, QString* error = nullptr);
    static QString kindName(Kind kind);

    bool operator==(const Fault&) const = default;
};

} // namespace sandbox

#include "platform/foundation/DateFormat.h"

#include <QLocale>

namespace ns::DateFormat {

namespace {
QDateTime g_now;

// The platform's patterns and Qt's agree on y, M, d, H, h, m, s and quoted text; "a" (AM/PM)
// becomes Qt's "AP". Everything else passes through.
QString toQtPattern(const QString& pattern) {
    QString out;
    out.reserve(pattern.size());
    bool quoted = false;
    for (const QChar c : pattern) {
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u'a') {
            out += "AP";
            continue;
        }
        out += c;
    }
    return out;
}
} // namespace

QString format(const QDateTime& when, const QString& pattern) {
    return QLocale::c().toString(when, toQtPattern(pattern));
}

QDateTime parse(const QString& text, const QString& pattern) {
    return QLocale::c().toDateTime(text, toQtPattern(pattern));
}

QDateTime now() {
    return g_now.isValid() ? g_now : QDateTime::currentDateTime();
}

void setNowOverride(const QDateTime& when) {
    g_now = when;
}

} // namespace ns::DateFormat

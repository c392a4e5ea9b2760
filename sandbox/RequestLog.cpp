#include "sandbox/RequestLog.h"

#include <QJsonArray>
#include <algorithm>

namespace sandbox {

namespace {

// Fields within a budget of characters: the one that crosses it is cut, later ones dropped.
FormFields cutFields(const FormFields& fields, qsizetype budget, bool* cut) {
    FormFields kept;
    for (const FormFields::Item& item : fields.items()) {
        if (budget <= 0) {
            *cut = true;
            break;
        }
        const QString key = item.first.left(budget);
        budget -= key.size();
        const QString value = item.second.left(std::max<qsizetype>(0, budget));
        budget -= value.size();
        if (key.size() < item.first.size() || value.size() < item.second.size()) *cut = true;
        kept.append(key, value);
    }
    return kept;
}

} // namespace

void RequestLog::append(ReceivedRequest request) {
    if (request.size < 0) request.size = request.body.size();
    const qsizetype limit = m_limits.maxBodyBytes;
    // A copy of at most the limit: a slice would keep the whole received buffer alive.
    request.truncated = request.body.size() > limit;
    request.body = QByteArray(request.body.constData(), std::min(request.body.size(), limit));
    bool cut = false;
    request.fields = cutFields(request.fields, limit, &cut);
    request.truncated = request.truncated || cut;
    m_entries.append(std::move(request));
    while (m_entries.size() > std::max<qsizetype>(1, m_limits.maxEntries)) {
        m_entries.removeFirst();
        ++m_dropped;
    }
}

QList<ReceivedRequest> RequestLog::entriesFor(const QString& interfaceName) const {
    QList<ReceivedRequest> found;
    for (const ReceivedRequest& r : m_entries)
        if (r.interfaceName == interfaceName) found.append(r);
    return found;
}

bool RequestLog::isSecretKey(const QString& key) {
    return key.contains(QLatin1String("pass"), Qt::CaseInsensitive) ||
           key.contains(QLatin1String("pwd"), Qt::CaseInsensitive) ||
           key.contains(QLatin1String("session"), Qt::CaseInsensitive);
}

QByteArray RequestLog::maskBody(const QByteArray& body) {
    QByteArrayList items = body.split('&');
    for (QByteArray& item : items) {
        const qsizetype eq = item.indexOf('=');
        if (eq < 0) continue;
        // The key as the server reads it ("%70ass" is "pass").
        const FormFields decoded = FormFields::parse(item.left(eq) + "=");
        if (!decoded.isEmpty() && isSecretKey(decoded.items().first().first))
            item = item.left(eq + 1) + kMask;
    }
    return items.join('&');
}

QJsonObject RequestLog::page(qsizetype offset, qsizetype limit) const {
    const qsizetype total = m_entries.size();
    offset = std::clamp<qsizetype>(offset, 0, total);
    const qsizetype end = std::min(total, offset + std::max<qsizetype>(0, limit));
    QJsonArray list;
    for (qsizetype i = offset; i < end; ++i) {
        const ReceivedRequest& r = m_entries[i];
        QJsonArray fields;
        for (const FormFields::Item& item : r.fields.items())
            fields.append(QJsonArray{
                item.first, isSecretKey(item.first) ? QString::fromLatin1(kMask) : item.second});
        list.append(QJsonObject{{"interface", r.interfaceName},
                                {"fields", fields},
                                {"body", QString::fromUtf8(maskBody(r.body))},
                                {"size", r.size},
                                {"truncated", r.truncated}});
    }
    QJsonObject page{
        {"total", total}, {"offset", offset}, {"dropped", m_dropped}, {"requests", list}};
    if (end < total && end > offset)
        page.insert(
            "next",
            QStringLiteral("/sandbox/requests?offset=%1&limit=%2").arg(end).arg(end - offset));
    return page;
}

} // namespace sandbox

#include "HttpProbe.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

QJsonObject HttpProbe::Result::json() const {
    return QJsonDocument::fromJson(body).object();
}

QByteArray HttpProbe::form(const Fields& fields) {
    QByteArrayList items;
    for (const auto& [key, value] : fields)
        items.append(QUrl::toPercentEncoding(key) + '=' + QUrl::toPercentEncoding(value));
    return items.join('&');
}

QNetworkReply* HttpProbe::start(const QUrl& url, const QByteArray& body) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    return m_nam.post(request, body);
}

HttpProbe::Result HttpProbe::post(const QUrl& url, const QByteArray& body, int guardMs) {
    std::unique_ptr<QNetworkReply> reply(start(url, body));
    return wait(reply.get(), guardMs);
}

HttpProbe::Result HttpProbe::get(const QUrl& url, int guardMs) {
    std::unique_ptr<QNetworkReply> reply(m_nam.get(QNetworkRequest(url)));
    return wait(reply.get(), guardMs);
}

HttpProbe::Result HttpProbe::wait(QNetworkReply* reply, int guardMs) {
    if (!reply->isFinished()) {
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(guardMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    Result result;
    result.finished = reply->isFinished();
    if (!result.finished) return result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    result.error = reply->error();
    return result;
}

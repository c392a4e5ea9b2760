#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPair>
#include <QString>
#include <QUrl>

// A plain HTTP client for talking to the sandbox in tests.
class HttpProbe {
public:
    using Fields = QList<QPair<QString, QString>>;

    struct Result {
        bool finished = false; // false: the guard time ran out
        int status = 0;        // 0 when no HTTP answer came
        QByteArray body;
        QByteArray contentType;
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        // The body as a JSON object; empty when it is not one.
        QJsonObject json() const;
    };

    // Percent-encoded UTF-8 form body, in order.
    static QByteArray form(const Fields& fields);

    Result post(const QUrl& url, const QByteArray& body, int guardMs = 10000);
    Result get(const QUrl& url, int guardMs = 10000);
    // Starts a POST and returns at once; the caller owns the reply.
    QNetworkReply* start(const QUrl& url, const QByteArray& body);
    // Runs the event loop until the reply finishes or guardMs passes.
    static Result wait(QNetworkReply* reply, int guardMs = 10000);

private:
    QNetworkAccessManager m_nam;
};

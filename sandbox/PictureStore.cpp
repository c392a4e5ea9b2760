#include "sandbox/PictureStore.h"

#include "sandbox/Backend.h"
#include "sandbox/FaultSwitch.h"

#include <QBuffer>
#include <QHash>
#include <QHttpServerRequest>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

namespace sandbox {

namespace {

QHash<const Backend*, QString>& origins() {
    static QHash<const Backend*, QString> map;
    return map;
}

QByteArray head(int status, const char* reason, qint64 length, const QByteArray& extra = {}) {
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    out += "Content-Type: image/png\r\n";
    out += "Accept-Ranges: bytes\r\n";
    out += extra;
    out += "Content-Length: " + QByteArray::number(length) + "\r\n";
    out += "Connection: close\r\n\r\n";
    return out;
}

void send(QTcpSocket* socket, const QByteArray& bytes) {
    if (!socket || socket->state() != QAbstractSocket::ConnectedState) return;
    socket->write(bytes);
    socket->disconnectFromHost();
}

} // namespace

QByteArray PictureStore::drawPng(int width, int height, const QColor& from, const QColor& to) {
    QImage image(width, height, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QPen(QColor(255, 255, 255, 110), std::max(2, height / 40)));
    for (int i = 1; i <= 3; ++i) {
        const int r = height * i / 5;
        painter.drawEllipse(QPoint(width * 3 / 4, height / 2), r, r);
    }
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return png;
}

bool PictureStore::isPicturePath(const QString& path) {
    return path.startsWith(QLatin1String(kPathPrefix));
}

void PictureStore::answer(Backend& backend, const FaultSwitch& faults,
                          const QHttpServerRequest& request, QTcpSocket* socket) {
    const QString name = request.url().path().mid(qsizetype(qstrlen(kPathPrefix)));
    const QByteArray png =
        backend.database()
            .scalar(QStringLiteral("SELECT png FROM home_pictures WHERE name = ?"), {name})
            .toByteArray();
    if (png.isEmpty()) {
        const QByteArray body = "no such picture";
        QByteArray out = "HTTP/1.1 404 Not Found\r\nContent-Type: text/plain\r\nContent-Length: " +
                         QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
        send(socket, out);
        return;
    }

    qint64 first = 0;
    qint64 last = png.size() - 1;
    bool ranged = false;
    const QByteArray range = request.value("Range");
    if (!range.isEmpty()) {
        static const QRegularExpression pattern(QStringLiteral("^bytes=(\\d+)-(\\d*)$"));
        const auto match = pattern.match(QString::fromLatin1(range).trimmed());
        if (match.hasMatch()) {
            first = match.captured(1).toLongLong();
            if (!match.captured(2).isEmpty()) last = std::min(last, match.captured(2).toLongLong());
            if (first >= png.size() || first > last) {
                send(socket,
                     head(416, "Range Not Satisfiable", 0,
                          "Content-Range: bytes */" + QByteArray::number(png.size()) + "\r\n"));
                return;
            }
            ranged = true;
        }
    }
    const QByteArray body = png.mid(first, last - first + 1);
    const QByteArray header =
        ranged ? head(206, "Partial Content", body.size(),
                      "Content-Range: bytes " + QByteArray::number(first) + '-' +
                          QByteArray::number(last) + '/' + QByteArray::number(png.size()) + "\r\n")
               : head(200, "OK", body.size());

    const auto fault = faults.faultFor(QLatin1String(kFaultName));
    if (fault && fault->kind == Fault::Kind::NoAnswer) return;
    if (fault && fault->kind == Fault::Kind::Drop) {
        // Half the bytes go out, then the line goes dead.
        socket->write(header + body.left(body.size() / 2));
        socket->flush();
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(50, socket, [guard] {
            if (guard) guard->abort();
        });
        return;
    }
    send(socket, header + body);
}

void PictureStore::setBaseAddress(const Backend& backend, const QString& origin) {
    origins().insert(&backend, origin);
}

QString PictureStore::urlFor(const Backend& backend, const QString& name) {
    return origins().value(&backend) + QLatin1String(kPathPrefix) + name;
}

} // namespace sandbox

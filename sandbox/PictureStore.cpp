#include "sandbox/PictureStore.h"

#include "sandbox/Backend.h"
#include "sandbox/FaultSwitch.h"
#include "sandbox/HttpAnswer.h"

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
#include <QUrlQuery>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <span>

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

// Feeds a socket from a generator as fast as the client reads, never more than a chunk or two
// ahead, so a long answer costs the sandbox no memory.
class Streamer : public QObject {
public:
    Streamer(QTcpSocket* socket, QByteArray prefix, qint64 total)
        : QObject(socket), m_socket(socket), m_prefix(std::move(prefix)), m_total(total) {
        connect(socket, &QTcpSocket::bytesWritten, this, &Streamer::feed);
        connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    }
    void feed() {
        static const QByteArray filler(64 * 1024, '\x5a');
        const qint64 limit = m_total < 0 ? PictureStore::kEndlessCap : m_total;
        while (m_socket->state() == QAbstractSocket::ConnectedState &&
               m_socket->bytesToWrite() < 256 * 1024 && m_sent < limit) {
            QByteArray chunk = m_sent < m_prefix.size() ? m_prefix.mid(m_sent) : filler;
            chunk.truncate(qsizetype(std::min<qint64>(chunk.size(), limit - m_sent)));
            m_sent += chunk.size();
            m_socket->write(chunk);
        }
        if (m_sent >= limit && m_socket->state() == QAbstractSocket::ConnectedState &&
            m_socket->bytesToWrite() == 0)
            m_socket->disconnectFromHost();
    }

private:
    QTcpSocket* m_socket;
    QByteArray m_prefix;
    qint64 m_total;
    qint64 m_sent = 0;
};

quint32 crc32Of(const QByteArray& bytes) {
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
            t[n] = c;
        }
        return t;
    }();
    quint32 crc = 0xffffffffu;
    for (const char c : bytes)
        crc = table[(crc ^ quint8(c)) & 0xffu] ^ (crc >> 8);
    return ~crc;
}

QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), out.data());
    const QByteArray typed = QByteArray(type, 4) + data;
    out += typed;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32Of(typed), crc.data());
    return out + crc;
}

const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);

// A deflate stream in one block of fixed codes, written bit by bit (least significant first).
class FixedDeflate {
public:
    explicit FixedDeflate(qsizetype expectedBytes) {
        m_out.reserve(expectedBytes);
        put(1, 1); // the last block
        put(1, 2); // fixed codes
    }
    void literal(quint8 byte) {
        if (byte < 144)
            code(0x30u + byte, 8);
        else
            code(0x190u + byte - 144u, 9);
    }
    // `count` zeros after a zero: matches at distance 1, one or two left over as literals.
    void zeros(qint64 count) {
        for (; count >= 3; count -= std::min<qint64>(count, 258))
            match(int(std::min<qint64>(count, 258)));
        for (; count > 0; --count)
            literal(0);
    }
    QByteArray finish() {
        code(0, 7); // end of block
        if (m_bits > 0) m_out.append(char(m_pending));
        return std::move(m_out);
    }

private:
    // A match of 3 to 258 bytes at distance 1: its length code, extra bits and distance code.
    void match(int length) {
        static constexpr int kBase[] = {3,  4,  5,  6,   7,   8,   9,   10, 11, 13,
                                        15, 17, 19, 23,  27,  31,  35,  43, 51, 59,
                                        67, 83, 99, 115, 131, 163, 195, 227};
        if (length == 258) {
            code(0xc5u, 8); // length code 285
        } else {
            int i = int(std::size(kBase)) - 1;
            while (kBase[i] > length)
                --i;
            const int symbol = 257 + i;
            if (symbol < 280)
                code(quint32(symbol - 256), 7);
            else
                code(quint32(0xc0 + symbol - 280), 8);
            const int extra = i < 8 ? 0 : (i - 4) / 4;
            put(quint32(length - kBase[i]), extra);
        }
        code(0, 5); // distance code 0: distance 1
    }
    // Huffman codes go out from their most significant bit.
    void code(quint32 value, int length) {
        quint32 reversed = 0;
        for (int i = 0; i < length; ++i)
            reversed |= ((value >> i) & 1u) << (length - 1 - i);
        put(reversed, length);
    }
    void put(quint32 value, int length) {
        m_pending |= quint64(value) << m_bits;
        m_bits += length;
        for (; m_bits >= 8; m_bits -= 8, m_pending >>= 8)
            m_out.append(char(m_pending & 0xffu));
    }

    QByteArray m_out;
    quint64 m_pending = 0;
    int m_bits = 0;
};

// Adler-32 as zlib keeps it, fed by bytes and by runs of zeros.
struct Adler32 {
    static constexpr quint64 kBase = 65521;
    quint64 a = 1, b = 0;
    void byte(quint8 x) {
        a = (a + x) % kBase;
        b = (b + a) % kBase;
    }
    void zeros(qint64 count) { b = (b + quint64(count) % kBase * a) % kBase; }
};

} // namespace

QByteArray PictureStore::plainPng(int width, int height, const QColor& colour) {
    if (width < 1 || height < 1 || width > kMaxGeneratedSide || height > kMaxGeneratedSide)
        return {};
    // Truecolour rows: the first holds the colour once and then zeros (each pixel as its
    // difference from the one on its left), every other row is all zeros (no difference from
    // the row above). Such rows are runs a decoder expands in full, so the file stays small
    // and costs nothing to write, while the picture still costs its full size to decode.
    const qint64 rowBytes = 3 * qint64(width);
    FixedDeflate deflate(qsizetype(height * (rowBytes / 258 * 13 / 8 + 8)));
    Adler32 adler;
    const quint8 first[] = {1, quint8(colour.red()), quint8(colour.green()), quint8(colour.blue())};
    for (const quint8 byte : first) {
        deflate.literal(byte);
        adler.byte(byte);
    }
    for (int row = 0; row < height; ++row) {
        if (row > 0) {
            deflate.literal(2);
            adler.byte(2);
        }
        // After the filter byte (or the colour, on the first row) one zero is written as it
        // is; the rest repeat it.
        const qint64 zeros = row == 0 ? rowBytes - 3 : rowBytes;
        if (zeros == 0) continue;
        deflate.literal(0);
        deflate.zeros(zeros - 1);
        adler.zeros(zeros);
    }
    QByteArray data("\x78\x01", 2); // zlib: deflate with a 32 KB window, no dictionary
    data += deflate.finish();
    QByteArray check(4, '\0');
    qToBigEndian<quint32>(quint32(adler.b << 16 | adler.a), check.data());
    data += check;

    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(width), header.data());
    qToBigEndian<quint32>(quint32(height), header.data() + 4);
    header[8] = 8; // bit depth
    header[9] = 2; // truecolour
    return kPngSignature + pngChunk("IHDR", header) + pngChunk("IDAT", data) + pngChunk("IEND", {});
}

QByteArray PictureStore::declaredPng(quint32 width, quint32 height) {
    return rawPng(width, height, 8, 6, 0, QByteArray(256, '\0')); // RGBA
}

QByteArray PictureStore::blackPng(quint32 width, quint32 height) {
    const qsizetype row = 1 + (qsizetype(width) + 7) / 8; // filter byte, then the bits
    return rawPng(width, height, 1, 0, 0, QByteArray(row * qsizetype(height), '\0'));
}

QByteArray PictureStore::uniformPng(int width, int height, quint8 depth, quint8 colourType,
                                    const QByteArray& pixel, bool interlaced) {
    // Interlaced, the rows of seven passes are stored one pass after the other, each pass
    // taking every dx-th pixel from x0 of every dy-th row from y0.
    static constexpr int kAdam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                         {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    static constexpr int kWhole[1][4] = {{0, 0, 1, 1}};
    QByteArray rows;
    for (const auto& pass :
         interlaced ? std::span<const int[4]>(kAdam7) : std::span<const int[4]>(kWhole)) {
        const int w = (width - pass[0] + pass[2] - 1) / pass[2];
        const int h = (height - pass[1] + pass[3] - 1) / pass[3];
        if (w <= 0 || h <= 0) continue;
        const QByteArray row = '\0' + pixel.repeated(w);
        rows += row.repeated(h);
    }
    return rawPng(quint32(width), quint32(height), depth, colourType, interlaced ? 1 : 0, rows);
}

QByteArray PictureStore::rawPng(quint32 width, quint32 height, quint8 depth, quint8 colourType,
                                quint8 interlace, const QByteArray& scanlines) {
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(width, header.data());
    qToBigEndian<quint32>(height, header.data() + 4);
    header[8] = char(depth);
    header[9] = char(colourType);
    header[12] = char(interlace);
    const QByteArray data = qCompress(scanlines).mid(4); // zlib stream
    return kPngSignature + pngChunk("IHDR", header) + pngChunk("IDAT", data) + pngChunk("IEND", {});
}

void PictureStore::streamBytes(QTcpSocket* socket, const QByteArray& contentType,
                               const QByteArray& prefix, qint64 total, qint64 declared) {
    if (!socket || socket->state() != QAbstractSocket::ConnectedState) return;
    if (declared < 0) declared = total;
    QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: " + contentType + "\r\n";
    if (declared >= 0) head += "Content-Length: " + QByteArray::number(declared) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    (new Streamer(socket, prefix, total))->feed();
}

bool PictureStore::answerGenerated(const QHttpServerRequest& request, QTcpSocket* socket) {
    const QString path = request.url().path();
    if (!path.startsWith(QLatin1String(kGeneratedPrefix))) return false;
    const QString name = path.mid(qsizetype(qstrlen(kGeneratedPrefix)));
    const QUrlQuery query(request.url());
    bool hasDeclared = false;
    const qint64 declared = query.queryItemValue("declare").toLongLong(&hasDeclared);
    static const QRegularExpression sized(
        QStringLiteral("^(declared-)?(\\d{1,9})x(\\d{1,9})\\.png$"));
    static const QRegularExpression bytes(QStringLiteral("^bytes-(\\d{1,12}|endless)\\.png$"));
    if (const auto m = sized.match(name); m.hasMatch()) {
        const qint64 w = m.captured(2).toLongLong(), h = m.captured(3).toLongLong();
        QByteArray png;
        if (!m.captured(1).isEmpty()) {
            png = declaredPng(quint32(std::min<qint64>(w, 0x7fffffff)),
                              quint32(std::min<qint64>(h, 0x7fffffff)));
        } else if (w <= kMaxGeneratedSide && h <= kMaxGeneratedSide) {
            png = plainPng(int(w), int(h), QColor(40, 120, 200));
        }
        if (!png.isEmpty()) {
            streamBytes(socket, "image/png", png, png.size(), hasDeclared ? declared : -1);
            return true;
        }
    } else if (const auto b = bytes.match(name); b.hasMatch()) {
        const qint64 total =
            b.captured(1) == QLatin1String("endless") ? -1 : b.captured(1).toLongLong();
        streamBytes(socket, "image/png", declaredPng(640, 272), total, hasDeclared ? declared : -1);
        return true;
    }
    HttpAnswer::sendBytes(
        socket, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    return true;
}

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
    if (answerGenerated(request, socket)) return;
    const QString name = request.url().path().mid(qsizetype(qstrlen(kPathPrefix)));
    const QByteArray png =
        backend.database()
            .scalar(QStringLiteral("SELECT png FROM home_pictures WHERE name = ?"), {name})
            .toByteArray();
    if (png.isEmpty()) {
        const QByteArray body = "no such picture";
        QByteArray out = "HTTP/1.1 404 Not Found\r\nContent-Type: text/plain\r\nContent-Length: " +
                         QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
        HttpAnswer::sendBytes(socket, out);
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
                HttpAnswer::sendBytes(socket, head(416, "Range Not Satisfiable", 0,
                                                   "Content-Range: bytes */" +
                                                       QByteArray::number(png.size()) + "\r\n"));
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
    HttpAnswer::sendBytes(socket, header + body);
}

void PictureStore::setBaseAddress(const Backend& backend, const QString& origin) {
    origins().insert(&backend, origin);
}

QString PictureStore::urlFor(const Backend& backend, const QString& name) {
    return origins().value(&backend) + QLatin1String(kPathPrefix) + name;
}

} // namespace sandbox

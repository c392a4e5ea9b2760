#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

class QHttpServerRequest;
class QTcpSocket;

namespace sandbox {

class Backend;
class FaultSwitch;

// The pictures the home page loads (advert and tile pictures), kept as PNG bytes in the
// database and served at GET /pictures/<name>, with byte ranges so an interrupted download
// can resume. The fault switch entry "Pictures" applies to them: "drop" sends half of the
// picture and then drops the connection, "no-answer" never answers.
class PictureStore {
public:
    static constexpr const char* kPathPrefix = "/pictures/";
    static constexpr const char* kFaultName = "Pictures";

    // A real PNG of the size: a diagonal gradient between the colours with a few rings.
    static QByteArray drawPng(int width, int height, const QColor& from, const QColor& to);

    static bool isPicturePath(const QString& path);
    // Pictures made on request and never stored, for trying the client against a hostile
    // server:
    //   generated/<w>x<h>.png            a real PNG of one colour (each side up to
    //                                    kMaxGeneratedSide; larger: 404)
    //   generated/declared-<w>x<h>.png   a PNG head that declares that size over a few bytes
    //   generated/bytes-<n>.png          n bytes that begin like a PNG; "bytes-endless.png"
    //                                    never ends (the sandbox stops at kEndlessCap)
    // "?declare=<m>" makes the head announce m bytes whatever follows.
    static constexpr const char* kGeneratedPrefix = "/pictures/generated/";
    static constexpr qint64 kEndlessCap = qint64(16) << 30;
    // Just past the client's ceiling of 4096 x 4096 pixels, so tests can be refused a real one.
    static constexpr int kMaxGeneratedSide = 5000;
    static bool answerGenerated(const QHttpServerRequest& request, QTcpSocket* socket);
    // A real PNG of one colour, written without drawing: some 13 bits per 258 bytes of pixels
    // (about 480 KB at 5000 x 5000), made in milliseconds. Empty past kMaxGeneratedSide.
    static QByteArray plainPng(int width, int height, const QColor& colour);
    // A PNG signature and header declaring width x height, then a little data and the end.
    static QByteArray declaredPng(quint32 width, quint32 height);
    // A real black PNG of that size at one bit a pixel: a few kilobytes for millions of pixels.
    static QByteArray blackPng(quint32 width, quint32 height);
    // A real PNG of one colour, `pixel` being the bytes of one pixel in the colour type and
    // depth given (8 or 16 bits a sample), stored interlaced when asked.
    static QByteArray uniformPng(int width, int height, quint8 depth, quint8 colourType,
                                 const QByteArray& pixel, bool interlaced);
    // A PNG of that head (bit depth, colour type, interlace method) over the scanlines given
    // as they are to be stored, filter bytes included.
    static QByteArray rawPng(quint32 width, quint32 height, quint8 depth, quint8 colourType,
                             quint8 interlace, const QByteArray& scanlines);
    // Answers 200 with `total` bytes that start with prefix and go on with filler, written as
    // the client takes them (never held whole); total < 0 sends until the client goes or
    // kEndlessCap. declared >= 0 is the announced length, else total's (none when endless).
    static void streamBytes(QTcpSocket* socket, const QByteArray& contentType,
                            const QByteArray& prefix, qint64 total, qint64 declared = -1);
    // Answers one GET of a picture: 200 with the whole picture, 206 for a satisfiable
    // "Range: bytes=a-[b]", 416 for an unsatisfiable one, 404 for an unknown name.
    static void answer(Backend& backend, const FaultSwitch& faults,
                       const QHttpServerRequest& request, QTcpSocket* socket);

    // The server's own address for picture URLs in replies, per running server.
    static void setBaseAddress(const Backend& backend, const QString& origin);
    // "http://127.0.0.1:<port>/pictures/<name>".
    static QString urlFor(const Backend& backend, const QString& name);
};

} // namespace sandbox

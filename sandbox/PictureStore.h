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

#pragma once

// A virtual X display (Xvfb) on a free display number, for tests and benchmarks that run the
// client with real X input. Its screen lives in a file Xvfb keeps mapped, so what the display
// shows can be read at any moment without asking the X server.
//
//   XvfbServer x;
//   if (!x.start()) skip(x.error());
//   env.insert("DISPLAY", x.display());
//   QRgb p = x.pixel({10, 20});      // live, cheap
//   QImage shot = x.screen({320, 568});

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

class XvfbServer {
public:
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // The Xvfb executable, or empty when it is not installed.
    static QString executable();
    // Starts a 640 x 700 screen without a pointer image; false with error() when it cannot.
    bool start();
    QString error() const { return m_error; }
    QString display() const { return m_display; } // ":N"

    // The pixel now shown at p (0 outside the screen or before start).
    QRgb pixel(const QPoint& p) const;
    // The top-left part of the screen now shown.
    QImage screen(const QSize& size) const;

private:
    bool mapScreen();
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_display, m_error;
    QFile* m_file = nullptr;
    const uchar* m_pixels = nullptr;
    int m_width = 0, m_height = 0, m_bytesPerLine = 0;
    bool m_lsbFirst = true;
};

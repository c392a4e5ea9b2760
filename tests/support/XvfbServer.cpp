#include "tests/support/XvfbServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QtEndian>

XvfbServer::XvfbServer() = default;

XvfbServer::~XvfbServer() {
    if (m_file) {
        m_file->close();
        delete m_file;
    }
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString XvfbServer::executable() {
    return QStandardPaths::findExecutable("Xvfb");
}

bool XvfbServer::start() {
    if (!m_display.isEmpty()) return true;
    if (executable().isEmpty()) {
        m_error = "Xvfb is not installed";
        return false;
    }
    // Xvfb picks a free display itself and names it on the descriptor given (stdout here).
    m_process.start(executable(), {"-displayfd", "1", "-screen", "0", "640x700x24", "-fbdir",
                                   m_dir.path(), "-nolisten", "tcp", "-nocursor", "-noreset"});
    QByteArray out;
    QElapsedTimer timer;
    timer.start();
    while (!out.contains('\n') && timer.elapsed() < 20000 &&
           m_process.state() != QProcess::NotRunning) {
        m_process.waitForReadyRead(100);
        out += m_process.readAllStandardOutput();
    }
    if (!out.contains('\n')) {
        m_error = "Xvfb did not start: " + QString::fromLocal8Bit(m_process.readAllStandardError());
        return false;
    }
    m_display = ":" + QString::fromLatin1(out.trimmed());
    if (!mapScreen()) {
        m_error = "Xvfb's screen file cannot be read";
        return false;
    }
    return true;
}

bool XvfbServer::mapScreen() {
    // An X window dump: a big-endian header, a colour map, then 32-bit pixels in the byte
    // order the header gives.
    m_file = new QFile(m_dir.path() + "/Xvfb_screen0");
    if (!m_file->open(QIODevice::ReadOnly) || m_file->size() < 100) return false;
    const uchar* data = m_file->map(0, m_file->size());
    if (!data) return false;
    auto field = [&](int i) { return qFromBigEndian<quint32>(data + 4 * i); };
    const quint32 headerSize = field(0), bitsPerPixel = field(11), colours = field(19);
    m_width = int(field(4));
    m_height = int(field(5));
    m_lsbFirst = field(7) == 0;
    m_bytesPerLine = int(field(12));
    const qint64 offset = qint64(headerSize) + qint64(colours) * 12;
    if (bitsPerPixel != 32 || offset + qint64(m_bytesPerLine) * m_height > m_file->size())
        return false;
    m_pixels = data + offset;
    return true;
}

QRgb XvfbServer::pixel(const QPoint& p) const {
    if (!m_pixels || p.x() < 0 || p.y() < 0 || p.x() >= m_width || p.y() >= m_height) return 0;
    const uchar* px = m_pixels + qint64(p.y()) * m_bytesPerLine + 4 * p.x();
    return m_lsbFirst ? qRgb(px[2], px[1], px[0]) : qRgb(px[1], px[2], px[3]);
}

QImage XvfbServer::screen(const QSize& size) const {
    if (!m_pixels) return {};
    const int w = std::min(size.width(), m_width), h = std::min(size.height(), m_height);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            out[x] = pixel({x, y});
    }
    return image;
}

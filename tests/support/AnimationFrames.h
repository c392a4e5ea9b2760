#pragma once

// Pictures of animation frames: where they are kept for a person to look at, and what a test
// reads from them.

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QRect>
#include <QString>
#include <cstdlib>
#include <utility>

// <build>/animations, made on first use.
inline QString animationFramesDir() {
    const QString dir = QCoreApplication::applicationDirPath() + "/../animations";
    QDir().mkpath(dir);
    return dir;
}

// The first and last columns of row y whose colour passes the test (-1, -1: none): the drawn
// width of something along that row.
template <typename Test> std::pair<int, int> columnsWhere(const QImage& picture, int y, Test test) {
    int first = -1, last = -1;
    for (int x = 0; x < picture.width(); ++x) {
        if (!test(picture.pixelColor(x, y))) continue;
        if (first < 0) first = x;
        last = x;
    }
    return {first, last};
}

// Runs animations on the manual clock a frame (16 ms) at a time while running() holds, with the
// posted work (layouts) done between frames as the event loop does, and hands each frame's
// number to look; returns how many frames there were (at most maxFrames).
template <typename Clock, typename Running, typename Look>
int eachFrame(Clock& clock, Running running, Look look, int maxFrames = 200) {
    int frames = 0;
    while (running() && frames < maxFrames) {
        clock.advance(16);
        QCoreApplication::sendPostedEvents();
        look(frames++);
    }
    return frames;
}

// A picture as it should be: white, then each layer over the ones before it, a colour or a
// picture at its frame's rounded place (as views round theirs).
struct PictureLayer {
    QRectF frame;
    QColor colour;
    QImage picture;
};
inline QImage pictureOfLayers(const QSize& size, const QList<PictureLayer>& layers) {
    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::white);
    QPainter painter(&out);
    for (const PictureLayer& layer : layers) {
        const QRect at(qRound(layer.frame.x()), qRound(layer.frame.y()),
                       qRound(layer.frame.width()), qRound(layer.frame.height()));
        if (layer.picture.isNull())
            painter.fillRect(at, layer.colour);
        else
            painter.drawImage(at.topLeft(), layer.picture);
    }
    return out;
}

// How many pixels of region differ between two pictures by more than a level of 2 in a channel.
inline int differingPixels(const QImage& a, const QImage& b, const QRect& region) {
    int count = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            if (std::abs(p.red() - q.red()) > 2 || std::abs(p.green() - q.green()) > 2 ||
                std::abs(p.blue() - q.blue()) > 2)
                ++count;
        }
    return count;
}

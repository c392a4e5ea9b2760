#pragma once

// Pictures of animation frames: where they are kept for a person to look at, and what a test
// reads from them.

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QString>
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

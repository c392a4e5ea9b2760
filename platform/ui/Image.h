#pragma once

#include <QImage>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace ui {

// The picture bundled under name (":/images/<name>" as .png, .svg or .jpg; a "@2x" PNG is
// preferred and keeps its size in points). A missing name gives a null image. Found
// pictures are cached for the process.
QImage imageNamed(const QString& name);
void clearImageCache();

// Size of an image in points (pixels over its device pixel ratio).
QSizeF imageSize(const QImage& image);

// A stretchable copy: the caps keep their size, the middle stretches.
QImage resizableImage(const QImage& image, const QMarginsF& capInsets);
QMarginsF imageCapInsets(const QImage& image);

// Draws image stretched into target, honouring cap insets.
void drawImage(QPainter& painter, const QRectF& target, const QImage& image);

} // namespace ui

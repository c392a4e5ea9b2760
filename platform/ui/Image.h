#pragma once

#include <QByteArray>
#include <QImage>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QIODevice;
class QPainter;

namespace ui {

// The picture bundled under name (":/images/<name>" as .png, .svg or .jpg; a "@2x" PNG is
// preferred and keeps its size in points). A missing name gives a null image. Found
// pictures are cached for the process.
QImage imageNamed(const QString& name);
void clearImageCache();

// Every picture read from a file or from received bytes goes through these: PNG, JPEG, GIF,
// BMP or WebP, nothing else. The size is read from the picture's head first: a picture that
// declares more than kMaxPicturePixels (or no size at all) is refused without being decoded,
// and one larger than fit is decoded at the size that fits (aspect kept), never larger. Pass
// the size the picture is shown at: a decode that would hold more than
// kMaxPictureDecodeBytes at its peak is refused too. A sequential JPEG or a non-interlaced
// 8-bit colour PNG shrinks while it is read and costs little more than the size shown; any
// other picture is decoded whole first, which keeps its side under about 1276 (16-bit colour
// with alpha) to 2632 (8-bit colour) when shown 640 wide, a little more when shown smaller (the
// shrunk copy counts too). What a large decode held goes back to the system when it ends. A
// null image when it is no picture. The file form is for the client's cached pictures and
// reads them by the rule of RegularFile.h.
inline constexpr qint64 kMaxPicturePixels = qint64(4096) * 4096;
inline constexpr qint64 kMaxPictureDecodeBytes = qint64(28) << 20;
// No picture of this client comes near it; a file or download past it is no picture.
inline constexpr qint64 kMaxPictureBytes = qint64(4) << 20;
QImage decodePicture(const QString& file, const QSize& fit = {});
QImage decodePicture(const QByteArray& bytes, const QSize& fit = {});
QImage decodePicture(QIODevice* device, const QSize& fit = {});
// The size a picture declares in its head, when it is a picture within the ceiling; an
// invalid size otherwise. Nothing is decoded.
QSize pictureSize(const QByteArray& bytes);

// Size of an image in points (pixels over its device pixel ratio).
QSizeF imageSize(const QImage& image);

// A stretchable copy: the caps keep their size, the middle stretches.
QImage resizableImage(const QImage& image, const QMarginsF& capInsets);
QMarginsF imageCapInsets(const QImage& image);

// Draws image stretched into target, honouring cap insets.
void drawImage(QPainter& painter, const QRectF& target, const QImage& image);

} // namespace ui

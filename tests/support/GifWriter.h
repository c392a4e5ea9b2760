#pragma once

#include <QByteArray>
#include <QImage>

namespace testsupport {

// The image as a GIF (Qt reads GIF but does not write it): one frame, its colours reduced to a
// palette of at most 256, LZW-compressed as any encoder would.
QByteArray gifOf(const QImage& image);

} // namespace testsupport

#pragma once

#include <QImage>
#include <QString>

// The process-wide memory cache of decoded pictures, by full file path. It holds the few
// pictures the screens show; past kMaxBytes of pixels the least recently used go (they are
// read again from their files when asked for).
namespace MultiplexCache {
inline constexpr qint64 kMaxBytes = qint64(96) << 20;
// A null image when the key is not cached.
QImage imageWithKey(const QString& key);
// Stores only when both image and key are there.
void setImage(const QImage& image, const QString& key);
void removeCache();
int count();
} // namespace MultiplexCache

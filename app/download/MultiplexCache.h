#pragma once

#include <QImage>
#include <QString>

// The process-wide memory cache of decoded pictures, by full file path. No limit, no
// eviction: it holds the few pictures the screens show.
namespace MultiplexCache {
// A null image when the key is not cached.
QImage imageWithKey(const QString& key);
// Stores only when both image and key are there.
void setImage(const QImage& image, const QString& key);
void removeCache();
int count();
} // namespace MultiplexCache

#include "app/download/MultiplexCache.h"

#include <QHash>
#include <memory>

namespace MultiplexCache {

namespace {
std::unique_ptr<QHash<QString, QImage>>& cache() {
    static std::unique_ptr<QHash<QString, QImage>> map;
    return map;
}
} // namespace

QImage imageWithKey(const QString& key) {
    return cache() ? cache()->value(key) : QImage();
}

void setImage(const QImage& image, const QString& key) {
    if (image.isNull() || key.isEmpty()) return;
    if (!cache()) cache() = std::make_unique<QHash<QString, QImage>>();
    cache()->insert(key, image);
}

void removeCache() {
    cache().reset();
}

int count() {
    return cache() ? int(cache()->size()) : 0;
}

} // namespace MultiplexCache

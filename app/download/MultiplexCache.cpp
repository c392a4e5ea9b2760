#include "app/download/MultiplexCache.h"

#include <QCache>
#include <memory>

namespace MultiplexCache {

namespace {
using Cache = QCache<QString, QImage>;
std::unique_ptr<Cache>& cache() {
    static std::unique_ptr<Cache> map;
    return map;
}
// Cost in KB of decoded pixels.
int costOf(const QImage& image) {
    return int(std::max<qint64>(1, image.sizeInBytes() / 1024));
}
} // namespace

QImage imageWithKey(const QString& key) {
    const QImage* image = cache() ? cache()->object(key) : nullptr;
    return image ? *image : QImage();
}

void setImage(const QImage& image, const QString& key) {
    if (image.isNull() || key.isEmpty()) return;
    if (!cache()) cache() = std::make_unique<Cache>(int(kMaxBytes / 1024));
    cache()->insert(key, new QImage(image), costOf(image));
}

void removeCache() {
    cache().reset();
}

int count() {
    return cache() ? int(cache()->size()) : 0;
}

} // namespace MultiplexCache

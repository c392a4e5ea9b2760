// Feeds arbitrary bytes to the settings reader: the measuring that guards the library, the
// property-list parse the user defaults and cached files go through (XML or binary), then a
// write and a second read of whatever it accepted.

#include "platform/foundation/PropertyList.h"

#include <QVariantList>
#include <QVariantMap>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Depth and count of what was built, as the measuring counts them for a binary list (the
// reader has already bounded the depth, so recursion is safe here).
void shapeOf(const QVariant& v, int level, int* depth, qint64* objects) {
    *depth = std::max(*depth, level);
    ++*objects;
    if (v.typeId() == QMetaType::QVariantList)
        for (const QVariant& item : v.toList())
            shapeOf(item, level + 1, depth, objects);
    if (v.typeId() == QMetaType::QVariantMap)
        for (const QVariant& item : v.toMap())
            shapeOf(item, level + 1, depth, objects);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const ns::PropertyList::Shape measured = ns::PropertyList::measure(bytes);
    const QVariant value = ns::PropertyList::fromData(bytes);
    if (!value.isValid()) return 0;
    // Whatever the library built, the measuring saw coming: it never counts less.
    int depth = 0;
    qint64 objects = 0;
    shapeOf(value, 1, &depth, &objects);
    if (!measured.wellFormed || depth > measured.depth || objects > measured.objects) std::abort();
    // What was read must write out and read back (a settings file is rewritten on save).
    const QByteArray again = ns::PropertyList::toXml(value);
    if (ns::PropertyList::isAcceptable(again) && !ns::PropertyList::fromXml(again).isValid())
        std::abort();
    return 0;
}

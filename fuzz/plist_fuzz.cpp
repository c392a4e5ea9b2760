// Feeds arbitrary bytes to the settings reader: the property-list parse the user defaults and
// cached files go through, then a write and a second read of whatever it accepted.

#include "platform/foundation/PropertyList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QVariant value = ns::PropertyList::fromXml(bytes);
    if (!value.isValid()) return 0;
    // What was read must write out and read back (a settings file is rewritten on save).
    const QByteArray again = ns::PropertyList::toXml(value);
    if (!again.isEmpty() && !ns::PropertyList::fromXml(again).isValid()) std::abort();
    return 0;
}

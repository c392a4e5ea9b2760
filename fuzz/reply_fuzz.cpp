// Feeds arbitrary bytes to the reading of server replies: the JSON parse every request
// applies, then the readers every screen uses on the keys they expect.

#include "app/categories/BFDicUtils.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Values.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QVariant reply = ns::Json::parse(bytes);
    static const char* keys[] = {"result", "msg", "session", "list", "enc_line_id", "data", ""};
    for (const char* key : keys) {
        (void)BFDicUtils::isNull(reply, key);
        (void)BFDicUtils::getString(reply, key);
        (void)BFDicUtils::getInt(reply, key);
        (void)BFDicUtils::getBool(reply, key);
        const QVariantList list = BFDicUtils::getList(reply, key);
        for (const QVariant& item : list) (void)BFDicUtils::getString(item, "name");
        (void)BFDicUtils::getDic(reply, key);
        (void)ns::Values::integerValue(reply.toMap().value(key));
    }
    // Cached configuration files are property lists read back from disk.
    (void)ns::PropertyList::fromXml(bytes);
    return 0;
}

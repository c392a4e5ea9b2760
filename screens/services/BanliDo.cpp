#include "screens/services/BanliDo.h"

#include "platform/foundation/Values.h"

namespace {
QString field(const QVariantMap& dict, const char* key) {
    // Numbers arrive for some ids ("configflag" among them); their text is what is shown.
    return ns::Values::stringValue(dict.value(QString::fromLatin1(key)));
}
} // namespace

BanliDo BanliDo::initWithMenuDict(const QVariantMap& dict) {
    BanliDo item;
    item.categoryid = field(dict, "categoryid");
    item.marketid = field(dict, "marketid");
    item.sort = field(dict, "sort");
    item.marketname = field(dict, "marketname");
    item.markettype = field(dict, "markettype");
    item.useflag = field(dict, "useflag");
    item.fee = field(dict, "fee");
    item.brand = field(dict, "brand");
    item.shortdesc = field(dict, "shortdesc");
    item.subscribers = field(dict, "subscribers");
    item.configflag = field(dict, "configflag");
    item.iconUrl = field(dict, "busiicon");
    return item;
}

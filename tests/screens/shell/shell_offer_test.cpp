#include <gtest/gtest.h>

#include "platform/ui/Label.h"
#include "screens/services/BanliDo.h"
#include "screens/services/MorePackageTableViewCell.h"

namespace {

TEST(Offer, FieldsComeFromTheirKeysAndAnythingMissingIsEmpty) {
    const QVariantMap reply{{"categoryid", "7"},   {"marketid", "2010020140101001"},
                            {"sort", 3},           {"marketname", "流量加油包"},
                            {"markettype", ""},    {"useflag", QVariant()},
                            {"fee", 10.5},         {"brand", QVariantList{"x"}},
                            {"shortdesc", "说明"}, {"subscribers", "1024"},
                            {"configflag", 2},     {"busiicon", "http://127.0.0.1/i.png"},
                            {"iconUrl", "ignored"}};
    const BanliDo offer = BanliDo::initWithMenuDict(reply);
    EXPECT_EQ(offer.categoryid, "7");
    EXPECT_EQ(offer.marketid, "2010020140101001");
    EXPECT_EQ(offer.sort, "3");
    EXPECT_EQ(offer.marketname, "流量加油包");
    EXPECT_EQ(offer.markettype, "");
    EXPECT_EQ(offer.useflag, "");
    EXPECT_EQ(offer.fee, "10.5");
    EXPECT_EQ(offer.brand, "");
    EXPECT_EQ(offer.configflag, "2");
    EXPECT_EQ(offer.iconUrl, "http://127.0.0.1/i.png");

    const BanliDo blank = BanliDo::initWithMenuDict({});
    for (const QString& field :
         {blank.categoryid, blank.marketid, blank.marketname, blank.configflag, blank.iconUrl})
        EXPECT_TRUE(field.isEmpty());
}

TEST(OfferCell, GrowsWithTheDescriptionButNeverBelow112) {
    MorePackageTableViewCell cell;
    BanliDo offer;
    offer.marketname = "4G飞享套餐";
    offer.shortdesc = "短";
    offer.subscribers = "12人已办理";
    cell.setBanliDO(offer);
    EXPECT_EQ(cell.frame().height(), MorePackageTableViewCell::kMinimumHeight);
    EXPECT_EQ(cell.nameLabel()->text(), "4G飞享套餐");
    EXPECT_EQ(cell.subscribersLabel()->text(), "12人已办理");

    offer.shortdesc = QString("每月含国内流量与通话分钟数，超出部分按标准资费计算。").repeated(6);
    cell.setBanliDO(offer);
    const double tall = cell.frame().height();
    EXPECT_GT(tall, MorePackageTableViewCell::kMinimumHeight);
    EXPECT_LE(cell.subscribersLabel()->frame().bottom(), tall);
    EXPECT_GE(cell.subscribersLabel()->frame().top(), cell.descLabel()->frame().bottom());

    offer.shortdesc = "短"; // a reused row shrinks back
    cell.setBanliDO(offer);
    EXPECT_EQ(cell.frame().height(), MorePackageTableViewCell::kMinimumHeight);
}

} // namespace

#include "screens/query/ManageViewController.h"

#include "app/core/PublicFunction.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/StoryboardSegue.h"
#include "platform/ui/View.h"
#include "screens/query/OperatorPages.h"
#include "screens/services/DiscountViewController.h"

TAVRIX_REGISTER_SCENE("Main", "ManageViewController", ManageViewController);
TAVRIX_REGISTER_SEGUE("ManageViewController", "ManageViewToRechargeRecord", Push, "Main",
                      "RechargeRecordViewController");
TAVRIX_REGISTER_SEGUE("ManageViewController", "ManageViewToPointsQuery", Push, "Main",
                      "PointsQueryViewController");

namespace {

// The board: two columns of entries under the navigation bar, the three offers at the bottom.
constexpr double kLeft = 10;
constexpr double kTop = 10;
constexpr double kColumnWidth = 145;
constexpr double kColumnGap = 10;
constexpr double kRowHeight = 44;
constexpr double kRowGap = 8;

struct Entry {
    int tag;
    const char* title;
    const char* segue = nullptr; // wired to this segue instead of a tag dispatch
};

constexpr Entry kBoard[] = {
    {ManageViewController::kPlanChangeTag, "流量套餐变更"},
    {ManageViewController::kFlowShareTag, "流量共享"},
    {ManageViewController::kFlowWalletTag, "流量钱包"},
    {ManageViewController::kCouponTag, "电子券专区"},
    {ManageViewController::kBroadbandTag, "塔维宽带"},
    {ManageViewController::kSecureNumTag, "副号业务"},
    {ManageViewController::kDiscountTag, "优惠活动", "ManageViewToDiscountView"},
    {ManageViewController::kHotBusinessTag, "热门业务", "ManageViewToHotBusiness"},
    {ManageViewController::kMorePackageTag, "更多套餐"},
    {ManageViewController::kRechargeRecordTag, "充值记录", "ManageViewToRechargeRecord"},
    {ManageViewController::kPointsTag, "积分兑换", "ManageViewToPointsQuery"},
};

constexpr Entry kBottomThree[] = {
    {ManageViewController::kRingToneTag, "彩铃业务"},
    {ManageViewController::kReadingTag, "塔维悦读"},
    {ManageViewController::kWeatherTag, "天气预报"},
};

QRectF boardFrame(int index) {
    const int row = index / 2;
    const int column = index % 2;
    return {kLeft + column * (kColumnWidth + kColumnGap), kTop + row * (kRowHeight + kRowGap),
            kColumnWidth, kRowHeight};
}

} // namespace

ManageViewController::Page ManageViewController::pageForTag(int tag) {
    switch (tag) {
    case kFlowShareTag:
        return {"ulvek/chongdingxiang/index.jsp?pid=3&v=2&cf=1001&phone=%@&session=%@&nonce=%@"
                "&encpn=%@",
                "流量共享", true};
    case kBroadbandTag:
        return {"ulvek/guangkuandai/index.html?num=%@&session=%@&type=3", "塔维宽带", false};
    case kCouponTag:
        return {"ulvek/chongdingxiang/index.html?pid=4&v=10&cf=1001&phone=%@&session=%@&nonce=%@"
                "&encpn=%@",
                "电子券专区", true};
    case kFlowWalletTag:
        return {"ulvek/chongdingxiang/index.html?pid=3&v=7&cf=1001&phone=%@&session=%@&nonce=%@"
                "&encpn=%@",
                "流量钱包", true};
    case kRingToneTag:
        return {"ulvek/handle.html?num=%@&session=%@&marketid=2010020140312002&type=3", "彩铃业务",
                false};
    case kReadingTag:
        return {"ulvek/handle.html?num=%@&session=%@&marketid=2010020140101001&type=3", "塔维悦读",
                false};
    case kWeatherTag:
        return {"ulvek/handle.html?num=%@&session=%@&marketid=2010020140312004&type=3", "天气预报",
                false};
    default:
        return {};
    }
}

ManageViewController::ManageViewController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("办理"));
}

void ManageViewController::loadView() {
    ViewController::loadView();
    ui::View* root = view();
    int index = 0;
    for (const Entry& entry : kBoard) {
        const int tag = entry.tag;
        const QString segue = QString::fromLatin1(entry.segue);
        OperatorPages::entryButton(root, boardFrame(index++), tag, QString::fromUtf8(entry.title),
                                   [this, tag, segue](ui::Button* sender) {
                                       if (!segue.isEmpty())
                                           performSegueWithIdentifier(segue, sender);
                                       else if (tag == kMorePackageTag)
                                           goToMorePackage();
                                       else
                                           buttonPressed(sender);
                                   });
    }
    const double bottomTop = kTop + ((index + 1) / 2) * (kRowHeight + kRowGap) + 12;
    auto* caption = new ui::Label(QRectF(kLeft, bottomTop, 300, 20), root);
    caption->setText(QStringLiteral("精选业务"));
    caption->setFont(ui::Font::systemFontOfSize(13));
    caption->setTextColor(QColor(120, 120, 120));
    const double width = (300 - 2 * kColumnGap) / 3;
    int column = 0;
    for (const Entry& entry : kBottomThree) {
        ui::Button* button = OperatorPages::entryButton(
            root,
            QRectF(kLeft + column++ * (width + kColumnGap), bottomTop + 26, width, kRowHeight),
            entry.tag, QString::fromUtf8(entry.title),
            [this](ui::Button* sender) { bottomThreeWebButtonPressed(sender); });
        button->setContentHorizontalAlignment(ui::Control::ContentHorizontalAlignment::Center);
        button->setContentEdgeInsets(QMarginsF());
    }
}

void ManageViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    setNavShowBack(false);
}

ui::Button* ManageViewController::buttonWithTag(int tag) const {
    return OperatorPages::buttonWithTag(this, tag);
}

void ManageViewController::openPage(int tag) {
    const Page page = pageForTag(tag);
    if (page.path.isEmpty()) return;
    const QString address =
        page.encrypted ? OperatorPages::encryptedPageAddress(page.path)
                       : OperatorPages::pageAddress(
                             page.path, {PublicFunction::getConfigWithKey("username").toString(),
                                         PublicFunction::getConfigWithKey("session").toString()});
    OperatorPages::openWebPage(this, address, page.title, false);
}

void ManageViewController::buttonPressed(ui::Button* sender) {
    if (!sender) return;
    switch (sender->tag()) {
    case kPlanChangeTag:
        OperatorPages::pushScene(this, "Flow", "FlowSuitChangeController", true, true,
                                 [](ui::ViewController* screen) {
                                     // Changing the data plan, never ordering add-on packs.
                                     if (screen->metaObject()->indexOfProperty("dataType") >= 0)
                                         screen->setProperty("dataType", QStringLiteral("1"));
                                 });
        break;
    case kFlowShareTag:
    case kBroadbandTag:
    case kCouponTag:
    case kFlowWalletTag:
        openPage(sender->tag());
        break;
    case kSecureNumTag:
        OperatorPages::pushScene(this, "SecureNum", "SecurenumGuideViewController", false, true);
        break;
    default:
        break;
    }
}

void ManageViewController::bottomThreeWebButtonPressed(ui::Button* sender) {
    if (!sender) return;
    if (sender->tag() == kRingToneTag || sender->tag() == kReadingTag ||
        sender->tag() == kWeatherTag)
        openPage(sender->tag());
}

void ManageViewController::goToMorePackage() {
    OperatorPages::pushScene(this, "Main", "MorePackageViewController", false, false);
}

void ManageViewController::prepareForSegue(ui::StoryboardSegue* segue, QObject* sender) {
    ViewController::prepareForSegue(segue, sender);
    if (segue->identifier() != QLatin1String("ManageViewToDiscountView")) return;
    ui::ViewController* destination = segue->destinationViewController();
    destination->setHidesBottomBarWhenPushed(true);
    if (auto* discount = qobject_cast<DiscountViewController*>(destination))
        discount->setFromWhere(QStringLiteral("FromManage"));
}

#include "screens/billing/PointsQueryViewController.h"

#include "app/categories/BFDicUtils.h"
#include "app/categories/Block.h"
#include "app/core/BFHudUtils.h"
#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "platform/foundation/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "screens/billing/BillingSupport.h"
#include "screens/billing/PointsProductGrid.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "widgets/RoundCornerView.h"

#include <cmath>

TAVRIX_REGISTER_SCENE("Main", "PointsQueryViewController", PointsQueryViewController);
TAVRIX_REGISTER_SEGUE("PointsQueryViewController", "PointsQueryToExchangeRecord", Push, "Main",
                      "PointsExchangeRecordViewController");

namespace {

const QString kTitle = QStringLiteral("提示");

QString orZero(const QString& text) {
    return text.isEmpty() ? QStringLiteral("0") : text;
}

ui::Label* makeLabel(const QRectF& frame, double size, const QColor& colour, ui::View* parent) {
    auto* label = new ui::Label(frame, parent);
    label->setFont(ui::Font::systemFontOfSize(size));
    label->setTextColor(colour);
    label->setTextAlignment(ui::TextAlignment::Center);
    return label;
}

} // namespace

PointsQueryViewController::PointsQueryViewController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("积分查询"));
    setHidesBottomBarWhenPushed(true);
}

PointsQueryViewController::~PointsQueryViewController() = default;

ui::ScrollView* PointsQueryViewController::scrollView() const {
    return isViewLoaded()
               ? qobject_cast<ui::ScrollView*>(const_cast<PointsQueryViewController*>(this)->view())
               : nullptr;
}

void PointsQueryViewController::loadView() {
    auto* root = new ui::ScrollView(QRectF(QPointF(), ui::Window::screenSize()));
    root->setShowsVerticalScrollIndicator(false);
    setView(root);
    m_labelOfPhoneNum = new ui::Label(QRectF(15, 12, 290, 20), root);
    m_labelOfPhoneNum->setFont(ui::Font::systemFontOfSize(14));
    m_labelOfPhoneNum->setTextColor(BillingSupport::darkGrayColor());

    auto* card = new RoundCornerView(QRectF(10, 40, 300, 64), root);
    makeLabel(QRectF(0, 8, 150, 18), 12, BillingSupport::darkGrayColor(), card)
        ->setText(QStringLiteral("可兑换积分"));
    makeLabel(QRectF(150, 8, 150, 18), 12, BillingSupport::darkGrayColor(), card)
        ->setText(QStringLiteral("即将过期积分"));
    m_labelOfExchengeable = makeLabel(QRectF(0, 28, 150, 28), 20, QColor(77, 198, 225), card);
    m_labelOfWillExpire = makeLabel(QRectF(150, 28, 150, 28), 20, QColor(231, 49, 92), card);

    m_labelOfDesc = new ui::Label(QRectF(16, 116, 287, 0), root);
    m_labelOfDesc->setNumberOfLines(0);
    m_labelOfDesc->setLineBreakMode(ui::LineBreakMode::WordWrapping);

    m_collectionView = new PointsProductGrid(QRectF(10, 142, 300, 0), root);
    m_collectionView->setSource({
        [this] { return int(m_arrayOfButtons.size()); },
        [this](PointsQueryCollectionCell* cell, int item) {
            const QVariant product = m_arrayOfButtons.value(item);
            BillingSupport::loadImage(cell->imageViewOfCell(),
                                      BFDicUtils::getString(product, QStringLiteral("picture")),
                                      QStringLiteral("points_default"));
            cell->labelOfCell()->setText(BFDicUtils::getString(product, QStringLiteral("value")));
        },
        [this](int item) { return shouldSelectItem(item); },
        [this](int item) { didSelectItem(item); },
    });

    m_buttonOfExchangeRecord = new ui::Button(QRectF(10, 452, 300, 40), root);
    m_buttonOfExchangeRecord->setTitle(QStringLiteral("兑换记录"));
    m_buttonOfExchangeRecord->setTitleColor(Qt::white);
    m_buttonOfExchangeRecord->titleLabel()->setFont(ui::Font::systemFontOfSize(16));
    m_buttonOfExchangeRecord->setBackgroundColor(TavrixApplicationSpecific::tavrix_blueColor());
    m_buttonOfExchangeRecord->setCornerRadius(5);
    m_buttonOfExchangeRecord->addAction(ui::Control::TouchUpInside, [this] {
        performSegueWithIdentifier(QStringLiteral("PointsQueryToExchangeRecord"), this);
    });
}

void PointsQueryViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    view()->setBackgroundColor(Qt::white);
    m_arrayOfButtons.clear();
    m_labelOfPhoneNum->setText(QStringLiteral("尊敬的%1客户：")
                                   .arg(PublicFunction::getConfigWithKey("username").toString()));
    requestOfPointsSend();
}

void PointsQueryViewController::requestOfPointsSend() {
    HTTPRequest* request = requestStartWithKey(QStringLiteral("ExchangePoint"), true);
    request->setPostValue(QStringLiteral("0"), QStringLiteral("action"));
    request->setPostValue(QStringLiteral("2"), QStringLiteral("channel"));
    request->setCompletionHandler([this](const QVariant& reply) { pointsReplied(reply); });
    request->startRequest();
}

void PointsQueryViewController::pointsReplied(const QVariant& reply) {
    if (ui::ScrollView* scroll = scrollView()) scroll->setScrollEnabled(true);
    const QVariant judged = requestFinishedBase(reply);
    if (!judged.isValid()) return;
    const QString added = orZero(BFDicUtils::getString(judged, QStringLiteral("added")));
    // The server writes it as a number or a text; missing means none.
    const QString available = orZero(BFDicUtils::getString(judged, QStringLiteral("available")));
    const QString willExpire = orZero(BFDicUtils::getString(judged, QStringLiteral("willInvalid")));
    const QString expireTime = BFDicUtils::getString(judged, QStringLiteral("willInvalidYM"));
    m_labelOfExchengeable->setText(available);
    m_labelOfWillExpire->setText(willExpire);
    m_labelOfDesc->setAttributedText(
        attributedDescWithAvailable(available, added, willExpire, expireTime));
    m_labelOfDesc->setFrame(PublicFunction::textLabel(m_labelOfDesc, QSizeF(287, 1000)));
    m_arrayOfButtons.clear();
    for (const QVariant& product : BFDicUtils::getList(judged, QStringLiteral("list")))
        if (ns::Values::isMap(product)) m_arrayOfButtons.append(product);
    adaptationExchangeButtonsView();
}

ui::AttributedString PointsQueryViewController::attributedDescWithAvailable(
    const QString& available, const QString& annualIncrement, const QString& willExpire,
    const QString& expireTime) {
    ui::ParagraphStyle paragraph;
    paragraph.firstLineHeadIndent = 15;
    ui::TextAttributes grey;
    grey.font = ui::Font::systemFontOfSize(14);
    grey.foregroundColor = BillingSupport::lightGrayColor();
    grey.paragraphStyle = paragraph;
    auto coloured = [](int r, int g, int b) {
        ui::TextAttributes a;
        a.font = ui::Font::systemFontOfSize(14);
        a.foregroundColor = QColor(r, g, b);
        return a;
    };
    ui::AttributedString text(QStringLiteral("您当前账户可用积分为"), grey);
    text.appendString(available, coloured(77, 198, 225));
    text.appendString(QStringLiteral("，本年度新增积分"), grey);
    text.appendString(annualIncrement, coloured(107, 185, 15));
    text.appendString(QStringLiteral("，有"), grey);
    text.appendString(willExpire, coloured(231, 49, 92));
    text.appendString(
        QStringLiteral("积分%1过期。您可以根据需要将积分兑换为下面产品：").arg(expireTime), grey);
    return text;
}

void PointsQueryViewController::adaptationExchangeButtonsView() {
    ui::ScrollView* scroll = scrollView();
    const QRectF desc = m_labelOfDesc->frame();
    const double y = std::floor(desc.y() + desc.height() + 26);
    // No products: no grid at all, rather than one of negative height.
    const double height = PointsProductGrid::heightForCount(int(m_arrayOfButtons.size()));
    QRectF grid = m_collectionView->frame();
    grid.moveTop(y);
    grid.setHeight(height);
    m_collectionView->setFrame(grid);
    const double bottom = y + height + 60;
    if (scroll && bottom > scroll->frame().height())
        scroll->setContentSize(QSizeF(scroll->frame().width(), bottom));
    QRectF button = m_buttonOfExchangeRecord->frame();
    const double contentHeight = scroll ? scroll->contentSize().height() : bottom;
    button.moveTop(contentHeight - 12 - button.height());
    m_buttonOfExchangeRecord->setFrame(button);
    m_collectionView->reloadData();
}

bool PointsQueryViewController::shouldSelectItem(int item) {
    if (BFDicUtils::getBool(m_arrayOfButtons.value(item), QStringLiteral("sign"))) return true;
    BFHudUtils::showText(QStringLiteral("您的积分不足，无法兑换！"), view(), this);
    return false;
}

void PointsQueryViewController::didSelectItem(int item) {
    const QVariant product = m_arrayOfButtons.value(item);
    const QString name = BFDicUtils::getString(product, QStringLiteral("name"));
    const QString productID = BFDicUtils::getString(product, QStringLiteral("productid"));
    const QString message = QStringLiteral("您将消耗%1兑换%2")
                                .arg(BFDicUtils::getString(product, QStringLiteral("value")), name);
    QPointer<PointsQueryViewController> self(this);
    ui::AlertView* confirmation = Block::alertWithTitle(
        kTitle, message,
        [self, name, productID](int index) {
            if (self && index == 1) self->requestOfPointsExchangeSendWithName(name, productID);
        },
        QStringLiteral("取消"), QStringLiteral("确认"));
    confirmation->show();
    // An exchange asked on a screen that has gone is not asked any more.
    QPointer<ui::AlertView> asked(confirmation);
    keepOverWindowWhileShown(confirmation, [asked] {
        if (asked) asked->dismissWithClickedButtonIndex(asked->cancelButtonIndex(), false);
    });
}

void PointsQueryViewController::requestOfPointsExchangeSendWithName(const QString& name,
                                                                    const QString& productID) {
    HTTPRequest* request = requestStartWithKey(QStringLiteral("ExchangePoint"), true);
    request->setAtMostOnce(true);
    request->setPostValue(QStringLiteral("1"), QStringLiteral("action"));
    request->setPostValue(QStringLiteral("2"), QStringLiteral("channel"));
    request->setPostValue(productID, QStringLiteral("productid"));
    request->setPostValue(name, QStringLiteral("name"));
    request->setCompletionHandler([this](const QVariant& reply) {
        if (ui::ScrollView* scroll = scrollView()) scroll->setScrollEnabled(true);
        if (!requestFinishedBase(reply).isValid()) return;
        QPointer<PointsQueryViewController> self(this);
        Block::alertWithTitle(
            kTitle, QStringLiteral("兑换成功"),
            [self](int) {
                if (self) self->requestOfPointsSend();
            },
            QStringLiteral("确认"), QString())
            ->show();
    });
    request->startRequest();
}

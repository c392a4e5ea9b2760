#include "screens/usage/FlowSuitChangeController.h"

#include "app/categories/BFLayoutUtils.h"
#include "app/categories/NoCrash.h"
#include "app/core/HTTPRequest.h"
#include "app/core/NotificationNames.h"
#include "app/core/PublicFunction.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Font.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "screens/usage/FlowFormat.h"
#include "screens/usage/FlowOrder.h"
#include "screens/usage/FlowSuitCell.h"
#include "widgets/ActivityIndicator.h"
#include "widgets/ModalDialogBox.h"
#include "widgets/ModalDialogView.h"
#include "widgets/OverlayHUD.h"
#include "widgets/RoundCornerView.h"

#include <QDebug>

namespace {
constexpr int kSectionTitleHeight = 21;
constexpr int kSectionTitleAdvance = 31;
constexpr int kSectionGap = 10;
} // namespace

FlowSuitChangeController::FlowSuitChangeController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("流量套餐"));
    setHidesBottomBarWhenPushed(true);
}

FlowSuitChangeController::~FlowSuitChangeController() = default;

void FlowSuitChangeController::loadView() {
    ViewController::loadView();
    m_scrollView =
        new ui::ScrollView(QRectF(0, 0, 320, ui::Window::screenSize().height() - 64), view());
}

void FlowSuitChangeController::viewDidLoad() {
    // Opened without a mode: the plan change (said on the console, as an opener forgot it).
    if (m_dataType == 0) {
        qDebug().noquote() << QString::number(m_dataType);
        m_dataType = 1;
    }
    m_startX = 8;
    m_startY = 0;
    m_cellHeight = 60;
    m_baseWidth = 305;
    ViewController::viewDidLoad();
    requestGPRSData();
}

void FlowSuitChangeController::viewDidAppear(bool animated) {
    ViewController::viewDidAppear(animated);
    m_scrollView->setShowsVerticalScrollIndicator(true);
    m_scrollView->setShowsHorizontalScrollIndicator(false);
    m_scrollView->setIndicatorStyle(ui::ScrollView::IndicatorStyle::White);
}

void FlowSuitChangeController::viewWillDisappear(bool animated) {
    ActivityIndicator::hide();
    ViewController::viewWillDisappear(animated);
}

QVariant FlowSuitChangeController::judgeChainStep(const QVariant& reply) {
    const QVariant accepted = requestFinishedBaseForSuitChange(reply);
    if (!accepted.isValid() && baseHud()) baseHud()->hide(true);
    return accepted;
}

void FlowSuitChangeController::requestGPRSData() {
    HTTPRequest* request = requestStartWithKey("Balance", false);
    request->setCompletionHandler([this](const QVariant& reply) {
        const QVariant accepted = requestFinishedBase(reply);
        if (!accepted.isValid()) return;
        m_is4g = ns::Values::boolValue(accepted.toMap().value("is_4g"));
        requestSuitProductData();
    });
    request->startRequest();
}

void FlowSuitChangeController::requestSuitProductData() {
    requestProductList("2", true, [this](const QVariantList& plans) {
        m_suitRecommendDataList = plans;
        requestaddProductData();
    });
}

void FlowSuitChangeController::requestaddProductData() {
    requestProductList("0", false, [this](const QVariantList& packs) {
        m_addRecommendDataList = packs;
        flowRecommendList(m_is4g ? QStringLiteral("1") : QStringLiteral("0"), true);
    });
}

void FlowSuitChangeController::requestProductList(const QString& position, bool isNeedLoadingView,
                                                  std::function<void(const QVariantList&)> next) {
    HTTPRequest* request = requestStartWithKey("FlowProduct", isNeedLoadingView);
    request->setPostValue(position, "position");
    request->setCompletionHandler([this, next](const QVariant& reply) {
        const QVariant accepted = judgeChainStep(reply);
        if (!accepted.isValid()) return;
        const FlowFormat::ListReading products = FlowFormat::readList(accepted.toMap(), "list");
        if (!products.valid) {
            if (baseHud()) baseHud()->hide(true);
            PublicFunction::showAlert(QStringLiteral("系统提示"), QStringLiteral("查询失败"));
            return;
        }
        next(products.list);
    });
    request->startRequest();
}

void FlowSuitChangeController::flowRecommendList(const QString& type, bool isLoadAll) {
    // The lists on screen must be those of the last network type asked for.
    if (m_recommendRequest) m_recommendRequest->cancleRequest();
    const quint64 serial = ++m_recommendSerial;
    HTTPRequest* request = requestStartWithKey("FlowRecommend", false);
    request->setPostValue(type, "type");
    request->setCompletionHandler([this, serial, type, isLoadAll](const QVariant& reply) {
        if (serial != m_recommendSerial) return;
        const QVariant accepted = requestFinishedBase(reply);
        if (!accepted.isValid()) return;
        const FlowFormat::ListReading maplist = FlowFormat::readList(accepted.toMap(), "maplist");
        if (!maplist.valid) {
            PublicFunction::showAlert(QStringLiteral("系统提示"), QStringLiteral("查询失败"));
            return;
        }
        m_mod = type;
        for (const QVariant& entry : maplist.list) {
            const QVariantMap map = entry.toMap();
            const FlowFormat::ListReading list = FlowFormat::readList(map, "list");
            if (!list.present || !list.valid) continue;
            switch (ns::Values::integerValue(map.value("position"))) {
            case 1:
                m_orderDataList = list.list;
                break;
            case 2:
                m_updateDataList = list.list;
                break;
            case 3:
                m_spareDataList = list.list;
                break;
            default:
                break;
            }
        }
        if (isLoadAll)
            doLayout();
        else
            doLayoutFlowData();
    });
    m_recommendRequest = request;
    request->startRequest();
}

void FlowSuitChangeController::doLayout() {
    doLayouFront();
    doLayoutFlowData();
}

void FlowSuitChangeController::doLayouFront() {
    if (m_suitBtn) return; // the top part is made once
    auto* card = new RoundCornerView(QRectF(m_startX, m_startY + 15, m_baseWidth, 43));
    card->setBackgroundColor(Qt::white);
    auto makeTab = [&](const QString& title, const QRectF& frame, const BFColor& colour) {
        ui::Button* tab =
            BFLayoutUtils::getUIButton(title, QString(""), QString(""), frame, colour);
        tab->setContentHorizontalAlignment(ui::Control::ContentHorizontalAlignment::Center);
        tab->titleLabel()->setFont(ui::Font::systemFontOfSize(14));
        tab->setTitleColor(FlowFormat::darkGray(), ui::Control::Normal);
        tab->setTitleColor(TavrixApplicationSpecific::tavrix_blueColor(), ui::Control::Selected);
        return tab;
    };
    m_suitBtn = makeTab(QStringLiteral("变更流量套餐"), QRectF(18, 0, 120, 43), {116, 169, 219, 1});
    m_suitBtn->addAction(ui::Control::TouchUpInside, [this] { reqSuitFlowProduct(); });
    m_addBtn = makeTab(QStringLiteral("订购加油包"), QRectF(172, 0, 120, 43), {146, 146, 146, 1});
    m_addBtn->addAction(ui::Control::TouchUpInside, [this] { reqAddFlowProduct(); });
    auto* separator = new ui::View(QRectF(159, 8, 1, 25));
    separator->setBackgroundColor(QColor(220, 220, 220));
    m_addBtn->setSelected(m_dataType == 2);
    m_suitBtn->setSelected(m_dataType != 2);
    card->addSubview(m_suitBtn);
    card->addSubview(m_addBtn);
    card->addSubview(separator);
    m_scrollView->addSubview(card);
    m_scrollHeight = int(card->frame().bottom()) + 10;

    const double x = 320 - m_startX - 90;
    auto* backing = new ui::View(QRectF(x + 1, m_scrollHeight + 1, 88, 18));
    backing->setBackgroundColor(Qt::white);
    m_scrollView->addSubview(backing);
    m_segment = new FlowSegmentedControl({QStringLiteral("2G/3G"), QStringLiteral("4G")},
                                         QRectF(x, m_scrollHeight, 90, 21));
    m_segment->setSelectedSegmentIndex(m_is4g ? 1 : 0);
    m_segment->setTintColor(TavrixApplicationSpecific::tavrix_blueColor());
    m_segment->setBackgroundColor(Qt::transparent);
    m_segment->setFont(ui::Font::systemFontOfSize(11));
    m_segment->addAction(ui::Control::ValueChanged, [this] { segmentAction(); });
    m_scrollView->addSubview(m_segment);
    m_frontHeight = m_scrollHeight;
}

void FlowSuitChangeController::addSection(QPointer<ui::Label>& label,
                                          QPointer<ui::TableView>& table, int tag,
                                          const QString& title, bool alwaysTitled) {
    const qsizetype rows = listForTable(tag).size();
    if (rows == 0 && !alwaysTitled) return;
    label = new ui::Label(QRectF(m_startX, m_scrollHeight, m_baseWidth, kSectionTitleHeight));
    label->setFont(ui::Font::systemFontOfSize(11));
    label->setTextColor(FlowFormat::darkGray());
    label->setText(title);
    m_scrollView->addSubview(label);
    m_scrollHeight += kSectionTitleAdvance;
    if (rows > 0) {
        table = new ui::TableView(
            QRectF(m_startX, m_scrollHeight, m_baseWidth, double(rows * m_cellHeight)));
        table->setTag(tag);
        table->setCornerRadius(5);
        table->setScrollEnabled(true);
        table->setSeparatorStyle(ui::TableView::SeparatorStyle::None);
        table->setBackgroundColor(Qt::transparent);
        table->setDelegate(this);
        table->setDataSource(this);
        m_scrollView->addSubview(table);
        table->reloadData();
        m_scrollHeight += int(table->frame().height());
    }
    m_scrollHeight += kSectionGap;
}

void FlowSuitChangeController::doLayoutFlowData() {
    for (QPointer<ui::Label>* label : {&m_recommendLabel, &m_suitLabel, &m_spareLabel}) {
        delete label->data();
        *label = nullptr;
    }
    for (QPointer<ui::TableView>* table :
         {&m_tableViewOfRecommend, &m_tableViewOfSuit, &m_tableViewOfspareSuit}) {
        delete table->data();
        *table = nullptr;
    }
    m_scrollHeight = m_frontHeight;
    const bool plans = m_dataType != 2;
    addSection(m_recommendLabel, m_tableViewOfRecommend, kRecommendTableTag,
               plans ? QStringLiteral("根据你的情况，推荐使用以下套餐")
                     : QStringLiteral("根据你的情况，推荐使用以下流量加油包"),
               false);
    addSection(m_suitLabel, m_tableViewOfSuit, kSuitTableTag,
               plans ? QStringLiteral("流量套餐升级，包月全时段有效")
                     : QStringLiteral("流量加油包，当月可重复订购，次月自动失效"),
               false);
    if (!plans)
        addSection(m_spareLabel, m_tableViewOfspareSuit, kSpareTableTag,
                   QStringLiteral("流量闲时包，省内23点到次日08点流量"), true);
    // The phone-sized window is the tall screen: its content ends 20 points below the last.
    m_scrollView->setContentSize(QSizeF(320, m_scrollHeight + 20));
}

QVariantList FlowSuitChangeController::listForTable(int tag) const {
    const bool plans = m_dataType != 2;
    switch (tag) {
    case kRecommendTableTag:
        return plans ? m_suitRecommendDataList : m_addRecommendDataList;
    case kSuitTableTag:
        return plans ? m_orderDataList : m_updateDataList;
    case kSpareTableTag:
        return plans ? QVariantList() : m_spareDataList;
    default:
        return {};
    }
}

void FlowSuitChangeController::reqSuitFlowProduct() {
    m_dataType = 1;
    m_suitBtn->setSelected(true);
    m_addBtn->setSelected(false);
    doLayoutFlowData();
}

void FlowSuitChangeController::reqAddFlowProduct() {
    m_dataType = 2;
    m_addBtn->setSelected(true);
    m_suitBtn->setSelected(false);
    doLayoutFlowData();
}

void FlowSuitChangeController::segmentAction() {
    const int index = m_segment ? m_segment->selectedSegmentIndex() : -1;
    if (index == 0)
        flowRecommendList(QStringLiteral("0"), false);
    else if (index == 1)
        flowRecommendList(QStringLiteral("1"), false);
}

int FlowSuitChangeController::tableViewNumberOfRowsInSection(ui::TableView* table, int) {
    return table ? int(listForTable(table->tag()).size()) : 0;
}

ui::TableViewCell* FlowSuitChangeController::tableViewCellForRowAtIndexPath(ui::TableView* table,
                                                                            ui::IndexPath path) {
    FlowSuitCell* cell = FlowSuitCell::cellWithTableView(table);
    const int tag = table ? table->tag() : 0;
    const bool plans = m_dataType != 2;
    cell->setIsRecommend(tag == kRecommendTableTag);
    cell->setIsSuit(tag != kSpareTableTag && plans);
    const QVariantList list = listForTable(tag);
    cell->setCellData(NoCrash::objectAtIndexNoCrash(list, path.row).toMap());
    cell->setIsLast(path.row == list.size() - 1);
    cell->setDelegate(this);
    cell->layoutSubviews();
    return cell;
}

qint64 FlowSuitChangeController::getFlowProductId(const QVariantMap& para) {
    return ns::Values::integerValue(para.value("productId"));
}

QString FlowSuitChangeController::getFlowMarketId(const QVariantMap& para) {
    return ns::Values::stringValue(para.value("marketId"));
}

void FlowSuitChangeController::modalDialogButtonTouchUpInside(ModalDialogView* dialog, int index) {
    if (!dialog) return;
    if (index == 0) {
        dialog->close();
    } else if (index == 1) {
        dialog->close();
        orderFlowProduct(getFlowProductId(dialog->para()), getFlowMarketId(dialog->para()));
    }
}

void FlowSuitChangeController::orderFlowProduct(qint64 productId, const QString& marketId) {
    FlowOrder::start(this, productId, marketId, [this] {
        ns::NotificationCenter::defaultCenter().postNotificationName(
            QString::fromLatin1(notification::kAddedFlowPack));
        flowRecommendList(m_mod, false);
        PublicFunction::showAlert(QStringLiteral("系统提示"), QStringLiteral("订购成功"));
    });
}

TAVRIX_REGISTER_SCENE("Flow", "FlowSuitChangeController", FlowSuitChangeController);

#include "screens/usage/FlowMonStatsController.h"

#include "app/categories/NoCrash.h"
#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "screens/usage/FlowFormat.h"
#include "screens/usage/FlowMonStatsCell.h"
#include "platform/foundation/DateFormat.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Storyboard.h"
#include "widgets/ActivityIndicator.h"
#include "widgets/MonthlyLineChartView.h"

namespace {
// The content area below the navigation bar is 320 x 504: plan and average, the chart, the
// month buttons, the caption and the bill's rows.
const QRectF kPlanCaptionFrame(15, 8, 70, 20);
const QRectF kSuitNameFrame(85, 8, 220, 20);
const QRectF kAverageCaptionFrame(15, 32, 70, 20);
const QRectF kAverageFrame(85, 32, 220, 20);
const QRectF kChartFrame(0, 58, 320, 170);
constexpr double kButtonsY = 234;
constexpr double kButtonWidth = 48;
constexpr double kButtonGap = 4.4;
const QRectF kHintFrame(15, 266, 200, 20);
const QRectF kTableFrame(0, 290, 320, 214);

} // namespace

FlowMonStatsController::FlowMonStatsController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("每月流量"));
    setHidesBottomBarWhenPushed(true);
}

FlowMonStatsController::~FlowMonStatsController() = default;

void FlowMonStatsController::loadView() {
    ViewController::loadView();
    ui::View* v = view();
    FlowFormat::textLabel(kPlanCaptionFrame, 12, FlowFormat::darkGray(), v,
                          QStringLiteral("当前套餐："));
    m_suitName = FlowFormat::textLabel(kSuitNameFrame, 12, FlowFormat::darkGray(), v, QString());
    FlowFormat::textLabel(kAverageCaptionFrame, 12, FlowFormat::darkGray(), v,
                          QStringLiteral("月均流量："));
    m_averageFlow = FlowFormat::textLabel(kAverageFrame, 12, FlowFormat::darkGray(), v, QString());
    m_lineChartView = new MonthlyLineChartView(kChartFrame, v);
    m_lineChartView->setBackgroundColor(Qt::white);
    for (int k = 1; k <= kMonths; ++k) {
        auto* button = new ui::Button(
            QRectF(6 + (k - 1) * (kButtonWidth + kButtonGap), kButtonsY, kButtonWidth, 26), v);
        button->setTag(kFirstMonthTag + k - 1);
        button->titleLabel()->setFont(ui::Font::systemFontOfSize(13));
        button->setBackgroundImage(ui::imageNamed(QStringLiteral("monthBg")));
        button->addTarget(
            this, [this, button](ui::Control*) { buttonOfMonthPressed(button); },
            ui::Control::TouchUpInside);
        m_buttons.append(button);
    }
    m_hintBillMonth = FlowFormat::textLabel(kHintFrame, 12, FlowFormat::darkGray(), v, QString());
    m_hintBillMonth->setFont(ui::Font::systemFontOfSize(14));
    m_tableOfMonthDesc = new ui::TableView(kTableFrame, ui::TableView::Style::Plain, v);
    m_tableOfMonthDesc->setDataSource(this);
    m_tableOfMonthDesc->setDelegate(this);
}

void FlowMonStatsController::viewDidLoad() {
    ViewController::viewDidLoad();
    m_currentMon = PublicFunction::getDateWithStringFormat("MM");
    m_totalFee = QStringLiteral("0");
    initButton();
    reqOfFlowMonth();
    reqPersonInfo();
    reqOfFlowMonthBill(getLastMonth());
}

void FlowMonStatsController::viewWillDisappear(bool animated) {
    ActivityIndicator::hide();
    ViewController::viewWillDisappear(animated);
}

ui::Button* FlowMonStatsController::buttonOfMonth(int k) const {
    return k >= 1 && k <= m_buttons.size() ? m_buttons[k - 1].data() : nullptr;
}

void FlowMonStatsController::initButton() {
    for (int k = 1; k <= m_buttons.size(); ++k)
        if (ui::Button* b = buttonOfMonth(k))
            b->setTitleColor(k == 1 ? QColor(Qt::white)
                                    : TavrixApplicationSpecific::tavrix_blueColor());
    const QDate today = ns::DateFormat::now().date();
    int year = today.year();
    int month = today.month();
    m_arrayOfDate.clear();
    for (int i = 0; i < kMonths; ++i) {
        if (--month == 0) {
            month = 12;
            --year;
        }
        const QString mm = QString::asprintf("%02d", month);
        m_arrayOfDate.append(mm + QStringLiteral("月"));
        m_dicOfYM.insert(mm, QString::asprintf("%d%02d", year, month));
    }
    for (int k = 1; k <= m_buttons.size(); ++k)
        if (ui::Button* b = buttonOfMonth(k)) b->setTitle(m_arrayOfDate.value(k - 1));
    if (ui::Button* first = buttonOfMonth(1))
        first->setBackgroundImage(ui::imageNamed(QStringLiteral("monthSelected.png")));
}

QString FlowMonStatsController::getLastMonth() {
    m_billMonth = m_dicOfYM.value(m_arrayOfDate.value(0).chopped(1)).toString();
    return m_billMonth;
}

void FlowMonStatsController::buttonOfMonthPressed(ui::Button* button) {
    const int index = button ? button->tag() - kFirstMonthTag : -1;
    // Only the six month buttons choose a month.
    if (index < 0 || index >= m_arrayOfDate.size() || index >= kMonths) return;
    for (const auto& b : m_buttons) {
        if (!b) continue;
        b->setBackgroundImage(ui::imageNamed(QStringLiteral("monthBg")));
        b->setTitleColor(TavrixApplicationSpecific::tavrix_blueColor());
    }
    button->setBackgroundImage(ui::imageNamed(QStringLiteral("monthSelected.png")));
    button->setTitleColor(Qt::white);
    m_billMonth = m_dicOfYM.value(m_arrayOfDate[index].chopped(1)).toString();
    reqOfFlowMonthBill(m_billMonth);
}

void FlowMonStatsController::reqOfFlowMonth() {
    HTTPRequest* request = requestStartWithKey("GPRSMonthly", false);
    request->setFailureHandler([](const HTTPError&) {});
    request->setCompletionHandler([this](const QVariant& reply) { flowMonthFinished(reply); });
    request->startRequest();
}

void FlowMonStatsController::flowMonthFinished(const QVariant& reply) {
    // Read without the common check, so a refused reply must not pass as data.
    if (!FlowFormat::isAccepted(reply)) return;
    const QVariantMap map = reply.toMap();
    const FlowFormat::ListReading months = FlowFormat::readList(map, "list");
    if (!months.present || !months.valid) return;
    m_respArrayOfMonthDesc = months.list;
    const FlowFormat::Amount average =
        FlowFormat::amountOfKb(ns::Values::quantityValue(map.value("average")));
    m_averageFlow->setAttributedText(FlowFormat::greenNumber(average.number, 12, average.unit, 10));
    showChart();
}

void FlowMonStatsController::reqPersonInfo() {
    HTTPRequest* request = requestStartWithKey("PersonalInfo", false);
    request->setFailureHandler([](const HTTPError&) {});
    request->setCompletionHandler([this](const QVariant& reply) {
        if (!FlowFormat::isAccepted(reply)) return;
        m_suitName->setText(ns::Values::stringValue(reply.toMap().value("curflow")));
    });
    request->startRequest();
}

void FlowMonStatsController::reqOfFlowMonthBill(const QString& month) {
    // The bill on screen must be the last month chosen: an older answer is dropped.
    if (m_billRequest) m_billRequest->cancleRequest();
    const quint64 serial = ++m_billSerial;
    HTTPRequest* request = requestStartWithKey("FlowBill", true);
    request->setPostValue(month, "date");
    request->setCompletionHandler([this, serial, month](const QVariant& reply) {
        if (serial != m_billSerial) return;
        billFinished(reply, month);
    });
    m_billRequest = request;
    request->startRequest();
}

void FlowMonStatsController::billFinished(const QVariant& reply, const QString& month) {
    const QVariant accepted = requestFinishedBase(reply);
    if (!accepted.isValid()) return;
    const QVariantMap map = accepted.toMap();
    const FlowFormat::ListReading rows = FlowFormat::readList(map, "list");
    if (!rows.present) return;
    if (!rows.valid) {
        PublicFunction::showAlert(QStringLiteral("系统提示"), QStringLiteral("查询失败"));
        return;
    }
    m_respArrayOfBill = rows.list;
    // A bill without a total costs nothing.
    const QString total = ns::Values::stringValue(map.value("totalCost"));
    m_totalFee = total.isEmpty() ? QStringLiteral("0") : total;
    m_tableOfMonthDesc->reloadData();
    applyTotal();
    // The caption names the month these rows are of.
    m_hintBillMonth->setText(getBillMonthHint(month) + QStringLiteral("流量账单"));
}

QString FlowMonStatsController::getBillMonthHint(const QString& month) {
    return FlowFormat::monthName(month);
}

void FlowMonStatsController::showChart() {
    FlowFormat::showSeries(m_lineChartView,
                           FlowFormat::monthlySeries(m_respArrayOfMonthDesc, m_currentMon));
}

void FlowMonStatsController::applyTotal() {
    if (!m_totalLabel) return;
    ui::AttributedString figure(
        m_totalFee,
        {ui::Font::systemFontOfSize(14), TavrixApplicationSpecific::tavrix_greenColor(), {}});
    ui::AttributedString joined(QStringLiteral("总计："),
                                {ui::Font::systemFontOfSize(12), FlowFormat::darkGray(), {}});
    joined.appendAttributedString(figure);
    joined.appendString(QStringLiteral("元"),
                        {ui::Font::systemFontOfSize(12), FlowFormat::darkGray(), {}});
    m_totalLabel->setAttributedText(joined);
}

int FlowMonStatsController::tableViewNumberOfRowsInSection(ui::TableView*, int) {
    return int(m_respArrayOfBill.size());
}

ui::TableViewCell* FlowMonStatsController::tableViewCellForRowAtIndexPath(ui::TableView* table,
                                                                          ui::IndexPath path) {
    auto* cell = qobject_cast<FlowMonStatsCell*>(
        table->dequeueReusableCellWithIdentifier(FlowMonStatsCell::kReuseIdentifier));
    if (!cell) cell = new FlowMonStatsCell;
    const QVariant row = NoCrash::objectAtIndexNoCrash(m_respArrayOfBill, path.row);
    if (row.isValid()) cell->setCellData(row.toMap());
    return cell;
}

ui::View* FlowMonStatsController::tableViewViewForFooterInSection(ui::TableView* table, int) {
    auto* footer = new ui::View(QRectF(0, 0, table->frame().width(), 30));
    footer->setBackgroundColor(Qt::white);
    m_totalLabel = new ui::Label(QRectF(150, 3, 157, 21), footer);
    m_totalLabel->setFont(ui::Font::systemFontOfSize(13));
    m_totalLabel->setTextAlignment(ui::TextAlignment::Right);
    applyTotal();
    return footer;
}

TAVRIX_REGISTER_SCENE("Flow", "FlowMonStatsController", FlowMonStatsController);

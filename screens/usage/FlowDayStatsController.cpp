#include "screens/usage/FlowDayStatsController.h"

#include "app/categories/NoCrash.h"
#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Storyboard.h"
#include "screens/usage/DailyUsedCell.h"
#include "screens/usage/FlowFormat.h"
#include "widgets/ActivityIndicator.h"
#include "widgets/DailyLineChartView.h"

#include <algorithm>

namespace {
// The content area below the navigation bar is 320 x 504: the chart above the rows.
const QRectF kChartFrame(0, 0, 320, 210);
const QRectF kTableFrame(0, 214, 320, 290);
} // namespace

FlowDayStatsController::FlowDayStatsController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("每日流量"));
    setHidesBottomBarWhenPushed(true);
}

FlowDayStatsController::~FlowDayStatsController() = default;

void FlowDayStatsController::loadView() {
    ViewController::loadView();
    m_lineChartView = new DailyLineChartView(kChartFrame, view());
    m_lineChartView->setBackgroundColor(Qt::white);
    m_tableOfDaily = new ui::TableView(kTableFrame, ui::TableView::Style::Plain, view());
    m_tableOfDaily->setDataSource(this);
    m_tableOfDaily->setDelegate(this);
}

void FlowDayStatsController::viewDidLoad() {
    ViewController::viewDidLoad();
    // The rows reach the bottom of what the bars leave.
    QRectF table = m_tableOfDaily->frame();
    table.setHeight(heightBelowBars() - table.y());
    m_tableOfDaily->setFrame(table);
    setNavShowBack(true);
    reqOfGPRSDaily();
}

void FlowDayStatsController::viewWillDisappear(bool animated) {
    ActivityIndicator::hide();
    ViewController::viewWillDisappear(animated);
}

void FlowDayStatsController::reqOfGPRSDaily() {
    HTTPRequest* request = requestStartWithKey("GPRSDaily", true);
    request->setPostValue("30", "count");
    request->setPostValue(PublicFunction::getDateWithStringFormat("yyyyMMdd"), "date");
    request->setCompletionHandler([this](const QVariant& reply) { gprsDailyFinished(reply); });
    request->startRequest();
}

void FlowDayStatsController::gprsDailyFinished(const QVariant& reply) {
    const QVariant accepted = requestFinishedBase(reply);
    if (!accepted.isValid()) return;
    const FlowFormat::ListReading days = FlowFormat::readList(accepted.toMap(), "list");
    if (!days.present || !days.valid) {
        PublicFunction::showAlert(QStringLiteral("系统提示"), QStringLiteral("查询失败"));
        return;
    }
    m_respArrayOfDailyUsed = days.list;
    std::reverse(m_respArrayOfDailyUsed.begin(), m_respArrayOfDailyUsed.end());
    m_dispArrayOfDailyUsed.clear();
    const QString today = PublicFunction::getDateWithStringFormat("yyyy-MM-dd");
    const QVariant newest = NoCrash::objectAtIndexNoCrash(m_respArrayOfDailyUsed, 0);
    if (ns::Values::stringValue(newest.toMap().value("date")) != today)
        m_dispArrayOfDailyUsed.append(QVariantMap{{"date", today}, {"amount", "0"}});
    m_dispArrayOfDailyUsed.append(m_respArrayOfDailyUsed);
    m_tableOfDaily->reloadData();
    showChart();
}

void FlowDayStatsController::showChart() {
    FlowFormat::showSeries(m_lineChartView, FlowFormat::dailySeries(m_dispArrayOfDailyUsed));
}

int FlowDayStatsController::tableViewNumberOfRowsInSection(ui::TableView*, int) {
    return int(m_dispArrayOfDailyUsed.size());
}

ui::TableViewCell* FlowDayStatsController::tableViewCellForRowAtIndexPath(ui::TableView* table,
                                                                          ui::IndexPath path) {
    auto* cell = qobject_cast<DailyUsedCell*>(
        table->dequeueReusableCellWithIdentifier(DailyUsedCell::kReuseIdentifier));
    if (!cell) cell = new DailyUsedCell;
    const QVariant day = NoCrash::objectAtIndexNoCrash(m_dispArrayOfDailyUsed, path.row);
    if (day.isValid()) cell->setDailyData(day.toMap());
    return cell;
}

TAVRIX_REGISTER_SCENE("Flow", "FlowDayStatsController", FlowDayStatsController);

#pragma once

#include "app/core/ViewController.h"
#include "platform/ui/TableView.h"

#include <QPointer>
#include <QVariantList>

#include "widgets/DailyLineChartView.h"

// Daily data usage ("GPRSDaily"): the last 30 days, newest first and today always at the top,
// as rows and as a chart.
class FlowDayStatsController : public ViewController,
                               public ui::TableViewDataSource,
                               public ui::TableViewDelegate {
    Q_OBJECT
public:
    explicit FlowDayStatsController(QObject* parent = nullptr);
    ~FlowDayStatsController() override;

    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;

    void reqOfGPRSDaily();
    // The chart from the rows shown; replaces any earlier series.
    void showChart();

    QVariantList respArrayOfDailyUsed() const { return m_respArrayOfDailyUsed; }
    QVariantList dispArrayOfDailyUsed() const { return m_dispArrayOfDailyUsed; }
    ui::TableView* tableOfDaily() const { return m_tableOfDaily; }
    DailyLineChartView* lineChartView() const { return m_lineChartView; }

    int tableViewNumberOfRowsInSection(ui::TableView*, int section) override;
    ui::TableViewCell* tableViewCellForRowAtIndexPath(ui::TableView*, ui::IndexPath path) override;
    double tableViewHeightForRowAtIndexPath(ui::TableView*, ui::IndexPath) override { return 40; }
    double tableViewHeightForHeaderInSection(ui::TableView*, int) override { return 0; }

protected:
    void loadView() override;

private:
    void gprsDailyFinished(const QVariant& reply);

    QVariantList m_respArrayOfDailyUsed;
    QVariantList m_dispArrayOfDailyUsed;
    QPointer<ui::TableView> m_tableOfDaily;
    QPointer<DailyLineChartView> m_lineChartView;
};

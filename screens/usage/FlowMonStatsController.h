#pragma once

#include "app/core/ViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

#include <QPointer>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include "widgets/MonthlyLineChartView.h"

// Monthly data usage ("GPRSMonthly"), the current data plan ("PersonalInfo") and, for one of
// the last six months, the data bill ("FlowBill"): one row per product with the share used
// and its fee, and the total.
class FlowMonStatsController : public ViewController,
                               public ui::TableViewDataSource,
                               public ui::TableViewDelegate {
    Q_OBJECT
public:
    static constexpr int kMonths = 6;
    static constexpr int kFirstMonthTag = 1001;

    explicit FlowMonStatsController(QObject* parent = nullptr);
    ~FlowMonStatsController() override;

    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;

    void initButton();
    // The month before this one, as "yyyyMM"; also becomes billMonth.
    QString getLastMonth();
    void reqOfFlowMonth();
    void reqPersonInfo();
    // Asks for a month's bill; an earlier bill request still running is dropped.
    void reqOfFlowMonthBill(const QString& month);
    void buttonOfMonthPressed(ui::Button* button);
    static QString getBillMonthHint(const QString& month);
    // The chart from the monthly list; replaces any earlier series.
    void showChart();

    QString currentMon() const { return m_currentMon; }
    QString billMonth() const { return m_billMonth; }
    QStringList arrayOfDate() const { return m_arrayOfDate; }
    QVariantMap dicOfYM() const { return m_dicOfYM; }
    QString totalFee() const { return m_totalFee; }
    QVariantList respArrayOfMonthDesc() const { return m_respArrayOfMonthDesc; }
    QVariantList respArrayOfBill() const { return m_respArrayOfBill; }
    MonthlyLineChartView* lineChartView() const { return m_lineChartView; }
    ui::TableView* tableOfMonthDesc() const { return m_tableOfMonthDesc; }
    ui::Label* suitName() const { return m_suitName; }
    ui::Label* averageFlow() const { return m_averageFlow; }
    ui::Label* hintBillMonth() const { return m_hintBillMonth; }
    // Button k of 1 to 6.
    ui::Button* buttonOfMonth(int k) const;
    // The footer's label: "总计：" + total + "元".
    ui::Label* totalLabel() const { return m_totalLabel; }

    int tableViewNumberOfRowsInSection(ui::TableView*, int section) override;
    ui::TableViewCell* tableViewCellForRowAtIndexPath(ui::TableView*, ui::IndexPath path) override;
    double tableViewHeightForRowAtIndexPath(ui::TableView*, ui::IndexPath) override { return 70; }
    double tableViewHeightForHeaderInSection(ui::TableView*, int) override { return 0; }
    double tableViewHeightForFooterInSection(ui::TableView*, int) override { return 30; }
    ui::View* tableViewViewForFooterInSection(ui::TableView* table, int section) override;

protected:
    void loadView() override;

private:
    void flowMonthFinished(const QVariant& reply);
    void billFinished(const QVariant& reply, const QString& month);
    void applyTotal();

    QString m_currentMon;
    QString m_billMonth;
    QStringList m_arrayOfDate;
    QVariantMap m_dicOfYM;
    QString m_totalFee = QStringLiteral("0");
    QVariantList m_respArrayOfMonthDesc;
    QVariantList m_respArrayOfBill;
    QPointer<MonthlyLineChartView> m_lineChartView;
    QPointer<ui::TableView> m_tableOfMonthDesc;
    QPointer<ui::Label> m_suitName;
    QPointer<ui::Label> m_averageFlow;
    QPointer<ui::Label> m_hintBillMonth;
    QPointer<ui::Label> m_totalLabel;
    QList<QPointer<ui::Button>> m_buttons;
    QPointer<HTTPRequest> m_billRequest;
    quint64 m_billSerial = 0;
};

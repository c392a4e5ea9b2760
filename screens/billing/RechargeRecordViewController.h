#pragma once

#include "app/core/ViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QVariantList>

// Recharge history (scene "RechargeRecordViewController" of "Main"): the recharges of this
// month and the five before it, one folding section per month, newest first, each headed by
// the month's sum.
class RechargeRecordViewController : public ViewController,
                                     public ui::TableViewDataSource,
                                     public ui::TableViewDelegate {
    Q_OBJECT
public:
    static constexpr int kMonthCount = 6;
    static constexpr int kHeaderTagBase = 1000;

    explicit RechargeRecordViewController(QObject* parent = nullptr);
    ~RechargeRecordViewController() override;

    void viewDidLoad() override;

    void requestOfRechargeRecordSend();
    // The records of the section's month, in the reply's order: only those dated in that
    // very year and month ("yyyy-MM" first).
    QVariantList getBillListForSection(int section) const;
    // The section's month summed in single precision, as the header shows it ("%.2f").
    float sumOfSection(int section) const;
    void headerButtonPressed(ui::Button* sender);

    int numberOfSectionsInTableView(ui::TableView*) override;
    int tableViewNumberOfRowsInSection(ui::TableView*, int section) override;
    ui::TableViewCell* tableViewCellForRowAtIndexPath(ui::TableView*, ui::IndexPath path) override;
    double tableViewHeightForRowAtIndexPath(ui::TableView*, ui::IndexPath) override { return 40; }
    double tableViewHeightForHeaderInSection(ui::TableView*, int section) override;
    double tableViewHeightForFooterInSection(ui::TableView*, int) override { return 0; }
    ui::View* tableViewViewForHeaderInSection(ui::TableView*, int section) override;

    // "yyyy-MM" of each section's month, this month first.
    const QStringList& arrayOfDate() const { return m_arrayOfDate; }
    bool isRechargeRequestSuccess() const { return m_isRechargeRequestSuccess; }
    const QVariantList& arrayOfRechargeRecord() const { return m_arrayOfRechargeRecord; }
    const QHash<QString, QString>& isOpened() const { return m_isOpened; }
    ui::TableView* tableViewOfRecord() const { return m_table; }

protected:
    void loadView() override;

private:
    QStringList m_arrayOfDate;
    bool m_isRechargeRequestSuccess = false;
    QVariantList m_arrayOfRechargeRecord;
    QHash<QString, QString> m_isOpened;
    QPointer<ui::TableView> m_table;
};

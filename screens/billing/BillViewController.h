#pragma once

#include "app/core/HTTPRequest.h"
#include "app/core/ViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/View.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QVariantList>

// The monthly bill (scene "BillViewController" of "Main", opened by the home page's
// "RootViewToTelBill"): this month or one of the five before it, three totals, the family
// group's total when there is one, and the charge groups as sections that open and close.
class BillViewController : public ViewController,
                           public ui::TableViewDataSource,
                           public ui::TableViewDelegate {
    Q_OBJECT
public:
    static constexpr int kFirstMonthTag = 1001;
    static constexpr int kHeaderTagBase = 1000;
    static constexpr int kMonthCount = 6;

    explicit BillViewController(QObject* parent = nullptr);
    ~BillViewController() override;

    void viewDidLoad() override;

    // "0" for this month, else "yyyyMM". A reply for a month asked before is never shown.
    void requestOfTelBillSendWith(const QString& ym);
    void buttonOfMonthPressed(ui::Button* sender);
    void headerButtonPressed(ui::Button* sender);

    int numberOfSectionsInTableView(ui::TableView*) override;
    int tableViewNumberOfRowsInSection(ui::TableView*, int section) override;
    ui::TableViewCell* tableViewCellForRowAtIndexPath(ui::TableView*, ui::IndexPath path) override;
    double tableViewHeightForRowAtIndexPath(ui::TableView*, ui::IndexPath path) override;
    double tableViewHeightForHeaderInSection(ui::TableView*, int) override { return 30; }
    double tableViewHeightForFooterInSection(ui::TableView*, int) override { return 6; }
    ui::View* tableViewViewForHeaderInSection(ui::TableView*, int section) override;
    ui::View* tableViewViewForFooterInSection(ui::TableView*, int section) override;

    QString billMonth() const { return m_billMonth; }
    const QStringList& arrayOfDate() const { return m_arrayOfDate; }
    const QHash<QString, QString>& dicOfYM() const { return m_dicOfYM; }
    const QHash<QString, QString>& isOpened() const { return m_isOpened; }
    const QVariantList& arrayOfBill() const { return m_arrayOfBill; }
    ui::TableView* tableViewOfTelBill() const { return m_table; }
    ui::Button* buttonOfMonth(int index) const; // 0 to 5, left to right
    ui::Label* labelOfTotal() const { return m_labelOfTotal; }
    ui::Label* labelOfOtherPay() const { return m_labelOfOtherPay; }
    ui::Label* labelOfActuallyPay() const { return m_labelOfActuallyPay; }
    ui::Label* lableOfFamilyTotal() const { return m_lableOfFamilyTotal; }
    ui::View* viewOfBill() const { return m_viewOfBill; }
    HTTPRequest* requestOfTelBill() const { return m_requestOfTelBill; }

    // The fitted height of a row's name within 200 x 40 points, plus 8.
    static double rowHeightForName(const QString& name);

protected:
    void loadView() override;

private:
    void buildMonthList();
    void billReplied(const QVariant& reply);
    QVariantList itemsOfSection(int section) const;

    QString m_billMonth;
    QStringList m_arrayOfDate;
    QHash<QString, QString> m_dicOfYM;
    QHash<QString, QString> m_isOpened;
    QVariantList m_arrayOfBill;
    QPointer<ui::TableView> m_table;
    QList<QPointer<ui::Button>> m_monthButtons;
    QPointer<ui::Label> m_labelOfTotal;
    QPointer<ui::Label> m_labelOfOtherPay;
    QPointer<ui::Label> m_labelOfActuallyPay;
    QPointer<ui::Label> m_lableOfFamilyTotal;
    QPointer<ui::View> m_viewOfBill;
    QPointer<HTTPRequest> m_requestOfTelBill;
};

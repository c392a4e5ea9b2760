#pragma once

#include "app/core/ViewController.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

#include <QPointer>
#include <QVariantList>

// The points exchanges made so far (scene "PointsExchangeRecordViewController" of "Main").
class PointsExchangeRecordViewController : public ViewController, public ui::TableViewDataSource {
    Q_OBJECT
public:
    explicit PointsExchangeRecordViewController(QObject* parent = nullptr);
    ~PointsExchangeRecordViewController() override;

    void viewDidLoad() override;
    void requestOfPointsExchangeRecordSend();

    int tableViewNumberOfRowsInSection(ui::TableView*, int) override;
    ui::TableViewCell* tableViewCellForRowAtIndexPath(ui::TableView*, ui::IndexPath path) override;

    const QVariantList& arrayOfExchangeRecord() const { return m_arrayOfExchangeRecord; }
    ui::Label* nilLabel() const { return m_nilLabel; }
    ui::TableView* tableViewOfExchangeRecord() const { return m_table; }

protected:
    void loadView() override;

private:
    QVariantList m_arrayOfExchangeRecord;
    QPointer<ui::Label> m_nilLabel;
    QPointer<ui::TableView> m_table;
};

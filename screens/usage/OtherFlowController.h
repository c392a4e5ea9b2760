#pragma once

#include "app/core/ViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

#include <QPointer>
#include <QVariantList>

// The other free data resources ("FreeResourceForOtherList"), each with what is left of it,
// and the way to the data-plan change.
class OtherFlowController : public ViewController,
                            public ui::TableViewDataSource,
                            public ui::TableViewDelegate {
    Q_OBJECT
public:
    static constexpr int kOrderTag = 212;

    explicit OtherFlowController(QObject* parent = nullptr);
    ~OtherFlowController() override;

    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;
    void prepareForSegue(ui::StoryboardSegue* segue, QObject* sender) override;

    void reqOfFreeResourceList();

    QVariantList respArrayOfWhereUsed() const { return m_respArrayOfWhereUsed; }
    ui::TableView* tableViewOfFlow() const { return m_tableViewOfFlow; }
    ui::Button* buttonOfOrder() const { return m_buttonOfOrder; }
    // The empty-list label, while it is shown.
    ui::Label* nilLabel() const { return m_nilLabel; }

    int tableViewNumberOfRowsInSection(ui::TableView*, int section) override;
    ui::TableViewCell* tableViewCellForRowAtIndexPath(ui::TableView*, ui::IndexPath path) override;
    double tableViewHeightForRowAtIndexPath(ui::TableView*, ui::IndexPath) override { return 80; }
    double tableViewHeightForHeaderInSection(ui::TableView*, int) override { return 0; }
    double tableViewHeightForFooterInSection(ui::TableView*, int) override { return 0; }

protected:
    void loadView() override;

private:
    QVariantList m_respArrayOfWhereUsed;
    QPointer<ui::TableView> m_tableViewOfFlow;
    QPointer<ui::Button> m_buttonOfOrder;
    QPointer<ui::Label> m_nilLabel;
};

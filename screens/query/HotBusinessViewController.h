#pragma once

#include <QPointer>
#include <QVariantList>
#include <memory>

#include "app/core/ViewController.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "screens/services/BanliDo.h"

class MorePackageTableViewCell;

// The offers recommended to the subscriber ("likelist") followed by the popular ones
// ("hotlist"), one row each; a tapped row opens the offer's ordering page, or the family
// network screen for that offer.
class HotBusinessViewController : public ViewController,
                                  public ui::TableViewDataSource,
                                  public ui::TableViewDelegate {
    Q_OBJECT
public:
    // Where an offer is ordered: path and type piece of its page, by offer id.
    static QString orderingPathForMarketId(const QString& marketid);
    // The offer lists of a "Search" reply, recommended first. A list that is not an array
    // counts as missing; entries that are not objects are skipped.
    static QVariantList offersOfReply(const QVariantMap& reply);

    explicit HotBusinessViewController(QObject* parent = nullptr);
    ~HotBusinessViewController() override;

    ui::TableView* tableViewOfBusiness() const { return m_tableViewOfBusiness; }
    QVariantList arrayOfList() const { return m_arrayOfList; }
    // The empty-list label, once shown.
    ui::Label* nilLabel() const { return m_nilLabel; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void requestOfBusinessSend();

    int tableViewNumberOfRowsInSection(ui::TableView* table, int section) override;
    ui::TableViewCell* tableViewCellForRowAtIndexPath(ui::TableView* table,
                                                      ui::IndexPath path) override;
    double tableViewHeightForRowAtIndexPath(ui::TableView* table, ui::IndexPath path) override;
    void tableViewDidSelectRowAtIndexPath(ui::TableView* table, ui::IndexPath path) override;

protected:
    void loadView() override;
    // The list fills the screen, whatever size the navigation stack gives it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BanliDo offerAt(int row) const;
    void showReply(const QVariant& accepted);

    QPointer<ui::TableView> m_tableViewOfBusiness;
    QVariantList m_arrayOfList;
    QPointer<ui::Label> m_nilLabel;
    QPointer<QObject> m_resizedView; // compared only, so safe while the view dies
    // Measures rows off screen so asking a row's height never leaves a cell behind.
    std::unique_ptr<MorePackageTableViewCell> m_sizingCell;
};

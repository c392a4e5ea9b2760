#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/ScrollView.h"

#include <QHash>
#include <QMap>
#include <QPointer>
#include <vector>

namespace ui {

class TableView;
class TableViewCell;
class TapGestureRecognizer;

class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSectionsInTableView(TableView*) { return 1; }
    virtual int tableViewNumberOfRowsInSection(TableView*, int section) = 0;
    // The cell for a row; a new cell or one from dequeueReusableCellWithIdentifier. The table
    // owns it from then on.
    virtual TableViewCell* tableViewCellForRowAtIndexPath(TableView*, IndexPath) = 0;
};

// The table's delegate is also its scroll view's delegate.
class TableViewDelegate : public ScrollViewDelegate {
public:
    // A negative height means "use the table's default".
    virtual double tableViewHeightForRowAtIndexPath(TableView*, IndexPath) { return -1; }
    virtual double tableViewHeightForHeaderInSection(TableView*, int) { return -1; }
    virtual double tableViewHeightForFooterInSection(TableView*, int) { return -1; }
    // A new view each call is fine: the table owns it until the next reload.
    virtual View* tableViewViewForHeaderInSection(TableView*, int) { return nullptr; }
    virtual View* tableViewViewForFooterInSection(TableView*, int) { return nullptr; }
    virtual void tableViewDidSelectRowAtIndexPath(TableView*, IndexPath) {}
};

// Rows in sections on a scroll view. Only the rows on screen have cells; cells that scroll
// away wait in a pool for dequeueReusableCellWithIdentifier. A tap on a row selects it and
// tells the delegate (a control inside the row keeps its own tap).
class TableView : public ScrollView {
    Q_OBJECT
public:
    enum class Style { Plain = 0, Grouped = 1 };
    enum class SeparatorStyle { None = 0, SingleLine = 1 };

    explicit TableView(const QRectF& frame = QRectF(), Style style = Style::Plain,
                       View* parent = nullptr);
    ~TableView() override;

    Style style() const { return m_style; }
    TableViewDataSource* dataSource() const { return m_dataSource.get(); }
    void setDataSource(TableViewDataSource* source);
    TableViewDelegate* tableDelegate() const { return m_tableDelegate.get(); }
    // Sets the scroll delegate too.
    void setDelegate(TableViewDelegate* delegate);

    double rowHeight() const { return m_rowHeight; }
    void setRowHeight(double h);
    double sectionHeaderHeight() const { return m_headerHeight; }
    void setSectionHeaderHeight(double h);
    double sectionFooterHeight() const { return m_footerHeight; }
    void setSectionFooterHeight(double h);
    SeparatorStyle separatorStyle() const { return m_separatorStyle; }
    void setSeparatorStyle(SeparatorStyle style);
    QColor separatorColor() const { return m_separatorColor; }
    void setSeparatorColor(const QColor& color);
    bool allowsSelection() const { return m_allowsSelection; }
    void setAllowsSelection(bool on) { m_allowsSelection = on; }
    // Owned by the table once set.
    View* tableHeaderView() const { return m_tableHeader; }
    void setTableHeaderView(View* view);
    View* tableFooterView() const { return m_tableFooter; }
    void setTableFooterView(View* view);

    // Asks the data source again for everything.
    void reloadData();
    void reloadSections(const QList<int>& sections);

    // A pooled cell of that identifier, prepared for reuse, or null.
    TableViewCell* dequeueReusableCellWithIdentifier(const QString& identifier);

    int numberOfSections() const { return int(m_sections.size()); }
    int numberOfRowsInSection(int section) const;
    QRectF rectForRowAtIndexPath(IndexPath path) const;
    QRectF rectForHeaderInSection(int section) const;
    QRectF rectForFooterInSection(int section) const;
    // The cell on screen for the row, or null.
    TableViewCell* cellForRowAtIndexPath(IndexPath path) const;
    // Where the cell is, or {-1, -1}.
    IndexPath indexPathForCell(const TableViewCell* cell) const;
    // The row at a content point, or {-1, -1}.
    IndexPath indexPathForRowAtPoint(const QPointF& point) const;
    QList<TableViewCell*> visibleCells() const;
    View* headerViewForSection(int section) const;

    std::optional<IndexPath> indexPathForSelectedRow() const { return m_selected; }
    // Selects without telling the delegate, as the platform does.
    void selectRowAtIndexPath(IndexPath path, bool animated = false);
    void deselectRowAtIndexPath(IndexPath path, bool animated = false);
    void scrollToRowAtIndexPath(IndexPath path, bool animated = false);

    // Without pooled cells and indicators.
    QList<View*> subviews() const override;
    void layoutSubviews() override;
    void setFrame(const QRectF& frame) override;

protected:
    bool isInternalSubview(const View* view) const override;
    void didChangeOffset() override;

private:
    struct Section {
        double headerY = 0, headerH = 0;
        std::vector<double> rowY, rowH;
        double footerY = 0, footerH = 0;
        QPointer<View> header, footer;
    };
    void computeLayout();
    void layoutVisible();
    void enqueue(TableViewCell* cell);
    void tapped(const QPointF& point);
    void dropSectionViews();

    Style m_style;
    ns::Weak<TableViewDataSource> m_dataSource;
    ns::Weak<TableViewDelegate> m_tableDelegate;
    double m_rowHeight = 44;
    double m_headerHeight;
    double m_footerHeight;
    SeparatorStyle m_separatorStyle = SeparatorStyle::SingleLine;
    QColor m_separatorColor = QColor(200, 199, 204);
    bool m_allowsSelection = true;
    QPointer<View> m_tableHeader;
    QPointer<View> m_tableFooter;
    std::vector<Section> m_sections;
    QMap<IndexPath, QPointer<TableViewCell>> m_visible;
    QHash<QString, QList<QPointer<TableViewCell>>> m_pool;
    std::optional<IndexPath> m_selected;
    TapGestureRecognizer* m_tap = nullptr;
    bool m_loaded = false;
    bool m_inLayout = false;
};

} // namespace ui

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TouchInput.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace ui;

namespace {

// Sections of rows of 44 points; counts the cells it had to make.
struct Source : TableViewDataSource, TableViewDelegate {
    QList<int> rows{100};
    int made = 0;
    QList<IndexPath> selected;
    double headerHeight = -1;
    bool headerButtons = false;
    std::function<void(int)> onHeader;

    int numberOfSectionsInTableView(TableView*) override { return int(rows.size()); }
    int tableViewNumberOfRowsInSection(TableView*, int s) override { return rows.value(s); }
    TableViewCell* tableViewCellForRowAtIndexPath(TableView* t, IndexPath p) override {
        TableViewCell* cell = t->dequeueReusableCellWithIdentifier("row");
        if (!cell) {
            cell = new TableViewCell(TableViewCell::Style::Default, "row");
            ++made;
        }
        cell->textLabel()->setText(QString("%1-%2").arg(p.section).arg(p.row));
        return cell;
    }
    double tableViewHeightForHeaderInSection(TableView*, int) override { return headerHeight; }
    View* tableViewViewForHeaderInSection(TableView*, int s) override {
        if (!headerButtons) return nullptr;
        auto* b = new Button(QRectF(0, 0, 320, 30));
        b->setTag(s + 1000);
        b->addAction(Control::TouchUpInside, [this, s] {
            if (onHeader) onHeader(s);
        });
        return b;
    }
    void tableViewDidSelectRowAtIndexPath(TableView*, IndexPath p) override { selected << p; }
};

struct Table {
    View root{QRectF(0, 0, 320, 568)};
    TableView* table = new TableView(QRectF(0, 0, 320, 440), TableView::Style::Plain, &root);
    Source src;
    Table() {
        table->setDataSource(&src);
        table->setDelegate(&src);
    }
};

} // namespace

TEST(UiControlsTableView, OnlyRowsOnScreenHaveCellsAndCellsAreReused) {
    Table t;
    t.table->reloadData();
    EXPECT_EQ(t.table->contentSize(), QSizeF(320, 4400));
    EXPECT_EQ(t.table->visibleCells().size(), 10);
    EXPECT_EQ(t.src.made, 10);
    for (double y = 0; y <= 3960; y += 7)
        t.table->setContentOffset(QPointF(0, y));
    // Scrolling through a hundred rows makes no more than a screenful and one.
    EXPECT_LE(t.src.made, 11);
    const TableViewCell* last = t.table->cellForRowAtIndexPath({0, 99});
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->textLabel()->text(), "0-99");
    EXPECT_EQ(t.table->cellForRowAtIndexPath({0, 0}), nullptr);
    EXPECT_EQ(t.table->indexPathForCell(last), (IndexPath{0, 99}));
    // Waiting cells are not rows of the table.
    EXPECT_EQ(t.table->subviews().size(), t.table->visibleCells().size());

    t.src.rows = {3};
    t.table->reloadData();
    EXPECT_EQ(t.table->numberOfRowsInSection(0), 3);
    t.table->setContentOffset(QPointF(0, 0));
    EXPECT_EQ(t.table->visibleCells().size(), 3);
}

TEST(UiControlsTableView, SectionsHeadersAndRowPositions) {
    Table t;
    t.src.rows = {2, 0, 3};
    t.src.headerHeight = 30;
    t.src.headerButtons = true;
    t.table->reloadData();
    EXPECT_EQ(t.table->rectForHeaderInSection(1), QRectF(0, 118, 320, 30));
    EXPECT_EQ(t.table->rectForRowAtIndexPath({2, 0}), QRectF(0, 178, 320, 44));
    EXPECT_EQ(t.table->indexPathForRowAtPoint({5, 179}), (IndexPath{2, 0}));
    EXPECT_EQ(t.table->indexPathForRowAtPoint({5, 150}), (IndexPath{-1, -1})); // a header
    EXPECT_EQ(t.table->rectForRowAtIndexPath({1, 0}), QRectF());
    ASSERT_NE(t.table->headerViewForSection(2), nullptr);
    EXPECT_EQ(t.table->headerViewForSection(2)->tag(), 1002);
    EXPECT_EQ(t.table->viewWithTag(1001), t.table->headerViewForSection(1));
}

TEST(UiControlsTableView, AHeaderButtonMayReloadTheTableFromItsOwnTap) {
    Table t;
    t.src.rows = {2, 2};
    t.src.headerHeight = 30;
    t.src.headerButtons = true;
    int reloads = 0;
    t.src.onHeader = [&](int s) {
        t.src.rows[s] = t.src.rows[s] ? 0 : 5; // collapse or open the section
        t.table->reloadSections({s});
        ++reloads;
    };
    t.table->reloadData();
    QPointer<View> header = t.table->headerViewForSection(0);
    QTest::mouseClick(header, Qt::LeftButton);
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(t.table->numberOfRowsInSection(0), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(header.isNull()); // the old header went once its tap was over
    EXPECT_EQ(t.table->rectForHeaderInSection(1).y(), 30);
}

TEST(UiControlsTableView, ATapSelectsTheRowUnderTheFingerNotACellsButton) {
    Table t;
    t.table->reloadData();
    t.table->setContentOffset(QPointF(0, 440));
    TouchInput::began(t.table, QPointF(100, 440 + 50));
    TouchInput::ended(QPointF(100, 440 + 52));
    ASSERT_EQ(t.src.selected.size(), 1);
    EXPECT_EQ(t.src.selected[0], (IndexPath{0, 11}));
    EXPECT_EQ(t.table->indexPathForSelectedRow(), (IndexPath{0, 11}));
    EXPECT_TRUE(t.table->cellForRowAtIndexPath({0, 11})->isSelected());

    // A drag is a scroll, not a selection.
    TouchInput::began(t.table, QPointF(100, 600));
    TouchInput::moved(QPointF(100, 560));
    TouchInput::ended(QPointF(100, 500));
    EXPECT_EQ(t.src.selected.size(), 1);
    EXPECT_GT(t.table->contentOffset().y(), 440);

    t.table->deselectRowAtIndexPath({0, 11});
    EXPECT_FALSE(t.table->indexPathForSelectedRow().has_value());

    // A button in a cell keeps its own tap.
    TableViewCell* cell = t.table->cellForRowAtIndexPath({0, 12});
    auto* b = new Button(QRectF(250, 5, 60, 34), cell->contentView());
    int taps = 0;
    b->addAction(Control::TouchUpInside, [&] { ++taps; });
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(t.src.selected.size(), 1);
    QTest::mouseClick(cell->contentView(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(t.src.selected.size(), 2);
}

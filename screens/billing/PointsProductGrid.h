#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <QList>
#include <QPointer>
#include <functional>

// One product of the points grid: its picture over its price.
class PointsQueryCollectionCell : public ui::Control {
    Q_OBJECT
public:
    explicit PointsQueryCollectionCell(const QRectF& frame, ui::View* parent = nullptr);
    ui::ImageView* imageViewOfCell() const { return m_image; }
    ui::Label* labelOfCell() const { return m_label; }

private:
    ui::ImageView* m_image;
    ui::Label* m_label;
};

// The products, three to a row; a click on a product asks whether it may be chosen, then
// reports the choice.
class PointsProductGrid : public ui::View {
    Q_OBJECT
public:
    static constexpr int kColumns = 3;
    static constexpr double kCellHeight = 78, kRowPitch = 98;

    struct Source {
        std::function<int()> numberOfItems;
        std::function<void(PointsQueryCollectionCell*, int item)> configure;
        std::function<bool(int item)> shouldSelect;
        std::function<void(int item)> didSelect;
    };

    explicit PointsProductGrid(const QRectF& frame, ui::View* parent = nullptr);
    void setSource(Source source) { m_source = std::move(source); }

    // The height the grid needs for count products: rows x 98 - 20, and 0 for none.
    static double heightForCount(int count);

    void reloadData();
    int numberOfItems() const { return int(m_cells.size()); }
    PointsQueryCollectionCell* cellForItem(int item) const;

private:
    void itemPressed(int item);

    Source m_source;
    QList<QPointer<PointsQueryCollectionCell>> m_cells;
};

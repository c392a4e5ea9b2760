#include "screens/billing/PointsProductGrid.h"

#include "screens/billing/BillingSupport.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <cmath>

PointsQueryCollectionCell::PointsQueryCollectionCell(const QRectF& frame, ui::View* parent)
    : ui::Control(frame, parent) {
    setBackgroundColor(Qt::white);
    setCornerRadius(4);
    m_image = new ui::ImageView(QRectF(5, 4, frame.width() - 10, 50), this);
    m_image->setContentMode(ui::ContentMode::ScaleAspectFit);
    m_label = new ui::Label(QRectF(0, 56, frame.width(), 20), this);
    m_label->setFont(ui::Font::systemFontOfSize(12));
    m_label->setTextColor(BillingSupport::darkGrayColor());
    m_label->setTextAlignment(ui::TextAlignment::Center);
}

PointsProductGrid::PointsProductGrid(const QRectF& frame, ui::View* parent)
    : ui::View(frame, parent) {
    setClipsToBounds(true);
}

double PointsProductGrid::heightForCount(int count) {
    if (count <= 0) return 0;
    const int rows = int(std::ceil(double(count) / kColumns));
    return rows * kRowPitch - (kRowPitch - kCellHeight);
}

PointsQueryCollectionCell* PointsProductGrid::cellForItem(int item) const {
    return item >= 0 && item < m_cells.size() ? m_cells[item].data() : nullptr;
}

void PointsProductGrid::reloadData() {
    for (const auto& cell : m_cells) {
        if (!cell) continue;
        cell->removeFromSuperview();
        cell->deleteLater();
    }
    m_cells.clear();
    const int count = m_source.numberOfItems ? std::max(0, m_source.numberOfItems()) : 0;
    const double gap = 15;
    const double width = (frame().width() - gap * (kColumns - 1)) / kColumns;
    for (int i = 0; i < count; ++i) {
        const QRectF cellFrame((i % kColumns) * (width + gap), (i / kColumns) * kRowPitch, width,
                               kCellHeight);
        auto* cell = new PointsQueryCollectionCell(cellFrame, this);
        cell->addAction(ui::Control::TouchUpInside, [this, i] { itemPressed(i); });
        if (m_source.configure) m_source.configure(cell, i);
        m_cells.append(cell);
    }
}

void PointsProductGrid::itemPressed(int item) {
    if (m_source.shouldSelect && !m_source.shouldSelect(item)) return;
    if (m_source.didSelect) m_source.didSelect(item);
}

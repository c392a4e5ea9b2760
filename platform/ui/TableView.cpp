#include "platform/ui/TableView.h"

#include "platform/ui/TableViewCell.h"
#include "platform/ui/TapGestureRecognizer.h"

namespace ui {

namespace {
constexpr IndexPath kNoPath{-1, -1};

void discard(View* view) {
    if (!view) return;
    // It may be the very view whose tap asked for the reload: never delete it mid-event.
    view->removeFromSuperview();
    view->deleteLater();
}
} // namespace

TableView::TableView(const QRectF& frame, Style style, View* parent)
    : ScrollView(frame, parent), m_style(style), m_headerHeight(style == Style::Grouped ? 10 : 0),
      m_footerHeight(style == Style::Grouped ? 10 : 0) {
    setBackgroundColor(style == Style::Grouped ? QColor(239, 239, 244) : QColor(Qt::white));
    m_tap = new TapGestureRecognizer(this);
    m_tap->setCancelsTouchesInView(false);
    m_tap->addTarget(this, [this](GestureRecognizer* g) {
        if (g->state() == GestureRecognizer::State::Ended) tapped(g->locationInView(this));
    });
    addGestureRecognizer(m_tap);
}

TableView::~TableView() = default;

void TableView::setDataSource(TableViewDataSource* source) {
    m_dataSource.reset(source);
    m_loaded = false;
    setNeedsLayout();
}

void TableView::setDelegate(TableViewDelegate* delegate) {
    m_tableDelegate.reset(delegate);
    ScrollView::setDelegate(delegate);
    if (m_loaded) reloadData();
}

void TableView::setRowHeight(double h) {
    m_rowHeight = std::max(0.0, h);
    if (m_loaded) reloadData();
}

void TableView::setSectionHeaderHeight(double h) {
    m_headerHeight = std::max(0.0, h);
    if (m_loaded) reloadData();
}

void TableView::setSectionFooterHeight(double h) {
    m_footerHeight = std::max(0.0, h);
    if (m_loaded) reloadData();
}

void TableView::setSeparatorStyle(SeparatorStyle style) {
    m_separatorStyle = style;
    layoutVisible();
}

void TableView::setSeparatorColor(const QColor& color) {
    m_separatorColor = color;
    layoutVisible();
}

void TableView::setTableHeaderView(View* view) {
    if (m_tableHeader == view) return;
    discard(m_tableHeader);
    m_tableHeader = view;
    if (view) addSubview(view);
    computeLayout();
    layoutVisible();
}

void TableView::setTableFooterView(View* view) {
    if (m_tableFooter == view) return;
    discard(m_tableFooter);
    m_tableFooter = view;
    if (view) addSubview(view);
    computeLayout();
    layoutVisible();
}

void TableView::dropSectionViews() {
    for (Section& s : m_sections) {
        discard(s.header);
        discard(s.footer);
    }
}

void TableView::reloadData() {
    if (m_inLayout) return;
    m_loaded = true;
    const auto visible = m_visible;
    m_visible.clear();
    for (const auto& cell : visible)
        if (cell) enqueue(cell);
    m_selected.reset();
    computeLayout();
    layoutVisible();
}

void TableView::reloadSections(const QList<int>&) {
    // Sections depend on each other's positions; reloading all keeps them consistent.
    reloadData();
}

void TableView::computeLayout() {
    m_inLayout = true;
    dropSectionViews();
    m_sections.clear();
    const double width = frame().width();
    double y = 0;
    if (m_tableHeader) {
        m_tableHeader->setFrame(QRectF(0, 0, width, m_tableHeader->frame().height()));
        y = m_tableHeader->frame().height();
    }
    TableViewDataSource* ds = m_dataSource.get();
    const int n = (ds && m_loaded) ? std::max(0, ds->numberOfSectionsInTableView(this)) : 0;
    auto sectionView = [&](View* view, double asked, double fallback, double at, double* height) {
        *height = asked >= 0
                      ? asked
                      : (view && view->frame().height() > 0 ? view->frame().height() : fallback);
        if (!view) return QPointer<View>();
        if (*height <= 0) {
            discard(view);
            return QPointer<View>();
        }
        addSubview(view);
        view->setFrame(QRectF(0, at, width, *height));
        return QPointer<View>(view);
    };
    for (int s = 0; s < n; ++s) {
        Section sec;
        TableViewDelegate* d = m_tableDelegate.get();
        sec.headerY = y;
        sec.header = sectionView(d ? d->tableViewViewForHeaderInSection(this, s) : nullptr,
                                 d ? d->tableViewHeightForHeaderInSection(this, s) : -1,
                                 m_headerHeight, y, &sec.headerH);
        y += sec.headerH;
        ds = m_dataSource.get();
        const int rows = ds ? std::max(0, ds->tableViewNumberOfRowsInSection(this, s)) : 0;
        sec.rowY.reserve(rows);
        sec.rowH.reserve(rows);
        for (int r = 0; r < rows; ++r) {
            d = m_tableDelegate.get();
            const double asked = d ? d->tableViewHeightForRowAtIndexPath(this, {s, r}) : -1;
            const double h = asked >= 0 ? asked : m_rowHeight;
            sec.rowY.push_back(y);
            sec.rowH.push_back(h);
            y += h;
        }
        d = m_tableDelegate.get();
        sec.footerY = y;
        sec.footer = sectionView(d ? d->tableViewViewForFooterInSection(this, s) : nullptr,
                                 d ? d->tableViewHeightForFooterInSection(this, s) : -1,
                                 m_footerHeight, y, &sec.footerH);
        y += sec.footerH;
        m_sections.push_back(std::move(sec));
    }
    if (m_tableFooter) {
        m_tableFooter->setFrame(QRectF(0, y, width, m_tableFooter->frame().height()));
        y += m_tableFooter->frame().height();
    }
    setContentSize(QSizeF(width, y));
    m_inLayout = false;
}

void TableView::layoutVisible() {
    if (m_inLayout || !m_loaded) return;
    m_inLayout = true;
    const double top = contentOffset().y(), bottom = top + frame().height();
    const double width = frame().width();
    // Rows that left the screen give their cells back first, so the new rows can reuse them.
    for (auto it = m_visible.begin(); it != m_visible.end();) {
        const QRectF r = rectForRowAtIndexPath(it.key());
        if (!it.value() || r.isNull() || r.bottom() <= top || r.top() >= bottom) {
            if (it.value()) enqueue(it.value());
            it = m_visible.erase(it);
        } else {
            ++it;
        }
    }
    for (int s = 0; s < int(m_sections.size()); ++s) {
        const Section& sec = m_sections[s];
        for (int r = 0; r < int(sec.rowY.size()); ++r) {
            const double y = sec.rowY[r], h = sec.rowH[r];
            if (y + h <= top || y >= bottom || h <= 0) continue;
            const IndexPath path{s, r};
            QPointer<TableViewCell> cell = m_visible.value(path);
            if (!cell) {
                TableViewDataSource* ds = m_dataSource.get();
                if (!ds) break;
                cell = ds->tableViewCellForRowAtIndexPath(this, path);
                if (!cell) continue;
                // A data source that hands one cell out twice moves it to the newer row.
                for (auto it = m_visible.begin(); it != m_visible.end(); ++it)
                    if (it.value() == cell) {
                        m_visible.erase(it);
                        break;
                    }
                for (auto& list : m_pool)
                    list.removeAll(cell);
                m_visible.insert(path, cell);
                if (cell->superview() != this) addSubview(cell);
                cell->setHidden(false);
            }
            cell->setFrame(QRectF(0, y, width, h));
            const bool lastInSection = r == int(sec.rowY.size()) - 1;
            cell->setSeparator(m_separatorStyle == SeparatorStyle::SingleLine &&
                                   (m_style == Style::Plain || !lastInSection),
                               m_separatorColor, 15);
            if (cell->isSelected() != (m_selected == path)) cell->setSelected(m_selected == path);
        }
    }
    m_inLayout = false;
}

void TableView::enqueue(TableViewCell* cell) {
    cell->setHidden(true);
    cell->setSelected(false);
    if (cell->reuseIdentifier().isEmpty()) {
        discard(cell);
        return;
    }
    auto& list = m_pool[cell->reuseIdentifier()];
    if (!list.contains(cell)) list.append(cell);
}

TableViewCell* TableView::dequeueReusableCellWithIdentifier(const QString& identifier) {
    auto it = m_pool.find(identifier);
    if (it == m_pool.end()) return nullptr;
    while (!it->isEmpty()) {
        QPointer<TableViewCell> cell = it->takeLast();
        if (!cell) continue;
        cell->prepareForReuse();
        return cell;
    }
    return nullptr;
}

int TableView::numberOfRowsInSection(int section) const {
    if (section < 0 || section >= int(m_sections.size())) return 0;
    return int(m_sections[section].rowY.size());
}

QRectF TableView::rectForRowAtIndexPath(IndexPath path) const {
    if (path.section < 0 || path.section >= int(m_sections.size())) return {};
    const Section& s = m_sections[path.section];
    if (path.row < 0 || path.row >= int(s.rowY.size())) return {};
    return {0, s.rowY[path.row], frame().width(), s.rowH[path.row]};
}

QRectF TableView::rectForHeaderInSection(int section) const {
    if (section < 0 || section >= int(m_sections.size())) return {};
    return {0, m_sections[section].headerY, frame().width(), m_sections[section].headerH};
}

QRectF TableView::rectForFooterInSection(int section) const {
    if (section < 0 || section >= int(m_sections.size())) return {};
    return {0, m_sections[section].footerY, frame().width(), m_sections[section].footerH};
}

TableViewCell* TableView::cellForRowAtIndexPath(IndexPath path) const {
    return m_visible.value(path);
}

IndexPath TableView::indexPathForCell(const TableViewCell* cell) const {
    for (auto it = m_visible.begin(); it != m_visible.end(); ++it)
        if (it.value() == cell) return it.key();
    return kNoPath;
}

IndexPath TableView::indexPathForRowAtPoint(const QPointF& point) const {
    for (int s = 0; s < int(m_sections.size()); ++s) {
        const Section& sec = m_sections[s];
        if (sec.rowY.empty() || point.y() < sec.rowY.front() ||
            point.y() >= sec.rowY.back() + sec.rowH.back())
            continue;
        auto it = std::upper_bound(sec.rowY.begin(), sec.rowY.end(), point.y());
        const int r = int(it - sec.rowY.begin()) - 1;
        if (r >= 0 && point.y() < sec.rowY[r] + sec.rowH[r]) return {s, r};
    }
    return kNoPath;
}

QList<TableViewCell*> TableView::visibleCells() const {
    QList<TableViewCell*> out;
    for (const auto& c : m_visible)
        if (c) out.append(c);
    return out;
}

View* TableView::headerViewForSection(int section) const {
    if (section < 0 || section >= int(m_sections.size())) return nullptr;
    return m_sections[section].header;
}

void TableView::selectRowAtIndexPath(IndexPath path, bool) {
    if (rectForRowAtIndexPath(path).isNull()) return;
    if (m_selected)
        if (TableViewCell* old = cellForRowAtIndexPath(*m_selected)) old->setSelected(false);
    m_selected = path;
    if (TableViewCell* cell = cellForRowAtIndexPath(path)) cell->setSelected(true);
}

void TableView::deselectRowAtIndexPath(IndexPath path, bool) {
    if (m_selected != path) return;
    m_selected.reset();
    if (TableViewCell* cell = cellForRowAtIndexPath(path)) cell->setSelected(false);
}

void TableView::scrollToRowAtIndexPath(IndexPath path, bool animated) {
    const QRectF r = rectForRowAtIndexPath(path);
    if (r.isNull()) return;
    const double y = std::clamp(r.y(), minimumContentOffset().y(), maximumContentOffset().y());
    setContentOffset(QPointF(contentOffset().x(), y), animated);
}

void TableView::tapped(const QPointF& point) {
    if (!m_allowsSelection) return;
    const IndexPath path = indexPathForRowAtPoint(point);
    if (path == kNoPath) return;
    selectRowAtIndexPath(path);
    if (TableViewDelegate* d = m_tableDelegate.get())
        d->tableViewDidSelectRowAtIndexPath(this, path);
}

QList<View*> TableView::subviews() const {
    return ScrollView::subviews();
}

bool TableView::isInternalSubview(const View* view) const {
    if (ScrollView::isInternalSubview(view)) return true;
    // Pooled cells wait hidden; they are not the table's rows.
    if (auto* cell = qobject_cast<const TableViewCell*>(view))
        return std::none_of(m_visible.begin(), m_visible.end(),
                            [cell](const auto& c) { return c == cell; });
    return false;
}

void TableView::layoutSubviews() {
    if (!m_loaded)
        reloadData();
    else
        layoutVisible();
}

void TableView::setFrame(const QRectF& frame) {
    const bool widthChanged = frame.width() != this->frame().width();
    const bool resized = frame.size() != this->frame().size();
    ScrollView::setFrame(frame);
    if (!m_loaded) return;
    if (widthChanged) computeLayout();
    if (resized) layoutVisible();
}

void TableView::didChangeOffset() {
    layoutVisible();
}

} // namespace ui

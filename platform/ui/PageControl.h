#pragma once

#include "platform/ui/Control.h"

namespace ui {

// A row of dots, one per page, the current one filled. A tap left or right of the current
// dot steps one page that way and sends ValueChanged.
class PageControl : public Control {
    Q_OBJECT
public:
    explicit PageControl(View* parent = nullptr);
    explicit PageControl(const QRectF& frame, View* parent = nullptr);

    int numberOfPages() const { return m_pages; }
    void setNumberOfPages(int pages);
    int currentPage() const { return m_current; }
    // Kept within the pages.
    void setCurrentPage(int page);
    bool hidesForSinglePage() const { return m_hidesForSingle; }
    void setHidesForSinglePage(bool on);
    QColor pageIndicatorTintColor() const { return m_dotColor; }
    void setPageIndicatorTintColor(const QColor& color);
    QColor currentPageIndicatorTintColor() const { return m_currentColor; }
    void setCurrentPageIndicatorTintColor(const QColor& color);

    // The width and height the dots of pageCount pages need.
    static QSizeF sizeForNumberOfPages(int pageCount);
    // Where dot index is drawn.
    QRectF dotRect(int index) const;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    void endTracking(const QPointF& point) override;

private:
    int m_pages = 0;
    int m_current = 0;
    bool m_hidesForSingle = false;
    QColor m_dotColor = QColor(255, 255, 255, 90);
    QColor m_currentColor = Qt::white;
};

} // namespace ui

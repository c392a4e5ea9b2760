#pragma once

#include "platform/ui/Control.h"

#include <QColor>
#include <QFont>
#include <QStringList>

// A row of equal segments, one of them selected; choosing another sends ValueChanged.
class FlowSegmentedControl : public ui::Control {
    Q_OBJECT
public:
    FlowSegmentedControl(const QStringList& items, const QRectF& frame, View* parent = nullptr);

    QStringList items() const { return m_items; }
    // -1: none selected.
    int selectedSegmentIndex() const { return m_selected; }
    // Sets the selection without sending ValueChanged, as the platform does.
    void setSelectedSegmentIndex(int index);
    QColor tintColor() const { return m_tint; }
    void setTintColor(const QColor& color);
    QFont font() const { return m_font; }
    void setFont(const QFont& font);

    // The segment a point (in the control's coordinates) falls in, or -1.
    int segmentAt(const QPointF& point) const;

protected:
    void endTracking(const QPointF& point) override;
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    QStringList m_items;
    int m_selected = -1;
    QColor m_tint = QColor(0, 122, 255);
    QFont m_font;
};

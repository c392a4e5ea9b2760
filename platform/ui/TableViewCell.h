#pragma once

#include "platform/ui/View.h"

namespace ui {

class ImageView;
class Label;

// One row of a table: a content view with a text label, a detail label and an image view,
// and an accessory at the right. Cells are reused by their reuse identifier.
class TableViewCell : public View {
    Q_OBJECT
public:
    // The platform's numbering.
    enum class Style { Default = 0, Value1 = 1, Value2 = 2, Subtitle = 3 };
    enum class AccessoryType {
        None = 0,
        DisclosureIndicator = 1,
        DetailDisclosureButton = 2,
        Checkmark = 3
    };
    enum class SelectionStyle { None = 0, Blue = 1, Gray = 2, Default = 3 };

    explicit TableViewCell(Style style = Style::Default, const QString& reuseIdentifier = QString(),
                           View* parent = nullptr);

    Style style() const { return m_style; }
    QString reuseIdentifier() const { return m_reuseIdentifier; }

    // Subviews a cell's own views go in.
    View* contentView() const { return m_contentView; }
    Label* textLabel() const { return m_textLabel; }
    Label* detailTextLabel() const { return m_detailLabel; }
    ImageView* imageView() const { return m_imageView; }

    AccessoryType accessoryType() const { return m_accessoryType; }
    void setAccessoryType(AccessoryType type);
    // Not owned before it is set; owned by the cell after.
    View* accessoryView() const { return m_accessoryView; }
    void setAccessoryView(View* view);
    SelectionStyle selectionStyle() const { return m_selectionStyle; }
    void setSelectionStyle(SelectionStyle style);

    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected, bool animated = false);
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted, bool animated = false);

    // Called when the table hands the cell out again from its reuse pool.
    virtual void prepareForReuse();

    // Set by the table: a separator line along the bottom, from this x.
    void setSeparator(bool shown, const QColor& color, double inset);

    void layoutSubviews() override;
    // Lays the cell out at once, so its views are in place as soon as it is sized.
    void setFrame(const QRectF& frame) override;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    Style m_style;
    QString m_reuseIdentifier;
    View* m_contentView = nullptr;
    Label* m_textLabel = nullptr;
    Label* m_detailLabel = nullptr;
    ImageView* m_imageView = nullptr;
    AccessoryType m_accessoryType = AccessoryType::None;
    View* m_accessoryView = nullptr;
    SelectionStyle m_selectionStyle = SelectionStyle::Default;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_separator = false;
    QColor m_separatorColor;
    double m_separatorInset = 15;
};

} // namespace ui

#pragma once

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/View.h"

#include <QList>
#include <QPointer>

// The bar the base screen shows above the keyboard: a flexible space, then a done-style
// button "完成" that ends editing.
class ViewControllerToolBar : public ui::View {
    Q_OBJECT
public:
    static constexpr double kHeight = 44;

    explicit ViewControllerToolBar(const QRectF& frame, ui::View* parent = nullptr);
    ~ViewControllerToolBar() override;

    // The flexible space and the done item, in order.
    QList<ui::BarButtonItem*> items() const;
    ui::BarButtonItem* doneItem() const { return m_done; }
    // The button that stands for the done item.
    ui::Button* doneButton() const { return m_button; }

    void layoutSubviews() override;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    QPointer<ui::BarButtonItem> m_space;
    QPointer<ui::BarButtonItem> m_done;
    ui::Button* m_button = nullptr;
};

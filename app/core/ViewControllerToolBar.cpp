#include "app/core/ViewControllerToolBar.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

#include <QPainter>

namespace {
constexpr double kButtonWidth = 60;
}

ViewControllerToolBar::ViewControllerToolBar(const QRectF& frame, ui::View* parent)
    : ui::View(frame, parent) {
    setBackgroundColor(QColor(247, 247, 247));
    m_space = ui::BarButtonItem::systemItem(ui::BarButtonItem::SystemItem::FlexibleSpace, this);
    m_done =
        new ui::BarButtonItem(QStringLiteral("完成"), ui::BarButtonItem::Style::Done, {}, this);
    m_button = new ui::Button(this);
    m_button->setTitle(m_done->title());
    m_button->setTitleColor(QColor(0, 122, 255));
    m_button->setTitleColor(QColor(0, 122, 255, 80), ui::Control::Highlighted);
    m_button->titleLabel()->setFont(ui::Font::boldSystemFontOfSize(17));
    m_button->addAction(ui::Control::TouchUpInside, [this] {
        if (m_done) m_done->trigger();
    });
    layoutSubviews();
}

ViewControllerToolBar::~ViewControllerToolBar() = default;

QList<ui::BarButtonItem*> ViewControllerToolBar::items() const {
    return {m_space, m_done};
}

void ViewControllerToolBar::layoutSubviews() {
    const QRectF b = bounds();
    m_button->setFrame(QRectF(b.width() - kButtonWidth - 5, 0, kButtonWidth, b.height()));
}

void ViewControllerToolBar::drawRect(QPainter& painter, const QRectF&) {
    // The hairline that parts the bar from the screen above it.
    painter.fillRect(QRectF(0, 0, bounds().width(), 0.5), QColor(178, 178, 178));
}

// The tavrixConfig methods that make views.

#include "app/core/tavrixConfig.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

ui::Label* tavrixConfig::createNilLabelInView(ui::View* view) {
    auto* label = new ui::Label(QRectF(0, 0, 300, 20));
    label->setBackgroundColor(Qt::transparent);
    label->setText(QString::fromUtf8("对不起，暂时没查询到相关数据"));
    label->setTextColor(QColor(170, 170, 170)); // the platform's light grey
    label->setTextAlignment(ui::TextAlignment::Center);
    label->setFont(ui::Font::systemFontOfSize(16));
    if (view) label->setCenter(QPointF(view->frame().width() / 2, view->frame().height() / 2));
    return label;
}

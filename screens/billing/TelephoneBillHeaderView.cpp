#include "screens/billing/TelephoneBillHeaderView.h"

#include "screens/billing/BillingSupport.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Window.h"

TelephoneBillHeaderView::TelephoneBillHeaderView(const QString& reuseIdentifier, ui::View* parent)
    : ui::View(QRectF(QPointF(0, 0), QSizeF(ui::Window::screenSize().width(), 30)), parent),
      m_reuseIdentifier(reuseIdentifier) {
    const double width = frame().width();
    m_contentView = new ui::View(bounds(), this);
    m_labelOfTitle = new ui::Label(QRectF(35, 8, 156, 21));
    m_labelOfMoney = new ui::Label(QRectF(190, 8, 106, 21));
    for (ui::Label* label : {m_labelOfTitle.data(), m_labelOfMoney.data()}) {
        label->setTextColor(BillingSupport::darkGrayColor());
        label->setBackgroundColor(Qt::transparent);
        label->setFont(ui::Font::systemFontOfSize(13));
    }
    m_labelOfMoney->setTextAlignment(ui::TextAlignment::Right);
    m_button = new ui::Button(QRectF(0, 0, width, 30));
    m_button->setTag(kButtonTagBase + int(m_section));
    m_button->setContentHorizontalAlignment(ui::Control::ContentHorizontalAlignment::Left);
    m_button->setImageEdgeInsets(QMarginsF(17, 5, 0, 0));
    m_button->setBackgroundColor(Qt::transparent);
    m_button->addTarget(
        this, [this](ui::Control* c) { buttonPressed(static_cast<ui::Button*>(c)); },
        ui::Control::TouchUpInside);
    const QImage arrow = ui::imageNamed(QStringLiteral("arrowDown"));
    m_imageViewOfArrow = new ui::ImageView(QRectF(QPointF(20, 17), ui::imageSize(arrow)));
    m_imageViewOfArrow->setImage(arrow);
    m_contentView->addSubview(m_imageViewOfArrow);
    m_contentView->addSubview(m_button);
    m_contentView->addSubview(m_labelOfTitle);
    m_contentView->addSubview(m_labelOfMoney);
    setBackgroundColor(Qt::transparent);
}

void TelephoneBillHeaderView::buttonPressed(ui::Button* sender) {
    if (m_headerButtonPressed) m_headerButtonPressed(sender);
}

void TelephoneBillHeaderView::layoutSubviews() {
    m_contentView->setFrame(bounds());
    if (m_button) m_button->setFrame(QRectF(0, 0, bounds().width(), 30));
}

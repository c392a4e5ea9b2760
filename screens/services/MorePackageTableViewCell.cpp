#include "screens/services/MorePackageTableViewCell.h"

#include "app/categories/MD5.h"
#include "app/download/PCFile.h"
#include "app/download/netLoading.h"
#include "platform/ui/AttributedString.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "screens/billing/BillingSupport.h"

namespace {
// The prototype's layout, in points on a 320-point row.
constexpr QRectF kIconFrame(12, 14, 56, 56);
constexpr double kTextX = 80;
constexpr double kTextWidth = 228;
constexpr double kNameTop = 12;
constexpr double kNameHeight = 20;
constexpr double kDescTop = 36;
constexpr double kGap = 6;
constexpr double kSubscribersHeight = 16;
constexpr double kBottomMargin = 10;
} // namespace

MorePackageTableViewCell::MorePackageTableViewCell(ui::View* parent)
    : ui::TableViewCell(ui::TableViewCell::Style::Default, kReuseIdentifier, parent) {
    m_icon = new ui::ImageView(kIconFrame, contentView());
    m_name = new ui::Label(QRectF(kTextX, kNameTop, kTextWidth, kNameHeight), contentView());
    m_name->setFont(ui::Font::systemFontOfSize(15));
    m_desc = new ui::Label(QRectF(kTextX, kDescTop, kTextWidth, 0), contentView());
    m_desc->setNumberOfLines(0);
    m_desc->setLineBreakMode(ui::LineBreakMode::WordWrapping);
    m_subscribers =
        new ui::Label(QRectF(kTextX, kDescTop, kTextWidth, kSubscribersHeight), contentView());
    m_subscribers->setFont(ui::Font::systemFontOfSize(11));
    m_subscribers->setTextColor(QColor(250, 130, 40));
    setFrame(QRectF(0, 0, 320, kMinimumHeight));
}

void MorePackageTableViewCell::setBanliDO(const BanliDo& offer) {
    m_offer = offer;
    // A reused row never shows the previous offer's picture: the placeholder (none) until
    // this offer's icon is there, and the earlier download no longer reaches this row.
    netLoading::asynchronousLoadImage(m_icon, offer.iconUrl, MD5::md5(offer.iconUrl),
                                      PCFile::fileCacheDir(QStringLiteral("imageCache")), QImage());
    m_name->setText(offer.marketname);

    ui::TextAttributes attributes;
    attributes.font = ui::Font::systemFontOfSize(12);
    attributes.foregroundColor = BillingSupport::lightGrayColor();
    ui::ParagraphStyle paragraph;
    paragraph.lineSpacing = 2;
    attributes.paragraphStyle = paragraph;
    m_desc->setAttributedText(ui::AttributedString(offer.shortdesc, attributes));
    const QSizeF fitted = m_desc->sizeThatFits(QSizeF(kTextWidth, 0));
    m_desc->setFrame(QRectF(kTextX, kDescTop, kTextWidth, fitted.height()));

    m_subscribers->setText(offer.subscribers);
    const double subscribersTop = kDescTop + fitted.height() + kGap;
    m_subscribers->setFrame(QRectF(kTextX, subscribersTop, kTextWidth, kSubscribersHeight));

    QRectF own = frame();
    own.setHeight(std::max(kMinimumHeight, subscribersTop + kSubscribersHeight + kBottomMargin));
    setFrame(own);
}

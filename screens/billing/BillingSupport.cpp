#include "screens/billing/BillingSupport.h"

#include "app/categories/MD5.h"
#include "app/core/ViewController.h"
#include "app/download/PCFile.h"
#include "app/download/netLoading.h"
#include "screens/web/WebViewController.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"

#include <QUrl>

namespace BillingSupport {

QColor darkGrayColor() {
    return QColor::fromRgbF(1 / 3.0f, 1 / 3.0f, 1 / 3.0f);
}

QColor lightGrayColor() {
    return QColor::fromRgbF(2 / 3.0f, 2 / 3.0f, 2 / 3.0f);
}

QString shown(const QVariant& value) {
    return ns::Values::stringValue(value);
}

float floatValue(const QVariant& value) {
    return float(ns::Values::quantityValue(value));
}

ui::AttributedString moneyText(const QVariant& value, const QColor& colour, double size) {
    ui::TextAttributes number;
    number.font = ui::Font::systemFontOfSize(size);
    number.foregroundColor = colour;
    ui::AttributedString text(QString::asprintf("%.2f", double(floatValue(value))), number);
    ui::TextAttributes unit;
    unit.font = ui::Font::systemFontOfSize(12);
    unit.foregroundColor = darkGrayColor();
    text.appendString(QStringLiteral("元"), unit);
    return text;
}

QString groupedPhoneNumber(const QString& number) {
    if (number.size() != 11) return number;
    for (const QChar c : number)
        if (c < u'0' || c > u'9') return number;
    return number.left(3) + u' ' + number.mid(3, 4) + u' ' + number.mid(7, 4);
}

bool isWebAddress(const QString& text) {
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

bool pushWebPage(ViewController* from, const QString& address, const QString& title) {
    ui::NavigationController* nav = from ? from->navigationController() : nullptr;
    if (!nav) return false;
    ui::ViewController* scene =
        ui::Storyboard::instantiateViewController("Main", "WebViewController");
    auto* page = qobject_cast<WebViewController*>(scene);
    if (!page) {
        if (scene) ui::ViewController::releaseLater(scene);
        return false;
    }
    page->setRequestURL(address.trimmed());
    page->setStrOfTitle(title);
    nav->pushViewController(page, true);
    return true;
}

void loadImage(ui::ImageView* view, const QString& address, const QString& placeholder) {
    if (!view) return;
    netLoading::asynchronousLoadImage(
        view, address, MD5::md5(address), PCFile::fileCacheDir(QStringLiteral("imageCache")),
        placeholder.isEmpty() ? QImage() : ui::imageNamed(placeholder));
}

} // namespace BillingSupport

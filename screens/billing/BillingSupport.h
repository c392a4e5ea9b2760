#pragma once

#include "platform/ui/AttributedString.h"

#include <QColor>
#include <QString>
#include <QVariant>

class ViewController;

namespace ui {
class ImageView;
}

// What the bill, recharge and points screens share: how reply values are shown, the money
// text, the phone number's grouping and the way to the in-app web page.
namespace BillingSupport {

// The platform's greys.
QColor darkGrayColor();
QColor lightGrayColor();

// A reply value as the server sent it: texts as they are, numbers as their decimal text,
// anything else (missing, an object) as "".
QString shown(const QVariant& value);
// The value read as a single-precision number (texts by their leading number).
float floatValue(const QVariant& value);
// The value's floatValue written "%.2f" in colour and the system font of size, then "元" in
// dark grey, size 12.
ui::AttributedString moneyText(const QVariant& value, const QColor& colour, double size);

// The eleven-digit number in groups of 3, 4 and 4; any other text unchanged.
QString groupedPhoneNumber(const QString& number);

// Whether the text is an address the web page can open: http or https with a host.
bool isWebAddress(const QString& text);
// Pushes the in-app web page for address with title onto from's navigation stack. False (and
// nothing pushed) when from is not in a navigation stack or the page is unavailable.
bool pushWebPage(ViewController* from, const QString& address, const QString& title);

// Loads the picture at address into view (cached under the md5 of the address in
// "imageCache"), showing placeholder (a bundled picture name, may be empty) until it arrives.
void loadImage(ui::ImageView* view, const QString& address, const QString& placeholder);

} // namespace BillingSupport

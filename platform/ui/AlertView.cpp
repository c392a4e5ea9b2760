#include "platform/ui/AlertView.h"

#include "platform/ui/AlertCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <QPainter>

namespace ui {

namespace {
constexpr double kWidth = 270;
constexpr double kPadding = 16;
constexpr double kTop = 20;
constexpr double kButtonHeight = 44;
constexpr double kFieldHeight = 28;
constexpr double kFade = 0.2;
constexpr const char* kFadeKey = "alert";
// The box keeps this much of the window free above and below it, however long its text.
constexpr double kScreenMargin = 30;
// A server's message may be any length: past this many characters it is cut before it is
// laid out, which would otherwise take seconds for a long one.
constexpr qsizetype kMaxTextLength = 4000;
const QColor kButtonColor(0, 122, 255);
const QColor kLineColor(0, 0, 0, 50);

// The alert box: rounded, with hairlines between the buttons.
class AlertBox : public View {
public:
    using View::View;
    QList<QRectF> lines;

protected:
    void drawRect(QPainter& painter, const QRectF&) override {
        for (const QRectF& r : lines)
            painter.fillRect(r, kLineColor);
    }
};
} // namespace

QString AlertView::shownText(const QString& text) {
    if (text.size() <= kMaxTextLength) return text;
    qsizetype end = kMaxTextLength;
    if (text.at(end - 1).isHighSurrogate()) --end; // never half a character
    return text.left(end) + QChar(0x2026);
}

AlertView::AlertView(const QString& title, const QString& message, AlertViewDelegate* delegate,
                     const QString& cancelButtonTitle, const QStringList& otherButtonTitles)
    : m_title(title), m_message(message), m_delegate(delegate) {
    if (!cancelButtonTitle.isNull()) m_cancelIndex = addButtonWithTitle(cancelButtonTitle);
    for (const QString& t : otherButtonTitles)
        addButtonWithTitle(t);
}

AlertView::~AlertView() {
    AlertCenter::remove(this);
    delete m_field.data();
}

void AlertView::setTitle(const QString& title) {
    m_title = title;
    if (m_overlay) buildViews();
}

void AlertView::setMessage(const QString& message) {
    m_message = message;
    if (m_overlay) buildViews();
}

int AlertView::addButtonWithTitle(const QString& title) {
    m_buttons.append(title);
    if (m_overlay) buildViews();
    return int(m_buttons.size()) - 1;
}

QString AlertView::buttonTitleAtIndex(int index) const {
    return index >= 0 && index < m_buttons.size() ? m_buttons.at(index) : QString();
}

void AlertView::setCancelButtonIndex(int index) {
    if (index >= -1 && index < m_buttons.size()) m_cancelIndex = index;
}

int AlertView::firstOtherButtonIndex() const {
    for (int i = 0; i < m_buttons.size(); ++i)
        if (i != m_cancelIndex) return i;
    return -1;
}

bool AlertView::isButtonEnabled(int index) const {
    if (index < 0 || index >= m_buttons.size()) return false;
    if (index != firstOtherButtonIndex()) return true;
    AlertViewDelegate* d = m_delegate.get();
    return !d || d->alertViewShouldEnableFirstOtherButton(const_cast<AlertView*>(this));
}

void AlertView::setAlertViewStyle(Style style) {
    m_style = style;
    if (style == Style::Default) {
        delete m_field.data();
    } else {
        if (!m_field) {
            m_field = new TextField(QRectF(0, 0, kWidth - 2 * kPadding, kFieldHeight));
            m_field->setBorderStyle(TextField::BorderStyle::Line);
            m_field->setFont(Font::systemFontOfSize(13));
            m_field->addTarget(
                this, [this](Control*) { updateButtons(); }, Control::EditingChanged);
        }
        m_field->setSecureTextEntry(style == Style::SecureTextInput);
    }
    if (m_overlay) buildViews();
}

TextField* AlertView::textFieldAtIndex(int index) {
    return index == 0 ? m_field.data() : nullptr;
}

void AlertView::updateButtons() {
    if (!m_box) return;
    const int first = firstOtherButtonIndex();
    for (View* v : m_box->subviews())
        if (auto* b = qobject_cast<Button*>(v); b && b->tag() == first + 1)
            b->setEnabled(isButtonEnabled(first));
}

void AlertView::buildViews() {
    Window* window = Window::keyWindow();
    if (!window) return;
    if (m_field) m_field->removeFromSuperview(); // kept across rebuilds
    if (m_overlay) {
        // Deferred: a button of the old box may be the one being touched.
        m_overlay->removeFromSuperview();
        m_overlay->deleteLater();
    }
    View* layer = window->alertLayer();
    auto* overlay = new View(layer->bounds(), layer);
    overlay->setBackgroundColor(QColor(0, 0, 0, 102));
    m_overlay = overlay;
    tieToOverlay();

    auto* box = new AlertBox(QRectF(0, 0, kWidth, 0), overlay);
    box->setBackgroundColor(QColor(247, 247, 247));
    box->setCornerRadius(7);
    box->setClipsToBounds(true);
    m_box = box;

    // Title and message lie in a scrolling area: a text taller than the window scrolls inside
    // the box while the field and the buttons below it stay on screen.
    auto* text = new ScrollView(QRectF(0, 0, kWidth, 0), box);
    text->setShowsHorizontalScrollIndicator(false);
    m_text = text;
    const double textWidth = kWidth - 2 * kPadding;
    double y = kTop;
    auto addText = [&](const QString& shown, const QFont& font) {
        if (shown.isEmpty()) return;
        auto* label = new Label(text);
        label->setFont(font);
        label->setNumberOfLines(0);
        label->setTextAlignment(TextAlignment::Center);
        label->setLineBreakMode(LineBreakMode::WordWrapping);
        label->setText(shown);
        const QSizeF size = label->sizeThatFits(QSizeF(textWidth, 0));
        label->setFrame(QRectF(kPadding, y, textWidth, size.height()));
        y += size.height() + 4;
    };
    addText(shownText(m_title), Font::boldSystemFontOfSize(17));
    addText(shownText(m_message), Font::systemFontOfSize(13));
    const double textHeight = y;

    // Two buttons share a row (cancel on the left); otherwise one row each, cancel last.
    const int n = int(m_buttons.size());
    QList<int> order;
    for (int i = 0; i < n; ++i)
        if (i != m_cancelIndex) order.append(i);
    if (m_cancelIndex >= 0) {
        if (n == 2)
            order.prepend(m_cancelIndex);
        else
            order.append(m_cancelIndex);
    }
    const bool row = n == 2;
    const double buttons = order.isEmpty() ? 0 : (row ? 1 : order.size()) * kButtonHeight;
    const double below = (m_field ? 8 + kFieldHeight : 0) + kTop - 4 + buttons;
    const double room = overlay->bounds().height() - 2 * kScreenMargin - below;
    const double shownHeight = std::max(0.0, std::min(textHeight, room));
    const bool scrolls = shownHeight < textHeight;
    text->setFrame(QRectF(0, 0, kWidth, shownHeight));
    text->setContentSize(QSizeF(kWidth, textHeight));
    text->setScrollEnabled(scrolls);
    text->setShowsVerticalScrollIndicator(scrolls);

    y = shownHeight;
    if (m_field) {
        y += 8;
        m_field->setFrame(QRectF(kPadding, y, textWidth, kFieldHeight));
        box->addSubview(m_field);
        y += kFieldHeight;
    }
    y += kTop - 4;

    QPointer<AlertView> self(this);
    for (int k = 0; k < order.size(); ++k) {
        const int index = order.at(k);
        const QRectF r = row ? QRectF(k * kWidth / 2, y, kWidth / 2, kButtonHeight)
                             : QRectF(0, y + k * kButtonHeight, kWidth, kButtonHeight);
        box->lines.append(QRectF(r.x(), r.y(), r.width(), 0.5));
        if (row && k == 1) box->lines.append(QRectF(r.x(), r.y(), 0.5, r.height()));
        auto* b = new Button(r, box);
        b->setTag(index + 1);
        b->titleLabel()->setFont(index == m_cancelIndex && n > 1 ? Font::boldSystemFontOfSize(17)
                                                                 : Font::systemFontOfSize(17));
        b->setTitle(m_buttons.at(index));
        b->setTitleColor(kButtonColor);
        b->setTitleColor(QColor(0, 0, 0, 77), Control::Disabled);
        b->addAction(Control::TouchUpInside, [self, index] {
            if (self) self->pressButtonAtIndex(index);
        });
    }
    QRectF f(0, 0, kWidth, y + buttons);
    f.moveCenter(overlay->bounds().center());
    box->setFrame(f);
    updateButtons();
    window->updateAlertLayer();
}

void AlertView::list(bool onScreen) {
    if (onScreen)
        AlertCenter::add(this);
    else
        AlertCenter::remove(this);
}

void AlertView::animateIn() {
    m_overlay->setAlpha(0);
    Animation::animateAlpha(m_overlay, 1, kFade);
}

ChoicePanel::Exit AlertView::exitAnimation() {
    return {kFade, kFadeKey, [overlay = QPointer<View>(m_overlay)](double t) {
                if (overlay) overlay->setAlpha(1 - t);
            }};
}

void AlertView::reportClicked(int index) {
    QPointer<AlertView> self(this);
    if (AlertViewDelegate* d = m_delegate.get()) d->alertViewClickedButtonAtIndex(this, index);
    if (!self || !m_callback) return;
    auto callback = m_callback;
    callback(this, index);
}

void AlertView::reportWillDismiss(int index) {
    if (AlertViewDelegate* d = m_delegate.get())
        d->alertViewWillDismissWithButtonIndex(this, index);
}

void AlertView::reportDidDismiss(int index) {
    if (AlertViewDelegate* d = m_delegate.get()) d->alertViewDidDismissWithButtonIndex(this, index);
}

void AlertView::willTearDown() {
    if (m_field && m_field->isFirstResponder()) m_field->resignFirstResponder();
}

void AlertView::forgetViews() {
    if (m_field) m_field->removeFromSuperview(); // kept: the caller may still read it
    m_box = nullptr;
    m_text = nullptr;
}

} // namespace ui

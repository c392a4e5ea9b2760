#include "platform/ui/TextField.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Font.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/TextView.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpressionValidator>
#include <cmath>

namespace ui {

namespace {

QPointer<TextField> g_first;

const QString kDidBegin = QStringLiteral("UITextFieldTextDidBeginEditingNotification");
const QString kDidChange = QStringLiteral("UITextFieldTextDidChangeNotification");
const QString kDidEnd = QStringLiteral("UITextFieldTextDidEndEditingNotification");

// The edit that turned before into after, with the cursor left at cursor: the span of
// before that was replaced and what replaced it.
std::pair<TextRange, QString> editBetween(const QString& before, const QString& after, int cursor) {
    int suffix = int(after.size()) - cursor;
    if (suffix < 0 || suffix > before.size() || before.right(suffix) != after.right(suffix)) {
        suffix = 0;
        while (suffix < before.size() && suffix < after.size() &&
               before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
            ++suffix;
    }
    int prefix = 0;
    const int maxPrefix = int(std::min(before.size(), after.size())) - suffix;
    while (prefix < maxPrefix && before[prefix] == after[prefix])
        ++prefix;
    const TextRange range{prefix, int(before.size()) - suffix - prefix};
    return {range, after.mid(prefix, after.size() - suffix - prefix)};
}

} // namespace

TextField::TextField(View* parent) : TextField(QRectF(), parent) {}

TextField::TextField(const QRectF& frame, View* parent)
    : Control(frame, parent), m_font(Font::systemFontOfSize(17)) {
    m_edit = new QLineEdit(this);
    m_edit->setFrame(false);
    m_edit->setTextMargins(0, 0, 0, 0);
    m_edit->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textEdited, this, &TextField::textWasEdited);
    connect(m_edit, &QLineEdit::returnPressed, this, &TextField::returnPressed);
    connect(m_edit, &QLineEdit::cursorPositionChanged, this, [this](int, int now) {
        if (!m_reverting && m_edit->text() == m_accepted) m_acceptedCursor = now;
    });
    m_edit->show();
    applyStyle();
    layoutSubviews();
}

TextField::~TextField() {
    if (g_first == this) {
        g_first = nullptr;
        // The keyboard goes with the field; told later, once whatever is being destroyed
        // with the field is gone and cannot hear it half-made.
        ns::performAfter(0, QCoreApplication::instance(), [] {
            if (!g_first) Keyboard::notifyWillHide();
        });
    }
    if (m_accessory && m_accessory->superview() && m_accessory->parentWidget() != this)
        m_accessory->removeFromSuperview();
}

TextField* TextField::firstResponder() {
    return g_first;
}

QString TextField::text() const {
    return m_edit->text();
}

void TextField::setText(const QString& text) {
    m_reverting = true;
    m_edit->setText(text);
    m_reverting = false;
    m_accepted = m_edit->text();
    m_acceptedCursor = m_edit->cursorPosition();
    updateModes();
}

QString TextField::placeholder() const {
    return m_edit->placeholderText();
}

void TextField::setPlaceholder(const QString& placeholder) {
    m_edit->setPlaceholderText(placeholder);
}

void TextField::setFont(const QFont& font) {
    m_font = font;
    applyStyle();
}

void TextField::setTextColor(const QColor& color) {
    m_textColor = color;
    applyStyle();
}

void TextField::setTextAlignment(TextAlignment alignment) {
    m_alignment = alignment;
    applyStyle();
}

void TextField::setSecureTextEntry(bool secure) {
    m_secure = secure;
    m_edit->setEchoMode(secure ? QLineEdit::Password : QLineEdit::Normal);
}

void TextField::setKeyboardType(KeyboardType type) {
    m_keyboard = type;
    QString pattern;
    switch (type) {
    case KeyboardType::NumberPad:
        pattern = QStringLiteral("[0-9]*");
        break;
    case KeyboardType::PhonePad:
        pattern = QStringLiteral("[0-9+*#]*");
        break;
    case KeyboardType::DecimalPad:
        pattern = QStringLiteral("[0-9.]*");
        break;
    default:
        break;
    }
    m_edit->setValidator(
        pattern.isEmpty() ? nullptr
                          : new QRegularExpressionValidator(QRegularExpression(pattern), m_edit));
}

void TextField::setClearButtonMode(ViewMode mode) {
    m_clearMode = mode;
    updateModes();
}

void TextField::setBorderStyle(BorderStyle style) {
    m_border = style;
    layoutSubviews();
    update();
}

void TextField::setLeftView(View* view) {
    if (m_leftView == view) return;
    if (m_leftView && m_leftView->superview() == this) m_leftView->removeFromSuperview();
    m_leftView = view;
    if (view) addSubview(view);
    updateModes();
}

void TextField::setLeftViewMode(ViewMode mode) {
    m_leftMode = mode;
    updateModes();
}

void TextField::setInputAccessoryView(View* view) {
    if (m_accessory == view) return;
    if (isEditing()) showAccessory(false);
    m_accessory = view;
    if (isEditing()) showAccessory(true);
}

void TextField::setEnabled(bool enabled) {
    Control::setEnabled(enabled);
    m_edit->setReadOnly(!enabled);
    if (!enabled) resignFirstResponder();
}

void TextField::setFrame(const QRectF& frame) {
    const bool resized = frame.size() != this->frame().size();
    Control::setFrame(frame);
    if (resized) layoutSubviews();
}

void TextField::applyStyle() {
    m_edit->setFont(m_font);
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Text, m_textColor);
    pal.setColor(QPalette::PlaceholderText, QColor(178, 178, 178));
    m_edit->setPalette(pal);
    Qt::Alignment a = Qt::AlignVCenter;
    a |= m_alignment == TextAlignment::Center  ? Qt::AlignHCenter
         : m_alignment == TextAlignment::Right ? Qt::AlignRight
                                               : Qt::AlignLeft;
    m_edit->setAlignment(a);
}

void TextField::updateModes() {
    const bool editing = isEditing();
    auto shows = [editing](ViewMode m) {
        return m == ViewMode::Always || (m == ViewMode::WhileEditing && editing) ||
               (m == ViewMode::UnlessEditing && !editing);
    };
    m_edit->setClearButtonEnabled(shows(m_clearMode));
    if (m_leftView) m_leftView->setHidden(!shows(m_leftMode));
    layoutSubviews();
}

void TextField::layoutSubviews() {
    if (!m_edit) return;
    const QRectF b(QPointF(0, 0), frame().size());
    const double pad = m_border == BorderStyle::None ? 0 : 7;
    double x = pad;
    if (m_leftView && !m_leftView->isHidden()) {
        const QSizeF s = m_leftView->frame().size();
        m_leftView->setFrame(QRectF(QPointF(0, (b.height() - s.height()) / 2), s));
        x = std::max(x, s.width());
    }
    m_edit->setGeometry(QRect(int(std::lround(x)), 0,
                              std::max(0, int(std::lround(b.width() - x - pad))),
                              int(std::lround(b.height()))));
}

void TextField::drawRect(QPainter& painter, const QRectF& rect) {
    switch (m_border) {
    case BorderStyle::None:
        return;
    case BorderStyle::Line:
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
        return;
    case BorderStyle::Bezel:
        painter.setPen(QPen(QColor(150, 150, 150), 1));
        painter.setBrush(Qt::white);
        painter.drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
        return;
    case BorderStyle::RoundedRect: {
        QPainterPath path;
        path.addRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
        painter.fillPath(path, Qt::white);
        painter.setPen(QPen(QColor(200, 200, 200), 1));
        painter.drawPath(path);
        return;
    }
    }
}

void TextField::showAccessory(bool show) {
    if (!m_accessory) return;
    if (!show) {
        if (m_accessory->superview()) m_accessory->removeFromSuperview();
        return;
    }
    View* root = rootView();
    if (root == this) return;
    const double h = m_accessory->frame().height();
    const double w = root->frame().width();
    root->addSubview(m_accessory);
    m_accessory->setFrame(QRectF(0, root->frame().height() - Keyboard::kHeight - h, w, h));
    root->bringSubviewToFront(m_accessory);
}

bool TextField::becomeFirstResponder() {
    if (isEditing()) return true;
    if (!isEnabled()) return false;
    QPointer<TextField> self(this);
    if (TextFieldDelegate* d = m_delegate.get())
        if (!d->textFieldShouldBeginEditing(this) || !self) return false;
    if (TextView* view = TextView::firstResponder()) view->resignFirstResponder();
    if (!self) return false;
    if (TextField* other = g_first; other && other != this) {
        // Focus moves straight to this field: the keyboard stays, so the other field ends
        // without a hide.
        g_first = nullptr;
        other->m_edit->clearFocus();
        other->showAccessory(false);
        other->updateModes();
        if (TextFieldDelegate* d = other->m_delegate.get()) d->textFieldDidEndEditing(other);
        if (other) other->sendActionsForControlEvents(EditingDidEnd);
        if (other) ns::NotificationCenter::defaultCenter().postNotificationName(kDidEnd, other);
        if (!self) return false;
    }
    g_first = this;
    m_accepted = m_edit->text();
    m_acceptedCursor = m_edit->cursorPosition();
    m_edit->setFocus(Qt::OtherFocusReason);
    updateModes();
    showAccessory(true);
    if (TextFieldDelegate* d = m_delegate.get()) d->textFieldDidBeginEditing(this);
    if (!self) return true;
    sendActionsForControlEvents(EditingDidBegin);
    if (!self) return true;
    ns::NotificationCenter::defaultCenter().postNotificationName(kDidBegin, this);
    // The accessory counts as part of the keyboard only when it is shown on top of it.
    const View* accessory = m_accessory && m_accessory->superview() ? m_accessory.data() : nullptr;
    if (self && g_first == this) Keyboard::notifyWillShow(this, accessory);
    return true;
}

bool TextField::resignFirstResponder() {
    if (!isEditing()) return true;
    QPointer<TextField> self(this);
    g_first = nullptr;
    m_edit->clearFocus();
    showAccessory(false);
    updateModes();
    Keyboard::notifyWillHide();
    if (!self) return true;
    if (TextFieldDelegate* d = m_delegate.get()) d->textFieldDidEndEditing(this);
    if (!self) return true;
    sendActionsForControlEvents(EditingDidEnd);
    if (!self) return true;
    ns::NotificationCenter::defaultCenter().postNotificationName(kDidEnd, this);
    return true;
}

void TextField::textWasEdited(const QString& text) {
    if (m_reverting) return;
    if (!isEditing()) {
        // Input reached the editor without the field taking focus first: take it now.
        const QString typed = text;
        setText(m_accepted);
        if (!becomeFirstResponder()) return;
        m_reverting = true;
        m_edit->setText(typed);
        m_reverting = false;
    }
    const QString edited = m_edit->text();
    const int editedCursor = m_edit->cursorPosition();
    const auto [range, replacement] = editBetween(m_accepted, edited, editedCursor);
    QPointer<TextField> self(this);
    if (TextFieldDelegate* d = m_delegate.get()) {
        // The delegate judges the edit before it happens: it sees the text as it was.
        m_reverting = true;
        m_edit->setText(m_accepted);
        m_edit->setCursorPosition(std::min<int>(m_acceptedCursor, m_accepted.size()));
        m_reverting = false;
        const bool allowed = d->textField(this, range, replacement);
        if (!self || !allowed) return;
        m_reverting = true;
        m_edit->setText(edited);
        m_edit->setCursorPosition(editedCursor);
        m_reverting = false;
    }
    m_accepted = m_edit->text();
    m_acceptedCursor = m_edit->cursorPosition();
    sendActionsForControlEvents(EditingChanged);
    if (self) ns::NotificationCenter::defaultCenter().postNotificationName(kDidChange, this);
}

void TextField::returnPressed() {
    QPointer<TextField> self(this);
    if (TextFieldDelegate* d = m_delegate.get())
        if (!d->textFieldShouldReturn(this) || !self) return;
    const bool resigns = allControlEvents() & EditingDidEndOnExit;
    sendActionsForControlEvents(EditingDidEndOnExit);
    if (self && resigns) resignFirstResponder();
}

bool TextField::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_edit) return Control::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (!isEditing() && !becomeFirstResponder()) return true;
        return false;
    case QEvent::FocusIn:
        if (!isEditing() && !becomeFirstResponder()) m_edit->clearFocus();
        return false;
    case QEvent::KeyPress:
    case QEvent::InputMethod:
        // Only the field being edited takes typing.
        return !isEditing();
    default:
        return false;
    }
}

void TextField::mousePressEvent(QMouseEvent* event) {
    Control::mousePressEvent(event);
    becomeFirstResponder();
}

} // namespace ui

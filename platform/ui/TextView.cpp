#include "platform/ui/TextView.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Font.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/TextField.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPlainTextEdit>

namespace ui {

namespace {
QPointer<TextView> g_first;
const QString kDidBegin = QStringLiteral("UITextViewTextDidBeginEditingNotification");
const QString kDidChange = QStringLiteral("UITextViewTextDidChangeNotification");
const QString kDidEnd = QStringLiteral("UITextViewTextDidEndEditingNotification");
} // namespace

TextView::TextView(View* parent) : TextView(QRectF(), parent) {}

TextView::TextView(const QRectF& frame, View* parent)
    : View(frame, parent), m_font(Font::systemFontOfSize(12)) {
    setBackgroundColor(Qt::white);
    m_edit = new QPlainTextEdit(this);
    m_edit->setFrameShape(QFrame::NoFrame);
    m_edit->setGeometry(QRect(QPoint(0, 0), geometry().size()));
    m_edit->installEventFilter(this);
    m_edit->viewport()->installEventFilter(this);
    connect(m_edit, &QPlainTextEdit::textChanged, this, [this] {
        if (m_settingText) return;
        QPointer<TextView> self(this);
        if (TextViewDelegate* d = m_delegate.get()) d->textViewDidChange(this);
        if (self) ns::NotificationCenter::defaultCenter().postNotificationName(kDidChange, this);
    });
    m_edit->show();
    applyStyle();
}

TextView::~TextView() {
    if (g_first == this) {
        g_first = nullptr;
        ns::performAfter(0, QCoreApplication::instance(), [] {
            if (!g_first && !TextField::firstResponder()) Keyboard::notifyWillHide();
        });
    }
}

TextView* TextView::firstResponder() {
    return g_first;
}

QString TextView::text() const {
    return m_edit->toPlainText();
}

void TextView::setText(const QString& text) {
    m_settingText = true;
    m_edit->setPlainText(text);
    m_settingText = false;
}

void TextView::setFont(const QFont& font) {
    m_font = font;
    applyStyle();
}

void TextView::setTextColor(const QColor& color) {
    m_textColor = color;
    applyStyle();
}

void TextView::setEditable(bool editable) {
    m_editable = editable;
    m_edit->setReadOnly(!editable);
    if (!editable) resignFirstResponder();
}

void TextView::applyStyle() {
    m_edit->setFont(m_font);
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Text, m_textColor);
    m_edit->setPalette(pal);
}

void TextView::setFrame(const QRectF& frame) {
    View::setFrame(frame);
    m_edit->setGeometry(QRect(QPoint(0, 0), geometry().size()));
}

bool TextView::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!m_editable) return false;
    QPointer<TextView> self(this);
    if (TextField* field = TextField::firstResponder()) field->resignFirstResponder();
    if (TextView* other = g_first; other && other != this) other->resignFirstResponder();
    if (!self) return false;
    g_first = this;
    m_edit->setFocus(Qt::OtherFocusReason);
    if (TextViewDelegate* d = m_delegate.get()) d->textViewDidBeginEditing(this);
    if (!self) return true;
    ns::NotificationCenter::defaultCenter().postNotificationName(kDidBegin, this);
    if (self && g_first == this) Keyboard::notifyWillShow(this);
    return true;
}

bool TextView::resignFirstResponder() {
    if (!isFirstResponder()) return true;
    QPointer<TextView> self(this);
    g_first = nullptr;
    m_edit->clearFocus();
    Keyboard::notifyWillHide();
    if (!self) return true;
    if (TextViewDelegate* d = m_delegate.get()) d->textViewDidEndEditing(this);
    if (self) ns::NotificationCenter::defaultCenter().postNotificationName(kDidEnd, this);
    return true;
}

bool TextView::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (!isFirstResponder() && !becomeFirstResponder()) return true;
        return false;
    case QEvent::KeyPress:
    case QEvent::InputMethod:
        // Only the view being edited takes typing.
        return !isFirstResponder();
    default:
        return false;
    }
}

} // namespace ui

#include "widgets/RRTextView.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Font.h"

#include <QEvent>
#include <QPlainTextEdit>

QColor RRTextView::placeholderColor() {
    return QColor::fromRgbF(2.0 / 3, 2.0 / 3, 2.0 / 3);
}

namespace {
const QString kBegin = QStringLiteral("UITextViewTextDidBeginEditingNotification");
const QString kEnd = QStringLiteral("UITextViewTextDidEndEditingNotification");
} // namespace

RRTextView::RRTextView(View* parent) : RRTextView(QRectF(), parent) {}

RRTextView::RRTextView(const QRectF& frame, View* parent) : View(frame, parent) {
    m_editor = new QPlainTextEdit(this);
    m_editor->setFrameStyle(0);
    m_editor->setFont(ui::Font::systemFontOfSize(14));
    m_editor->setGeometry(rect());
    m_editor->installEventFilter(this);
    m_editor->show();
    awakeFromNib();
}

RRTextView::~RRTextView() {
    ns::NotificationCenter::defaultCenter().removeObserver(this);
}

void RRTextView::awakeFromNib() {
    auto& center = ns::NotificationCenter::defaultCenter();
    center.removeObserver(this);
    center.addObserver(this, kBegin, this, [this](const ns::Notification&) { beginEditing(); });
    center.addObserver(this, kEnd, this, [this](const ns::Notification&) { endEditing(); });
    m_realTextColor = Qt::black;
}

void RRTextView::show(const QString& text, const QColor& color) {
    if (m_editor->toPlainText() != text) m_editor->setPlainText(text);
    QPalette palette = m_editor->palette();
    palette.setColor(QPalette::Text, color);
    m_editor->setPalette(palette);
}

QColor RRTextView::textColor() const {
    return m_editor->palette().color(QPalette::Text);
}

QString RRTextView::realText() const {
    return m_editor->toPlainText();
}

bool RRTextView::isShowingPlaceholder() const {
    return !m_placeholder.isEmpty() && realText() == m_placeholder;
}

QString RRTextView::text() const {
    const QString shown = realText();
    return shown == m_placeholder ? QString("") : shown;
}

void RRTextView::setText(const QString& text) {
    if (text.isEmpty())
        show(m_placeholder, placeholderColor());
    else if (text == m_placeholder)
        show(text, placeholderColor());
    else
        show(text, m_realTextColor);
}

void RRTextView::setPlaceholder(const QString& placeholder) {
    const QString previous = m_placeholder;
    m_placeholder = placeholder;
    const QString shown = realText();
    if (shown.isEmpty() || shown == previous) show(placeholder, placeholderColor());
}

void RRTextView::setTextColor(const QColor& color) {
    if (isShowingPlaceholder()) {
        // The placeholder stays grey; the colour waits for the user's text.
        if (color != placeholderColor()) m_realTextColor = color;
        show(realText(), placeholderColor());
        return;
    }
    m_realTextColor = color;
    show(realText(), color);
}

void RRTextView::beginEditing() {
    if (isShowingPlaceholder()) show(QString(), m_realTextColor);
}

void RRTextView::endEditing() {
    if (realText().isEmpty()) show(m_placeholder, placeholderColor());
}

bool RRTextView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_editor) {
        if (event->type() == QEvent::FocusIn)
            ns::NotificationCenter::defaultCenter().postNotificationName(kBegin, this);
        else if (event->type() == QEvent::FocusOut)
            ns::NotificationCenter::defaultCenter().postNotificationName(kEnd, this);
    }
    return View::eventFilter(watched, event);
}

void RRTextView::resizeEvent(QResizeEvent* event) {
    View::resizeEvent(event);
    if (m_editor) m_editor->setGeometry(rect());
}

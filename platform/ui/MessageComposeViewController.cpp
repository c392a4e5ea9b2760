#include "platform/ui/MessageComposeViewController.h"

#include "platform/foundation/UrlOpener.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <QRegularExpression>
#include <QUrl>

namespace ui {

namespace {
std::optional<bool> g_canSend;
MessageComposeViewController::Composed g_last;
int g_count = 0;

const QColor kButtonColor(0, 122, 255);

// "sms:a,b?body=..." as the desktop's handlers take it.
QUrl smsUrl(const QStringList& recipients, const QString& body) {
    QStringList encoded;
    for (const QString& r : recipients)
        encoded << QString::fromUtf8(QUrl::toPercentEncoding(r, "+"));
    QString text = QStringLiteral("sms:") + encoded.join(',');
    if (!body.isEmpty())
        text += QStringLiteral("?body=") + QString::fromUtf8(QUrl::toPercentEncoding(body));
    return QUrl(text, QUrl::StrictMode);
}
} // namespace

MessageComposeViewController::MessageComposeViewController(QObject* parent)
    : ViewController(parent) {}

MessageComposeViewController::~MessageComposeViewController() = default;

bool MessageComposeViewController::canSendText() {
    if (g_canSend) return *g_canSend;
    return ns::UrlOpener::canOpenURL(QUrl(QStringLiteral("sms:")));
}

void MessageComposeViewController::setCanSendText(std::optional<bool> can) {
    g_canSend = can;
}

QStringList MessageComposeViewController::recipientsFromText(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[,;，；、\\s]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

MessageComposeViewController::Composed MessageComposeViewController::lastComposed() {
    return g_last;
}

int MessageComposeViewController::composedCount() {
    return g_count;
}

void MessageComposeViewController::resetComposedRecord() {
    g_last = {};
    g_count = 0;
}

void MessageComposeViewController::setRecipients(const QStringList& recipients) {
    m_recipients = recipients;
    if (m_recipientsField) m_recipientsField->setText(recipients.join(QStringLiteral(", ")));
    refreshLabels();
}

void MessageComposeViewController::setBody(const QString& body) {
    m_body = body.left(kMaxBodyLength);
    refreshLabels();
}

bool MessageComposeViewController::textField(TextField* field, TextRange range,
                                             const QString& replacement) {
    if (field != m_recipientsField) return true;
    static const QRegularExpression allowed(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9+,;，；、 ]*")));
    const qsizetype length = field->text().size() - range.length + replacement.size();
    return length <= kMaxRecipientsLength && allowed.match(replacement).hasMatch();
}

void MessageComposeViewController::recipientsEdited() {
    m_recipients = recipientsFromText(m_recipientsField->text());
    refreshLabels();
}

void MessageComposeViewController::loadView() {
    const QRectF full(QPointF(), Window::screenSize());
    auto* v = new View(full);
    v->setBackgroundColor(Qt::white);

    auto* bar = new View(QRectF(0, 0, full.width(), 64), v);
    bar->setBackgroundColor(QColor(247, 247, 247));
    auto* title = new Label(QRectF(80, 20, full.width() - 160, 44), bar);
    title->setFont(Font::boldSystemFontOfSize(17));
    title->setTextAlignment(TextAlignment::Center);
    title->setText(QStringLiteral("新信息"));
    QPointer<MessageComposeViewController> self(this);
    auto* cancelButton = new Button(QRectF(8, 20, 64, 44), bar);
    cancelButton->titleLabel()->setFont(Font::systemFontOfSize(17));
    cancelButton->setTitle(QStringLiteral("取消"));
    cancelButton->setTitleColor(kButtonColor);
    cancelButton->addAction(Control::TouchUpInside, [self] {
        if (self) self->cancel();
    });
    auto* line = new View(QRectF(0, 63.5, full.width(), 0.5), bar);
    line->setBackgroundColor(QColor(0, 0, 0, 77));

    auto* to = new Label(QRectF(15, 72, 60, 30), v);
    to->setFont(Font::systemFontOfSize(15));
    to->setTextColor(QColor(143, 143, 143));
    to->setText(QStringLiteral("收件人："));
    auto* field = new TextField(QRectF(75, 72, full.width() - 90, 30), v);
    field->setFont(Font::systemFontOfSize(15));
    field->setPlaceholder(QStringLiteral("输入手机号码"));
    field->setText(m_recipients.join(QStringLiteral(", ")));
    field->setDelegate(this);
    field->addAction(Control::EditingChanged, [self] {
        if (self) self->recipientsEdited();
    });
    m_recipientsField = field;
    auto* underline = new View(QRectF(15, 102, full.width() - 30, 0.5), v);
    underline->setBackgroundColor(QColor(0, 0, 0, 51));

    auto* bubble = new View(QRectF(15, 112, full.width() - 30, 0), v);
    bubble->setBackgroundColor(QColor(229, 229, 234));
    bubble->setCornerRadius(12);
    auto* text = new Label(bubble);
    text->setFont(Font::systemFontOfSize(15));
    text->setNumberOfLines(0);
    text->setLineBreakMode(LineBreakMode::WordWrapping);
    m_bodyLabel = text;

    auto* send = new Button(QRectF(full.width() - 72, full.height() - 44, 64, 44), v);
    send->titleLabel()->setFont(Font::boldSystemFontOfSize(17));
    send->setTitle(QStringLiteral("发送"));
    send->setTitleColor(kButtonColor);
    send->setTitleColor(QColor(143, 143, 143), Control::Disabled);
    send->addAction(Control::TouchUpInside, [self] {
        if (self) self->send();
    });
    m_sendButton = send;
    setView(v);
}

void MessageComposeViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    refreshLabels();
}

void MessageComposeViewController::refreshLabels() {
    if (!isViewLoaded()) return;
    // Being on screen is what the record tells: the message prepared for the user.
    g_last = {m_recipients, m_body};
    if (!m_recorded) {
        m_recorded = true;
        ++g_count;
    }
    m_sendButton->setEnabled(!m_recipients.isEmpty() && !m_handingOff);
    auto* text = static_cast<Label*>(m_bodyLabel);
    View* bubble = text->superview();
    const double w = bubble->frame().width() - 24;
    text->setText(m_body);
    const QSizeF fit = text->sizeThatFits(QSizeF(w, 0));
    text->setFrame(QRectF(12, 8, w, fit.height()));
    QRectF b = bubble->frame();
    b.setHeight(m_body.isEmpty() ? 0 : fit.height() + 16);
    bubble->setFrame(b);
    bubble->setHidden(m_body.isEmpty());
}

void MessageComposeViewController::send() {
    if (m_finished || m_handingOff) return;
    if (!canSendText()) {
        finish(MessageComposeResult::Failed);
        return;
    }
    // Nobody to send to yet: the user is asked for a number, nothing closes.
    if (m_recipients.isEmpty()) {
        if (m_recipientsField) m_recipientsField->becomeFirstResponder();
        return;
    }
    // Only the desktop's answer tells sent from failed; until it comes, nothing more is pressed.
    m_handingOff = true;
    refreshLabels();
    QPointer<MessageComposeViewController> self(this);
    ns::UrlOpener::openURL(smsUrl(m_recipients, m_body), [self](bool taken) {
        if (!self) return;
        self->m_handingOff = false;
        self->finish(taken ? MessageComposeResult::Sent : MessageComposeResult::Failed);
    });
}

void MessageComposeViewController::cancel() {
    if (m_finished || m_handingOff) return;
    finish(MessageComposeResult::Cancelled);
}

void MessageComposeViewController::finish(MessageComposeResult result) {
    m_finished = true;
    QPointer<MessageComposeViewController> self(this);
    if (auto* d = m_delegate.get()) d->messageComposeViewController(this, result);
    if (self && m_completion) {
        auto completion = m_completion;
        completion(result);
    }
}

} // namespace ui

#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

#include <QStringList>
#include <functional>
#include <optional>

namespace ui {

class Button;
class MessageComposeViewController;

enum class MessageComposeResult { Cancelled = 0, Sent = 1, Failed = 2 };

class MessageComposeViewControllerDelegate {
public:
    virtual ~MessageComposeViewControllerDelegate() = default;
    virtual void messageComposeViewController(MessageComposeViewController* controller,
                                              MessageComposeResult didFinishWithResult) = 0;
};

// The SMS composer: a screen showing the recipients (which the user may type or change) and the
// text prepared for the user to send, with Send and Cancel. Send hands the message to the
// desktop's "sms:" handler; the result (sent, failed when no handler took it or the hand-off
// failed, or cancelled) goes to the delegate and the completion once the desktop has answered.
// Send waits for at least one recipient. The composer does not dismiss itself: its presenter
// does, as on the phone.
class MessageComposeViewController : public ViewController, public TextFieldDelegate {
    Q_OBJECT
public:
    // What the recipient field takes: a few numbers, each of digits with an optional "+".
    static constexpr int kMaxRecipientsLength = 120;
    // A body longer than this is cut before it reaches the screen: laying out a page-sized
    // text takes the event loop for minutes.
    static constexpr int kMaxBodyLength = 2000;

    struct Composed {
        QStringList recipients;
        QString body;
    };

    explicit MessageComposeViewController(QObject* parent = nullptr);
    ~MessageComposeViewController() override;

    // Whether texts can be sent here: whether the desktop has a handler for "sms:" links
    // (ns::UrlOpener), unless a test has fixed the answer (nothing restores the desktop's).
    static bool canSendText();
    static void setCanSendText(std::optional<bool> can);

    QStringList recipients() const { return m_recipients; }
    void setRecipients(const QStringList& recipients);
    QString body() const { return m_body; }
    void setBody(const QString& body);

    MessageComposeViewControllerDelegate* messageComposeDelegate() const {
        return m_delegate.get();
    }
    void setMessageComposeDelegate(MessageComposeViewControllerDelegate* delegate) {
        m_delegate.reset(delegate);
    }
    void setCompletion(std::function<void(MessageComposeResult)> completion) {
        m_completion = std::move(completion);
    }

    // The Send and Cancel buttons. Each reports once; later presses, and any press while the
    // desktop is being handed the text, are ignored.
    void send();
    void cancel();
    bool isFinished() const { return m_finished; }

    // The message of the last composer put on screen, and how many have been.
    static Composed lastComposed();
    static int composedCount();
    static void resetComposedRecord();

    void viewDidLoad() override;
    // The recipient field, on screen once the view is loaded.
    TextField* recipientsField() const { return m_recipientsField; }
    Button* sendButton() const { return m_sendButton; }

    // The recipients written in a field: separated by commas, semicolons, "、" or blanks.
    static QStringList recipientsFromText(const QString& text);

    // --- Recipient field ---
    bool textField(TextField* field, TextRange range, const QString& replacement) override;

protected:
    void loadView() override;

private:
    void finish(MessageComposeResult result);
    void refreshLabels();
    void recipientsEdited();

    QStringList m_recipients;
    QString m_body;
    ns::Weak<MessageComposeViewControllerDelegate> m_delegate;
    std::function<void(MessageComposeResult)> m_completion;
    bool m_finished = false;
    bool m_handingOff = false;
    bool m_recorded = false;
    TextField* m_recipientsField = nullptr;
    View* m_bodyLabel = nullptr;
    Button* m_sendButton = nullptr;
};

} // namespace ui

#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/ViewController.h"

#include <QStringList>
#include <functional>

namespace ui {

class MessageComposeViewController;

enum class MessageComposeResult { Cancelled = 0, Sent = 1, Failed = 2 };

class MessageComposeViewControllerDelegate {
public:
    virtual ~MessageComposeViewControllerDelegate() = default;
    virtual void messageComposeViewController(MessageComposeViewController* controller,
                                              MessageComposeResult didFinishWithResult) = 0;
};

// The SMS composer: a screen showing the recipients and the text prepared for the user to send,
// with Send and Cancel. Send hands the message to the desktop's "sms:" handler; the result
// (sent, failed when nothing took it, or cancelled) goes to the delegate and the completion.
// The composer does not dismiss itself: its presenter does, as on the phone.
class MessageComposeViewController : public ViewController {
    Q_OBJECT
public:
    struct Composed {
        QStringList recipients;
        QString body;
    };

    explicit MessageComposeViewController(QObject* parent = nullptr);
    ~MessageComposeViewController() override;

    // Whether texts can be sent here; true unless a test says otherwise.
    static bool canSendText();
    static void setCanSendText(bool can);

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

    // The Send and Cancel buttons. Each reports once; later presses are ignored.
    void send();
    void cancel();
    bool isFinished() const { return m_finished; }

    // The message of the last composer put on screen, and how many have been.
    static Composed lastComposed();
    static int composedCount();
    static void resetComposedRecord();

    void viewDidLoad() override;

protected:
    void loadView() override;

private:
    void finish(MessageComposeResult result);
    void refreshLabels();

    QStringList m_recipients;
    QString m_body;
    ns::Weak<MessageComposeViewControllerDelegate> m_delegate;
    std::function<void(MessageComposeResult)> m_completion;
    bool m_finished = false;
    bool m_recorded = false;
    View* m_recipientsLabel = nullptr;
    View* m_bodyLabel = nullptr;
};

} // namespace ui

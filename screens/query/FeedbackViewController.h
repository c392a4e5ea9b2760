#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>

#include "app/core/ViewController.h"
#include "platform/ui/ActionSheet.h"

class RRTextView;

namespace ui {
class Button;
class Label;
} // namespace ui

// Sends the subscriber's feedback ("FeedBack") with a chosen category. The text may hold at
// most 120 characters once blanks are taken out.
class FeedbackViewController : public ViewController, public ui::ActionSheetDelegate {
    Q_OBJECT
public:
    static constexpr int kMaxLength = 120;
    static constexpr int kSubmitTag = 1001;
    static QStringList categories();

    explicit FeedbackViewController(QObject* parent = nullptr);
    ~FeedbackViewController() override;

    ui::Label* labelOfPhoneNO() const { return m_labelOfPhoneNO; }
    RRTextView* RROfTextView() const { return m_RROfTextView; }
    ui::Button* typeButton() const { return m_typeButton; }
    ui::Button* submitButton() const { return m_submitButton; }
    QString typeOfFeedback() const { return m_typeOfFeedback; }
    QString strOfFeedback() const { return m_strOfFeedback; }

    void viewDidLoad() override;

    void typeButtonPressed();
    void actionSheetClickedButtonAtIndex(ui::ActionSheet* sheet, int buttonIndex) override;
    void clickTheSummitButton();
    void requestOfFeedbackSend();

protected:
    void loadView() override;
    // Focus on the text hands it to the keyboard handling; the return key ends editing.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void feedbackAnswered(const QVariantMap& reply);

    ui::Label* m_labelOfPhoneNO = nullptr;
    RRTextView* m_RROfTextView = nullptr;
    // Only compared with: a QObject pointer stays valid to compare while the editor dies.
    QPointer<QObject> m_editor;
    ui::Button* m_typeButton = nullptr;
    ui::Button* m_submitButton = nullptr;
    QString m_typeOfFeedback;
    QString m_strOfFeedback;
};

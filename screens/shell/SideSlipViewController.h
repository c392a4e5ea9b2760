#pragma once

#include <QList>
#include <QPointer>
#include <QString>

#include "app/core/ViewController.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/TextField.h"

namespace ui {
class Button;
class ImageView;
class Label;
class View;
} // namespace ui

// The drawer menu under the tab bar: the phone number, the customer's star level and the menu
// buttons. Log-out and SMS share are handled here; every other button goes to the home page.
class SideSlipViewController : public ViewController,
                               public ui::MessageComposeViewControllerDelegate,
                               public ui::TextFieldDelegate,
                               public ui::AlertViewDelegate {
    Q_OBJECT
public:
    static constexpr int kLogoutTag = 1012;
    static constexpr int kShareTag = 1009;
    static constexpr int kShareAlertTag = 1001;
    static constexpr int kPhoneNumberLength = 11;
    static constexpr qint64 kButtonLockMs = 700;

    // One row of star pictures for a "credit_level".
    struct StarRow {
        QString imageName; // empty: no pictures of a kind
        int count = 0;
        int expectantFill = 0; // "expectantStar" pictures after them
    };
    static StarRow starRowForLevel(const QString& creditLevel);
    // Replaces the pictures in stars with the row of a "credit_level", drawn left to right
    // from origin inside parent, 15 x 14 points each, 18 points apart.
    static void drawStarRow(QList<QPointer<ui::ImageView>>& stars, ui::View* parent,
                            const QString& creditLevel, const QPointF& origin);
    // The SMS text recommending the application, with its download address for the number.
    static QString shareMessage(const QString& phoneNumber);

    explicit SideSlipViewController(QObject* parent = nullptr);
    ~SideSlipViewController() override;

    ui::Label* labelOfPhoneNO() const { return m_labelOfPhoneNO; }
    ui::View* backGroundView() const { return m_backGroundView; }
    ui::View* viewOfStars() const { return m_viewOfStars; }
    ui::View* viewOfSettingAndCancel() const { return m_viewOfSettingAndCancel; }
    ui::View* viewOfShareAndFeedback() const { return m_viewOfShareAndFeedback; }
    ui::Label* labelOfStars() const { return m_labelOfStars; }
    ui::TextField* textFieldOfShare() const { return m_textFieldOfShare; }
    bool isRequestOfStarLevelFailed() const { return m_isRequestOfStarLevelFailed; }
    // The menu button of a tag.
    ui::Button* buttonWithTag(int tag) const;
    // The star pictures now in the row, left to right.
    QList<ui::ImageView*> starImageViews() const;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    void requestOfStarLevelSend();
    void buttonPressed(ui::Button* sender);
    void buttonEnable(ui::Button* button);
    void displaySMSComposerSheetWithPhone(const QString& phone, const QString& andBody);

    void alertViewClickedButtonAtIndex(ui::AlertView* alertView, int buttonIndex) override;
    bool alertViewShouldEnableFirstOtherButton(ui::AlertView* alertView) override;
    bool textField(ui::TextField* field, ui::TextRange range, const QString& replacement) override;
    void messageComposeViewController(ui::MessageComposeViewController* controller,
                                      ui::MessageComposeResult didFinishWithResult) override;

protected:
    void loadView() override;

private:
    void drawStars(const QString& creditLevel);
    ui::Button* addMenuButton(ui::View* parent, const QRectF& frame, int tag, const QString& title);

    ui::Label* m_labelOfPhoneNO = nullptr;
    ui::View* m_backGroundView = nullptr;
    ui::View* m_viewOfStars = nullptr;
    ui::View* m_viewOfSettingAndCancel = nullptr;
    ui::View* m_viewOfShareAndFeedback = nullptr;
    ui::Label* m_labelOfStars = nullptr;
    QPointer<ui::TextField> m_textFieldOfShare;
    QList<QPointer<ui::ImageView>> m_stars;
    bool m_isRequestOfStarLevelFailed = false;
};

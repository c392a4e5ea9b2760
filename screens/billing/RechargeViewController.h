#pragma once

#include "app/core/HTTPRequest.h"
#include "app/core/ViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"
#include "widgets/RoundCornerView.h"

#include <QPointer>
#include <QVariantMap>
#include <array>

// Recharge (scene "RechargeViewController" of "Main", opened by the home page's
// "RootViewToRecharge"): the own number topped up by bank card on the operator's payment page
// (one of six amounts or another one, with the sum to pay after the discount) or by a
// recharge card's number and password; with the remaining credit and a promotion banner.
class RechargeViewController : public ViewController, public ui::TextFieldDelegate {
    Q_OBJECT
public:
    static constexpr int kMoneyButtonCount = 6;
    static constexpr int kMinimumAmount = 10;
    static constexpr int kMaximumAmount = 500;
    // What the six buttons stand for until the server names amounts of its own.
    static constexpr std::array<int, kMoneyButtonCount> kFixedAmounts = {20, 30, 50, 100, 200, 300};

    explicit RechargeViewController(QObject* parent = nullptr);
    ~RechargeViewController() override;

    void viewDidLoad() override;

    void moneyButtonPressed(ui::Button* sender);
    void otherMoneyButtonPressed();
    void bankCardAndRechargeableCardButtonPressed(ui::Button* sender);
    void rechargeButtonPressed();
    void activityImagePressed();
    void closeActivityImage();

    void requestOfPaymentInfoSend();
    void requestOfComboSend();
    void requestOfSpecialActivitySend();
    // The sum to pay for strOfRechargeMoney; an answer for an amount chosen before is dropped.
    void requestOfRechargeDiscountSend();
    void requestOfBankCardSend(const QString& amount);
    void requestOfRechargeableCardSend();

    bool textFieldShouldBeginEditing(ui::TextField* field) override;
    bool textField(ui::TextField* field, ui::TextRange range, const QString& replacement) override;
    void textFieldDidEndEditing(ui::TextField* field) override;

    // The amount a button's title stands for: a whole number of yuan within 10..500, else
    // nothing.
    static std::optional<int> amountOfTitle(const QString& title);

    QString strOfSelectedCard() const { return m_strOfSelectedCard; }
    bool isOtherMoneyButtonPressed() const { return m_isOtherMoneyButtonPressed; }
    QString strOfSelectMoney() const { return m_strOfSelectMoney; }
    QString strOfRechargeMoney() const { return m_strOfRechargeMoney; }
    QVariantMap dicOfActivity() const { return m_dicOfActivity; }
    int amountOfMoneyButton(int index) const { return m_amounts.at(size_t(index)); }

    ui::TextField* phoneNO() const { return m_phoneNO; }
    ui::Button* buttonOfBankCard() const { return m_buttonOfBankCard; }
    ui::Button* buttonOfRechargeableCard() const { return m_buttonOfRechargeableCard; }
    ui::View* viewOfCards() const { return m_viewOfCards; }
    ui::View* viewOfMoney() const { return m_viewOfMoney; }
    ui::View* viewOfOtherMoney() const { return m_viewOfOtherMoney; }
    ui::View* viewOfMoneyButtons() const { return m_viewOfMoneyButtons; }
    ui::Button* moneyButton(int index) const; // 0 to 5: 20, 30, 50, 100, 200, 300
    ui::Button* buttonOfOtherMoney() const { return m_buttonOfOtherMoney; }
    ui::Button* buttonOfRecharge() const { return m_buttonOfRecharge; }
    ui::TextField* textFieldOfMoney() const { return m_textFieldOfMoney; }
    ui::TextField* textFieldOfRechargeableCardNumber() const { return m_cardNumber; }
    ui::TextField* textFieldOfRechargeableCardPassword() const { return m_cardPassword; }
    ui::View* backGroundView1() const;
    ui::View* backGroundView2() const { return m_backGroundView2; }
    ui::Label* labelOfPayment() const { return m_labelOfPayment; }
    ui::Label* labelOfRemainMoney() const { return m_labelOfRemainMoney; }
    ui::ImageView* imageViewOfActivity() const { return m_imageViewOfActivity; }
    ui::Button* buttonOfXIndicator() const { return m_buttonOfXIndicator; }
    ui::Button* buttonOfActitvityImage() const { return m_buttonOfActitvityImage; }

protected:
    void loadView() override;

private:
    void showPendingPayment();
    void paymentInfoReplied(const QVariant& reply);
    // Starts a request whose transport failure is not reported.
    HTTPRequest* quietRequest(const QString& key);

    QString m_strOfSelectedCard;
    bool m_isOtherMoneyButtonPressed = false;
    QString m_strOfSelectMoney;
    QString m_strOfRechargeMoney;
    QVariantMap m_dicOfActivity;
    std::array<int, kMoneyButtonCount> m_amounts = kFixedAmounts;

    QPointer<ui::TextField> m_phoneNO;
    QPointer<ui::Button> m_buttonOfBankCard;
    QPointer<ui::Button> m_buttonOfRechargeableCard;
    QPointer<ui::View> m_viewOfCards;
    QPointer<ui::View> m_viewOfMoney;
    QPointer<ui::View> m_viewOfOtherMoney;
    QPointer<ui::View> m_viewOfMoneyButtons;
    std::array<QPointer<ui::Button>, kMoneyButtonCount> m_moneyButtons;
    QPointer<ui::Button> m_buttonOfOtherMoney;
    QPointer<ui::Button> m_buttonOfRecharge;
    QPointer<ui::TextField> m_textFieldOfMoney;
    QPointer<ui::TextField> m_cardNumber;
    QPointer<ui::TextField> m_cardPassword;
    QPointer<RoundCornerView> m_backGroundView1;
    QPointer<ui::View> m_backGroundView2;
    QPointer<ui::Label> m_labelOfPayment;
    QPointer<ui::Label> m_labelOfRemainMoney;
    QPointer<ui::ImageView> m_imageViewOfActivity;
    QPointer<ui::Button> m_buttonOfXIndicator;
    QPointer<ui::Button> m_buttonOfActitvityImage;
    QPointer<HTTPRequest> m_offerRequest;
};

#pragma once

#include <QString>

#include "app/core/ViewController.h"

namespace ui {
class Button;
}

// The manage tab's root: a board of buttons opening the operator's pages, the data-plan
// change, the secondary-number guide, the discount activities, the popular offers, the
// further packages, the recharge history and the points. It sends no request of its own.
class ManageViewController : public ViewController {
    Q_OBJECT
public:
    // buttonPressed
    static constexpr int kPlanChangeTag = 1002;
    static constexpr int kFlowShareTag = 1004;
    static constexpr int kBroadbandTag = 1005;
    static constexpr int kCouponTag = 1006;
    static constexpr int kFlowWalletTag = 1007;
    static constexpr int kSecureNumTag = 1009;
    // bottomThreeWebButtonPressed
    static constexpr int kRingToneTag = 1010;
    static constexpr int kReadingTag = 1011;
    static constexpr int kWeatherTag = 1012;
    // Wired to segues and to goToMorePackage; not dispatched by tag.
    static constexpr int kDiscountTag = 1020;
    static constexpr int kHotBusinessTag = 1021;
    static constexpr int kMorePackageTag = 1022;
    static constexpr int kRechargeRecordTag = 1023;
    static constexpr int kPointsTag = 1024;

    struct Page {
        QString path; // with "%@" placeholders, after the server base address
        QString title;
        bool encrypted = false; // phone, session, nonce, encrypted phone; else phone, session
    };
    // The web page a tag opens; an empty path for tags that open none.
    static Page pageForTag(int tag);

    explicit ManageViewController(QObject* parent = nullptr);

    ui::Button* buttonWithTag(int tag) const;

    void viewDidLoad() override;
    void buttonPressed(ui::Button* sender);
    void bottomThreeWebButtonPressed(ui::Button* sender);
    void goToMorePackage();
    void prepareForSegue(ui::StoryboardSegue* segue, QObject* sender) override;

protected:
    void loadView() override;

private:
    void openPage(int tag);
};

#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "tests/platform/PlatformHarness.h"

using namespace ui;
using platformtest::flush;

namespace {

struct Recorder : QObject, AlertViewDelegate, ActionSheetDelegate {
    QStringList calls;
    int requiredLength = -1; // the first other button needs a field text this long
    void alertViewClickedButtonAtIndex(AlertView* a, int i) override {
        calls << QString("clicked:%1:%2").arg(a->tag()).arg(i);
    }
    void alertViewWillDismissWithButtonIndex(AlertView*, int i) override {
        calls << QString("will:%1").arg(i);
    }
    void alertViewDidDismissWithButtonIndex(AlertView*, int i) override {
        calls << QString("did:%1").arg(i);
    }
    bool alertViewShouldEnableFirstOtherButton(AlertView* a) override {
        if (requiredLength < 0 || !a->textFieldAtIndex(0)) return true;
        return a->textFieldAtIndex(0)->text().size() == requiredLength;
    }
    void actionSheetClickedButtonAtIndex(ActionSheet*, int i) override {
        calls << QString("sheet:%1").arg(i);
    }
    void actionSheetDidDismissWithButtonIndex(ActionSheet*, int i) override {
        calls << QString("sheetDid:%1").arg(i);
    }
};

class Alerts : public ::testing::Test {
protected:
    void TearDown() override {
        AlertCenter::dismissAll();
        flush();
    }
};

TEST_F(Alerts, ButtonsAreNumberedCancelFirst) {
    struct Case {
        QString cancel;
        QStringList others;
        QStringList titles; // by index
        int cancelIndex;
        int firstOther;
    };
    const QList<Case> cases = {
        {"取消", {"确认"}, {"取消", "确认"}, 0, 1},
        {"确定", {}, {"确定"}, 0, -1},
        {{}, {"一", "二"}, {"一", "二"}, -1, 0},
        {"关闭", {"一", "二", "三"}, {"关闭", "一", "二", "三"}, 0, 1},
    };
    for (const Case& c : cases) {
        AlertView alert("提示", "消息", nullptr, c.cancel, c.others);
        QStringList titles;
        for (int i = 0; i < alert.numberOfButtons(); ++i)
            titles << alert.buttonTitleAtIndex(i);
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(alert.cancelButtonIndex(), c.cancelIndex);
        EXPECT_EQ(alert.firstOtherButtonIndex(), c.firstOther);
        EXPECT_EQ(alert.buttonTitleAtIndex(9), QString());
    }
}

TEST_F(Alerts, APressReachesDelegateThenCallbackThenDismissesAndDeletes) {
    Recorder rec;
    QPointer<AlertView> alert = new AlertView("提示", "确认注销登录？", &rec, "取消", {"确认"});
    alert->setTag(7);
    QList<int> pressed;
    alert->setCallback([&](AlertView*, int i) {
        rec.calls << "callback";
        pressed << i;
    });
    EXPECT_TRUE(AlertCenter::visibleAlerts().isEmpty());
    alert->show(); // no window: only registered
    EXPECT_EQ(AlertCenter::topAlert(), alert.data());
    EXPECT_TRUE(AlertCenter::press("确认"));
    EXPECT_EQ(rec.calls, QStringList({"clicked:7:1", "callback", "will:1", "did:1"}));
    EXPECT_EQ(pressed, QList<int>({1}));
    EXPECT_TRUE(AlertCenter::visibleAlerts().isEmpty());
    EXPECT_FALSE(AlertCenter::press("确认")); // nothing left to press
    flush();
    EXPECT_FALSE(alert);
}

TEST_F(Alerts, ASecondPressOfTheSameAlertDoesNothing) {
    int calls = 0;
    auto* alert = new AlertView("", "网络连接失败,请检查您的网络设置", nullptr, "确认");
    alert->setCallback([&](AlertView* a, int i) {
        ++calls;
        a->pressButtonAtIndex(i); // re-entered from its own callback
    });
    alert->show();
    EXPECT_TRUE(alert->pressButtonAtIndex(0));
    EXPECT_FALSE(alert->pressButtonAtIndex(0));
    EXPECT_EQ(calls, 1);
    alert->show(); // a dismissed alert does not come back
    EXPECT_TRUE(AlertCenter::visibleAlerts().isEmpty());
}

TEST_F(Alerts, ADestroyedDelegateIsNeverCalled) {
    auto rec = std::make_unique<Recorder>();
    auto* alert = new AlertView("提示", "请求超时", rec.get(), "确定");
    int callbacks = 0;
    alert->setCallback([&](AlertView*, int) { ++callbacks; });
    alert->show();
    rec.reset();
    EXPECT_EQ(alert->delegate(), nullptr);
    EXPECT_TRUE(AlertCenter::press(0));
    EXPECT_EQ(callbacks, 1);
}

TEST_F(Alerts, OnlyTheNewestAlertIsDrawnAndTheOlderReturns) {
    Window window;
    window.makeKeyAndVisible();
    auto* first = new AlertView("一", "", nullptr, "确定");
    auto* second = new AlertView("二", "", nullptr, "确定");
    first->show();
    second->show();
    EXPECT_EQ(AlertCenter::visibleAlerts(), QList<AlertView*>({first, second}));
    ASSERT_TRUE(first->boxView() && second->boxView());
    EXPECT_TRUE(first->boxView()->superview()->isHidden());
    EXPECT_FALSE(second->boxView()->superview()->isHidden());
    EXPECT_FALSE(window.alertLayer()->isHidden());

    // A real touch on the newest alert's button.
    auto* button = second->boxView()->findChild<Button*>();
    ASSERT_NE(button, nullptr);
    button->sendActionsForControlEvents(Control::TouchUpInside);
    EXPECT_EQ(AlertCenter::topAlert(), first);
    EXPECT_FALSE(first->boxView()->superview()->isHidden());
    AlertCenter::press("确定");
    flush();
    // Nothing left over the window to catch touches.
    EXPECT_TRUE(window.alertLayer()->isHidden());
}

TEST_F(Alerts, TextInputEnablesTheFirstOtherButtonAsTheDelegateSays) {
    Window window;
    window.makeKeyAndVisible();
    Recorder rec;
    rec.requiredLength = 11;
    auto* alert = new AlertView("短信分享", "推荐", &rec, "取消", {"分享"});
    alert->setTag(1001);
    alert->setAlertViewStyle(AlertView::Style::PlainTextInput);
    TextField* field = alert->textFieldAtIndex(0);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(alert->textFieldAtIndex(1), nullptr);
    alert->show();
    EXPECT_FALSE(alert->isButtonEnabled(1));
    EXPECT_FALSE(AlertCenter::press("分享"));
    ASSERT_TRUE(field->becomeFirstResponder());
    QTest::keyClicks(field->lineEdit(), "1380000000");
    EXPECT_FALSE(alert->isButtonEnabled(1));
    QTest::keyClicks(field->lineEdit(), "0");
    EXPECT_TRUE(alert->isButtonEnabled(1));
    auto buttons = alert->boxView()->findChildren<Button*>();
    auto share = std::find_if(buttons.begin(), buttons.end(),
                              [](Button* b) { return b->currentTitle() == "分享"; });
    ASSERT_NE(share, buttons.end());
    EXPECT_TRUE((*share)->isEnabled());
    EXPECT_TRUE(AlertCenter::press("分享"));
    EXPECT_EQ(rec.calls.first(), "clicked:1001:1");
    EXPECT_FALSE(field->isFirstResponder()); // the keyboard goes with the alert
}

TEST_F(Alerts, DismissAllClearsWithoutPresses) {
    Recorder rec;
    (new AlertView("a", "", &rec, "取消"))->show();
    (new ActionSheet("b", &rec, "取消", {}, {"一"}))->show();
    AlertCenter::dismissAll();
    EXPECT_TRUE(AlertCenter::visibleAlerts().isEmpty());
    EXPECT_TRUE(AlertCenter::visibleActionSheets().isEmpty());
    EXPECT_EQ(rec.calls, QStringList({"will:0", "did:0", "sheetDid:1"}));
}

TEST_F(Alerts, PanelsStillUpWhenTheirWindowClosesGoWithIt) {
    auto window = std::make_unique<Window>();
    window->makeKeyAndVisible();
    QPointer<AlertView> alert = new AlertView("a", "", nullptr, "取消");
    alert->show();
    alert->setMessage("rebuilt"); // a new box: the old one going must not take the alert
    flush();
    ASSERT_TRUE(alert);
    QPointer<ActionSheet> sheet = new ActionSheet("b", nullptr, "取消", {}, {"一"});
    sheet->show();
    window.reset(); // the application quits with both up
    EXPECT_FALSE(alert);
    EXPECT_FALSE(sheet);
    EXPECT_TRUE(AlertCenter::visibleAlerts().isEmpty());
    EXPECT_TRUE(AlertCenter::visibleActionSheets().isEmpty());
}

TEST_F(Alerts, ActionSheetNumbersDestructiveOthersThenCancel) {
    Window window;
    window.makeKeyAndVisible();
    Recorder rec;
    QPointer<ActionSheet> sheet =
        new ActionSheet("反馈类型", &rec, "取消", {}, {"业务咨询", "投诉", "建议", "其他"});
    EXPECT_EQ(sheet->cancelButtonIndex(), 4);
    EXPECT_EQ(sheet->destructiveButtonIndex(), -1);
    ActionSheet withDestructive("", nullptr, "取消", "删除", {"一"});
    EXPECT_EQ(withDestructive.destructiveButtonIndex(), 0);
    EXPECT_EQ(withDestructive.buttonTitleAtIndex(1), "一");
    EXPECT_EQ(withDestructive.cancelButtonIndex(), 2);

    int chosen = -1;
    sheet->setCallback([&](ActionSheet*, int i) { chosen = i; });
    sheet->showInView(window.rootView());
    ASSERT_NE(sheet->sheetView(), nullptr);
    EXPECT_LE(sheet->sheetView()->frame().bottom(), 568);
    EXPECT_EQ(AlertCenter::topActionSheet(), sheet.data());
    EXPECT_TRUE(AlertCenter::press("投诉"));
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(rec.calls, QStringList({"sheet:1", "sheetDid:1"}));
    flush();
    EXPECT_FALSE(sheet);
}

} // namespace

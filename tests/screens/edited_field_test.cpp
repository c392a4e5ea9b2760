#include "app/core/ViewController.h"
#include "app/core/ViewControllerToolBar.h"
#include "platform/ui/Button.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TextField.h"
#include "screens/billing/RechargeViewController.h"
#include "screens/entry/LoginViewController.h"
#include "screens/query/FeedbackViewController.h"
#include "tests/support/ScreenHarness.h"
#include "widgets/RRTextView.h"

#include <functional>

namespace {

class EditedFieldTest : public ScreenHarness {
protected:
    // Shows the screen and lets its first requests and loading overlay end.
    template <typename Screen> Screen* open(Screen* screen) {
        show(screen);
        EXPECT_TRUE(waitForRequestsToEnd(screen));
        settle();
        return screen;
    }
    void settle() {
        clock.clock.advance(3000);
        settleEvents();
    }
    // Where a view is drawn in the window.
    static QRectF inWindow(const ui::View* view) {
        return {windowinput::pointInWindow(view, {0, 0}),
                windowinput::pointInWindow(view, view->bounds().bottomRight())};
    }
};

// What is typed is seen: each field being edited lies whole between the navigation bar and the
// "完成" bar over the keyboard, read from where both are drawn once the screen has shifted.
TEST_F(EditedFieldTest, EachEditedFieldSitsWholeAboveTheBar) {
    auto recharge = [this](bool cards) {
        auto* screen = open(new RechargeViewController);
        windowinput::click(cards ? screen->buttonOfRechargeableCard()
                                 : screen->buttonOfOtherMoney());
        settle();
        return screen;
    };
    const struct {
        const char* what;
        std::function<std::pair<ViewController*, ui::View*>()> edited;
        bool bar; // the field shows the "完成" bar
    } rows[] = {
        {"card number",
         [&] {
             auto* s = recharge(true);
             return std::pair{s, s->textFieldOfRechargeableCardNumber()};
         },
         true},
        {"card password",
         [&] {
             auto* s = recharge(true);
             return std::pair{s, s->textFieldOfRechargeableCardPassword()};
         },
         true},
        {"other amount",
         [&] {
             auto* s = recharge(false);
             return std::pair{s, s->textFieldOfMoney()};
         },
         true},
        {"log-in number",
         [&] {
             auto* s = open(new LoginViewController);
             return std::pair{s, s->userName()};
         },
         true},
        {"log-in password",
         [&] {
             auto* s = open(new LoginViewController);
             return std::pair{s, s->passWord()};
         },
         true},
        {"feedback text",
         [&] {
             auto* s = open(new FeedbackViewController);
             return std::pair{s, s->RROfTextView()};
         },
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const auto [screen, field] = row.edited();
        windowinput::click(field);
        settleEvents();
        const QRectF drawn = inWindow(field);
        ViewControllerToolBar* bar = screen->keyboardToolBar();
        ASSERT_EQ(bar->superview() != nullptr, row.bar);
        // Without the bar, where it would begin over the keyboard.
        const double barTop = row.bar
                                  ? inWindow(bar).top()
                                  : ui::Keyboard::endFrame(ViewControllerToolBar::kHeight).top();
        EXPECT_LE(drawn.bottom(), barTop);
        EXPECT_GE(drawn.top(), ui::NavigationBar::kHeight);
        if (row.bar) {
            EXPECT_EQ(inWindow(bar).bottom(), 568 - ui::Keyboard::kHeight);
            EXPECT_EQ(ui::Keyboard::frame().top(), barTop);
        }
        screen->hideKeyboard();
    }
}

} // namespace

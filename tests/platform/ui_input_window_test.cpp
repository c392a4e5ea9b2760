#include <QCoreApplication>
#include <QPointer>
#include <gtest/gtest.h>

#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "tests/support/WindowInput.h"

using namespace ui;

// Presses arrive as from the display server: at a point of the window's QWindow, so Qt's own
// hit test picks the widget. Layers the window keeps above the screen must not take them.
namespace {

void flush() {
    QCoreApplication::sendPostedEvents(nullptr, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A screen with one button at (100, 300, 120, 44) counting its taps.
class ButtonScreen : public ViewController {
public:
    int taps = 0;
    QPointer<Button> button;

protected:
    void loadView() override {
        auto* v = new View(QRectF(0, 0, 320, 568));
        v->setBackgroundColor(Qt::white);
        button = new Button(QRectF(100, 300, 120, 44), v);
        button->setTitle("go");
        button->addAction(Control::TouchUpInside, [this] { ++taps; });
        setView(v);
    }
};

struct Shown {
    Window window;
    ButtonScreen* screen = new ButtonScreen;
    Shown() {
        window.setRootViewController(screen);
        window.makeKeyAndVisible();
    }
    ~Shown() {
        AlertCenter::dismissAll();
        flush();
    }
};

const QPointF kButton(160, 322);

TEST(WindowInput, AClickAtAPointReachesTheControlThereWhateverTheWindowHasShownBefore) {
    struct Case {
        const char* what;
        std::function<void(Shown&)> before;
        int taps;
    };
    const Case cases[] = {
        {"a fresh window", [](Shown&) {}, 1},
        {"after a screen was presented and dismissed",
         [](Shown& s) {
             s.screen->presentViewController(new ViewController, false);
             s.screen->dismissViewControllerAnimated(false);
             flush();
         },
         1},
        {"after an alert came and went",
         [](Shown&) {
             auto* alert = new AlertView("t", "m", nullptr, "ok");
             alert->show();
             alert->pressButtonAtIndex(0);
             flush();
         },
         1},
        {"while a screen is presented over it",
         [](Shown& s) { s.screen->presentViewController(new ViewController, false); }, 0},
        {"while an alert is up", [](Shown&) { (new AlertView("t", "m", nullptr, "ok"))->show(); },
         0},
    };
    for (const Case& c : cases) {
        Shown s;
        c.before(s);
        windowinput::click(&s.window, kButton);
        EXPECT_EQ(s.screen->taps, c.taps) << c.what;
    }
}

TEST(WindowInput, AnAlertButtonIsPressedByAClickOnIt) {
    Shown s;
    int pressed = -1;
    auto* alert = new AlertView("提示", "请输入正确的手机号码", nullptr, "关闭", {"重试"});
    alert->setCallback([&](AlertView*, int index) { pressed = index; });
    alert->show();
    ASSERT_TRUE(alert->boxView());
    // Two buttons share the bottom row, cancel on the left.
    const View* box = alert->boxView();
    const QRectF b = box->bounds();
    windowinput::click(&s.window,
                       windowinput::pointInWindow(box, QPointF(b.width() * 0.25, b.height() - 20)));
    EXPECT_EQ(pressed, 0);
    flush();
    EXPECT_TRUE(AlertCenter::visibleAlerts().isEmpty());
    windowinput::click(&s.window, kButton);
    EXPECT_EQ(s.screen->taps, 1);
}

} // namespace

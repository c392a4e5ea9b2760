#include <QCoreApplication>
#include <QPointer>
#include <gtest/gtest.h>

#include "platform/foundation/Clock.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "tests/platform/PlatformHarness.h"
#include "tests/support/WindowInput.h"

using namespace ui;
using platformtest::flush;

// Presses arrive as from the display server: at a point of the window's QWindow, so Qt's own
// hit test picks the widget. Layers the window keeps above the screen must not take them.
namespace {

// A screen whose content a test lays out.
class Canvas : public ViewController {
public:
    std::function<void(View*)> build;

protected:
    void loadView() override {
        auto* v = new View(QRectF(0, 0, 320, 568));
        v->setBackgroundColor(Qt::white);
        setView(v);
        if (build) build(v);
    }
};

struct Rows : TableViewDataSource, TableViewDelegate {
    QList<IndexPath> selected;
    int numberOfSectionsInTableView(TableView*) override { return 1; }
    int tableViewNumberOfRowsInSection(TableView*, int) override { return 30; }
    TableViewCell* tableViewCellForRowAtIndexPath(TableView* t, IndexPath) override {
        TableViewCell* cell = t->dequeueReusableCellWithIdentifier("row");
        return cell ? cell : new TableViewCell(TableViewCell::Style::Default, "row");
    }
    void tableViewDidSelectRowAtIndexPath(TableView*, IndexPath p) override { selected << p; }
};

struct OnScreen {
    Window window;
    Canvas* canvas = new Canvas;
    explicit OnScreen(std::function<void(View*)> build, ViewController* root = nullptr) {
        canvas->build = std::move(build);
        if (root) {
            // The given root stands in for the canvas, which nothing else would own.
            delete canvas;
            canvas = nullptr;
        }
        window.setRootViewController(root ? root : canvas);
        window.makeKeyAndVisible();
        flush();
    }
    ~OnScreen() {
        AlertCenter::dismissAll();
        flush();
    }
};

// A screen with one button at (100, 300, 120, 44) counting its taps.
struct ButtonOnScreen : OnScreen {
    int taps = 0;
    ButtonOnScreen()
        : OnScreen([this](View* root) {
              auto* b = new Button(QRectF(100, 300, 120, 44), root);
              b->setTitle("go");
              b->addAction(Control::TouchUpInside, [this] { ++taps; });
          }) {}
    void clickButton() { windowinput::click(&window, QPointF(160, 322)); }
};

TEST(WindowInput, AClickReachesTheControlThereWhateverCameBefore) {
    struct Case {
        const char* what;
        std::function<void(ViewController*)> before;
        int taps;
    };
    const Case cases[] = {
        {"a fresh window", [](ViewController*) {}, 1},
        {"after a screen was presented and dismissed",
         [](ViewController* screen) {
             screen->presentViewController(new ViewController, false);
             screen->dismissViewControllerAnimated(false);
             flush();
         },
         1},
        {"after an alert came and went",
         [](ViewController*) {
             auto* alert = new AlertView("t", "m", nullptr, "ok");
             alert->show();
             alert->pressButtonAtIndex(0);
             flush();
         },
         1},
        {"while a screen is presented over it",
         [](ViewController* screen) { screen->presentViewController(new ViewController, false); },
         0},
        {"while an alert is up",
         [](ViewController*) { (new AlertView("t", "m", nullptr, "ok"))->show(); }, 0},
    };
    for (const Case& c : cases) {
        ButtonOnScreen s;
        c.before(s.canvas);
        s.clickButton();
        EXPECT_EQ(s.taps, c.taps) << c.what;
    }
}

TEST(WindowInput, AnAlertButtonIsPressedByAClickOnIt) {
    ButtonOnScreen s;
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
    s.clickButton();
    EXPECT_EQ(s.taps, 1);
}

// A server's message of any length: the box stays within the window, a long text scrolls inside
// it by wheel and drag, is cut past a few thousand characters (never inside a surrogate pair),
// and the button takes a click or Escape.
TEST(WindowInput, ALongAlertFitsTheWindowScrollsItsTextAndKeepsItsButton) {
    ns::ScopedManualClock clock;
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
    const struct {
        const char* what;
        QString message;
        bool scrolls;
        QString shownTail; // how the message shown ends
        bool escape = false;
    } cases[] = {
        {"a short message", "请求超时", false, "请求超时"},
        {"1,000 characters", QString("服务器返回信息").repeated(142) + "结果已完毕。", true,
         "结果已完毕。"},
        {"1.8 MB", QString("测试消息。").repeated(120000), true, "测试消息。…"},
        {"cut before a character of two units", QString(3999, 'x') + emoji + "y", true, "xx…",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OnScreen s([](View*) {});
        int pressed = -1;
        auto* alert = new AlertView("提示", c.message, nullptr, "确定");
        alert->setCallback([&](AlertView*, int i) { pressed = i; });
        alert->show();
        ASSERT_TRUE(alert->boxView());
        const View* box = alert->boxView();
        const QRectF inWindow(windowinput::pointInWindow(box, {0, 0}),
                              windowinput::pointInWindow(box, box->bounds().bottomRight()));
        EXPECT_TRUE(QRectF(QPointF(), Window::screenSize()).contains(inWindow))
            << inWindow.top() << " " << inWindow.bottom();

        ScrollView* text = alert->textView();
        const QString shown = text->findChildren<Label*>().last()->text();
        EXPECT_TRUE(shown.endsWith(c.shownTail)) << shown.right(12).toStdString();
        EXPECT_LE(shown.size(), 4001);
        const QPointF middle = windowinput::pointInWindow(text);
        windowinput::wheel(&s.window, middle, -120);
        const double wheeled = text->contentOffset().y();
        windowinput::drag(&s.window, middle, middle - QPointF(0, 100));
        clock.clock.advance(2000);
        EXPECT_EQ(wheeled > 0, c.scrolls);
        EXPECT_EQ(text->contentOffset().y() > wheeled, c.scrolls);

        if (c.escape) {
            windowinput::key(Qt::Key_Escape);
        } else {
            auto* button = box->findChild<Button*>(QString(), Qt::FindDirectChildrenOnly);
            ASSERT_TRUE(button);
            windowinput::click(button);
        }
        EXPECT_EQ(pressed, 0);
        flush();
        EXPECT_TRUE(AlertCenter::visibleAlerts().isEmpty());
    }
}

TEST(WindowInput, EachControlAnswersAClickAtItsPlace) {
    struct Case {
        const char* what;
        QPointF at;
        // Lays out the control in root; returns how to tell it acted.
        std::function<std::function<bool()>(View* root)> make;
    };
    const Case cases[] = {
        {"a switch flips",
         {45, 115},
         [](View* root) {
             auto* sw = new Switch(QRectF(20, 100, 51, 31), root);
             return [sw] { return sw->isOn(); };
         }},
        {"a check box (a selectable button) ticks",
         {30, 150},
         [](View* root) {
             auto* box = new Button(QRectF(20, 140, 120, 28), root);
             box->addAction(Control::TouchUpInside,
                            [box] { box->setSelected(!box->isSelected()); });
             return [box] { return box->isSelected(); };
         }},
        {"a page control steps",
         {300, 218},
         [](View* root) {
             auto* pages = new PageControl(QRectF(0, 200, 320, 37), root);
             pages->setNumberOfPages(3);
             return [pages] { return pages->currentPage() == 1; };
         }},
        {"a table row is selected",
         {100, 250 + 44 * 2 + 20},
         [](View* root) {
             static Rows rows;
             rows.selected.clear();
             auto* table = new TableView(QRectF(0, 250, 320, 300), TableView::Style::Plain, root);
             table->setDataSource(&rows);
             table->setDelegate(&rows);
             table->reloadData();
             return [] { return rows.selected == QList<IndexPath>{IndexPath{0, 2}}; };
         }},
        {"a control inside a view with a tap recogniser keeps its tap",
         {160, 342},
         [](View* root) {
             auto* panel = new View(QRectF(0, 300, 320, 100), root);
             auto* tap = new TapGestureRecognizer(panel);
             auto taps = std::make_shared<QString>();
             tap->addTarget(nullptr, [taps](GestureRecognizer*) { *taps += "panel"; });
             panel->addGestureRecognizer(tap);
             auto* b = new Button(QRectF(100, 20, 120, 44), panel);
             b->addAction(Control::TouchUpInside, [taps] { *taps += "button"; });
             return [taps] { return *taps == "button"; };
         }},
        {"a tap recogniser on a plain view fires",
         {20, 320},
         [](View* root) {
             auto* panel = new View(QRectF(0, 300, 320, 100), root);
             auto* tap = new TapGestureRecognizer(panel);
             auto taps = std::make_shared<int>(0);
             tap->addTarget(nullptr, [taps](GestureRecognizer*) { ++*taps; });
             panel->addGestureRecognizer(tap);
             // A label lets the press through to the view under it.
             new Label(QRectF(0, 0, 320, 100), panel);
             return [taps] { return *taps == 1; };
         }},
        {"a text field takes the focus",
         {100, 50},
         [](View* root) {
             auto* field = new TextField(QRectF(20, 30, 280, 44), root);
             return [field] { return field->isFirstResponder(); };
         }},
        {"a text view takes the focus",
         {100, 60},
         [](View* root) {
             auto* text = new TextView(QRectF(20, 30, 280, 100), root);
             return [text] { return text->isFirstResponder(); };
         }},
    };
    for (const Case& c : cases) {
        std::function<bool()> acted;
        OnScreen s([&](View* root) { acted = c.make(root); });
        ASSERT_FALSE(acted()) << c.what;
        windowinput::click(&s.window, c.at);
        EXPECT_TRUE(acted()) << c.what;
    }
}

TEST(WindowInput, BarButtonsAndTabItemsAnswerClicks) {
    int barTaps = 0;
    auto* first = new Canvas;
    first->navigationItem()->setRightBarButtonItem(
        new BarButtonItem("编辑", BarButtonItem::Style::Plain, [&] { ++barTaps; }));
    auto* nav = new NavigationController(first);
    auto* tabs = new TabBarController;
    tabs->setViewControllers({nav, new Canvas, new Canvas, new Canvas});
    OnScreen s({}, tabs);
    View* barButton = nav->navigationBar()->rightButtonView();
    ASSERT_TRUE(barButton);
    windowinput::click(barButton);
    EXPECT_EQ(barTaps, 1);
    for (int tab : {2, 1, 3, 0}) {
        windowinput::click(&s.window, QPointF(tab * 80 + 40, 568 - 20));
        EXPECT_EQ(tabs->selectedIndex(), tab);
    }
}

TEST(WindowInput, TypingReachesTheFieldBeingEditedAndKeysActAsOnThePhone) {
    struct ReturnCounter : TextFieldDelegate {
        int returns = 0;
        bool textFieldShouldReturn(TextField*) override {
            ++returns;
            return true;
        }
    } delegate;
    TextField *number = nullptr, *password = nullptr;
    TextView* note = nullptr;
    OnScreen s([&](View* root) {
        number = new TextField(QRectF(20, 30, 280, 44), root);
        password = new TextField(QRectF(20, 84, 280, 44), root);
        password->setSecureTextEntry(true);
        note = new TextView(QRectF(20, 140, 280, 100), root);
    });
    number->setDelegate(&delegate);
    windowinput::click(number);
    windowinput::type("138");
    windowinput::commit(QStringLiteral("中文")); // the input method's commit
    EXPECT_EQ(number->text(), QStringLiteral("138中文"));
    windowinput::key(Qt::Key_Return);
    EXPECT_EQ(delegate.returns, 1);
    windowinput::key(Qt::Key_Enter); // the keypad's
    EXPECT_EQ(delegate.returns, 2);

    windowinput::key(Qt::Key_Tab);
    EXPECT_TRUE(password->isFirstResponder());
    windowinput::type("123456");
    EXPECT_EQ(password->text(), "123456");
    EXPECT_EQ(number->text(), QStringLiteral("138中文"));

    windowinput::click(note);
    windowinput::preedit(QStringLiteral("ni"));
    windowinput::commit(QStringLiteral("你好"));
    windowinput::type("!");
    EXPECT_EQ(note->text(), QStringLiteral("你好!"));
    EXPECT_FALSE(password->isFirstResponder());
}

TEST(WindowInput, EscapeIsTheCancelButtonOfWhatIsOnTop) {
    using Pressed = std::shared_ptr<int>; // the button index or result given, -1 for none
    struct Case {
        const char* what;
        std::function<void(ViewController* screen, Pressed)> show;
        int pressed;
    };
    const Case cases[] = {
        {"an alert presses its cancel button",
         [](ViewController*, Pressed p) {
             auto* a = new AlertView("t", "m", nullptr, "取消", {"确定"});
             a->setCallback([p](AlertView*, int i) { *p = i; });
             a->show();
         },
         0},
        {"an alert without a cancel button stays",
         [](ViewController*, Pressed p) {
             auto* a = new AlertView("t", "m", nullptr, QString(), {"确定"});
             a->setCallback([p](AlertView*, int i) { *p = i; });
             a->show();
         },
         -1},
        {"a sheet presses its cancel button",
         [](ViewController*, Pressed p) {
             auto* sheet = new ActionSheet("t", nullptr, "取消", QString(), {"拍照", "相册"});
             sheet->setCallback([p](ActionSheet*, int i) { *p = i; });
             sheet->show();
         },
         2},
        {"the composer cancels",
         [](ViewController* screen, Pressed p) {
             auto* composer = new MessageComposeViewController;
             composer->setCompletion([p](MessageComposeResult r) { *p = int(r); });
             screen->presentViewController(composer, false);
         },
         int(MessageComposeResult::Cancelled)},
    };
    for (const Case& c : cases) {
        OnScreen s([](View*) {});
        auto pressed = std::make_shared<int>(-1);
        c.show(s.canvas, pressed);
        windowinput::key(Qt::Key_Escape);
        flush();
        EXPECT_EQ(*pressed, c.pressed) << c.what;
        if (c.pressed < 0) {
            EXPECT_EQ(AlertCenter::visibleAlerts().size(), 1) << c.what;
        }
    }
    // With nothing on top, Escape goes on to the field being edited.
    TextField* field = nullptr;
    OnScreen s([&](View* root) { field = new TextField(QRectF(20, 30, 280, 44), root); });
    windowinput::click(field);
    EXPECT_FALSE(s.window.cancelTopmost());
    windowinput::key(Qt::Key_Escape);
    EXPECT_TRUE(field->isFirstResponder());
}

TEST(WindowInput, WheelAndDragsScrollScrollViews) {
    ns::ScopedManualClock clock;
    ScrollView *list = nullptr, *pages = nullptr;
    OnScreen s([&](View* root) {
        list = new ScrollView(QRectF(0, 0, 320, 280), root);
        list->setContentSize(QSizeF(320, 2000));
        pages = new ScrollView(QRectF(0, 300, 320, 200), root);
        pages->setPagingEnabled(true);
        pages->setContentSize(QSizeF(960, 200));
    });
    struct Case {
        const char* what;
        QPointF at;
        int notch, pixels = 0, times = 1;
        QPointF dragTo = {};    // a drag instead of the wheel, where given
        QPointF offset = {};    // of the list above, or of the paging view below y 300
        bool orFurther = false; // a drag lets the view glide on
    };
    const Case cases[] = {
        {"a notch down scrolls the list down", {160, 100}, -120, 0, 1, {}, {0, 40}},
        {"a touchpad scrolls by its pixels", {160, 100}, 0, -25, 1, {}, {0, 65}},
        {"a notch up scrolls back, never above the top", {160, 100}, 360, 0, 1, {}, {0, 0}},
        {"a drag moves the list with the pointer", {160, 250}, 0, 0, 1, {160, 150}, {0, 100}, true},
        {"a notch on a paging view turns one page", {160, 400}, -120, 0, 1, {}, {320, 0}},
        {"small touchpad steps add up to one page", {160, 400}, 0, -12, 4, {}, {640, 0}},
        {"the last page stays", {160, 400}, -120, 0, 1, {}, {640, 0}},
        {"a swipe turns back one page", {60, 400}, 0, 0, 1, {260, 400}, {320, 0}},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < c.times; ++i) {
            if (c.dragTo.isNull())
                windowinput::wheel(&s.window, c.at, c.notch, c.pixels);
            else
                // The list is dragged slowly, the pages swiped.
                windowinput::drag(&s.window, c.at, c.dragTo, c.orFurther ? 10 : 8,
                                  c.orFurther ? 50 : 16);
        }
        clock.clock.advance(2000); // any glide settles
        const QPointF at = (c.at.y() < 300 ? list : pages)->contentOffset();
        if (c.orFurther)
            EXPECT_TRUE(at.x() == c.offset.x() && at.y() >= c.offset.y()) << c.what;
        else
            EXPECT_EQ(at, c.offset) << c.what;
    }
}

// A list resting at its end that gets shorter (or a view that gets taller) comes back to its
// new end at once, and the wheel and drags move it again.
TEST(WindowInput, AListThatShrinksUnderItsOffsetComesBackAndScrollsAgain) {
    ns::ScopedManualClock clock;
    struct Case {
        const char* what;
        double contentBefore, heightBefore; // the list starts at its end
        double contentAfter, heightAfter;
        double offsetAfter; // right after the change
        int notch;          // then one wheel notch (negative scrolls the content up)
        double offsetAfterWheel;
    };
    const Case cases[] = {
        {"shorter content", 2000, 280, 600, 280, 320, 120, 280},
        {"a taller view", 600, 280, 600, 500, 100, 120, 60},
        {"a shorter view keeps its place", 600, 280, 600, 200, 320, -120, 360},
        {"longer content keeps its place", 600, 280, 2000, 280, 320, -120, 360},
        {"content that fits rests at the top", 2000, 280, 100, 280, 0, 120, 0},
        {"content that fits, wheel down", 2000, 280, 100, 280, 0, -120, 0},
    };
    for (const Case& c : cases) {
        ScrollView* list = nullptr;
        OnScreen s([&](View* root) { list = new ScrollView(QRectF(0, 0, 320, 280), root); });
        list->setContentSize(QSizeF(320, c.contentBefore));
        list->setFrame(QRectF(0, 0, 320, c.heightBefore));
        list->setContentOffset(list->maximumContentOffset());
        list->setContentSize(QSizeF(320, c.contentAfter));
        list->setFrame(QRectF(0, 0, 320, c.heightAfter));
        EXPECT_EQ(list->contentOffset(), QPointF(0, c.offsetAfter)) << c.what;
        windowinput::wheel(&s.window, {160, 100}, c.notch);
        EXPECT_EQ(list->contentOffset(), QPointF(0, c.offsetAfterWheel)) << c.what;
        // A drag down shows the top again and the list rests inside its range.
        windowinput::drag(&s.window, {160, 20}, {160, 260}, 10, 50);
        clock.clock.advance(2000);
        EXPECT_EQ(list->contentOffset(), QPointF(0, 0)) << c.what;
    }
}

// A table reloaded with fewer rows while scrolled down shows its rows instead of empty space,
// also when the content shrinks under a glide that is still running.
TEST(WindowInput, ATableReloadedWithFewerRowsShowsThem) {
    ns::ScopedManualClock clock;
    Animation::setEnabled(true);
    struct FewRows : Rows {
        int count = 30;
        int tableViewNumberOfRowsInSection(TableView*, int) override { return count; }
    };
    struct Case {
        const char* what;
        bool gliding; // the reload comes while a flick still glides
    };
    for (const Case c : {Case{"at rest", false}, Case{"while gliding", true}}) {
        FewRows rows;
        TableView* table = nullptr;
        OnScreen s([&](View* root) {
            table = new TableView(QRectF(0, 0, 320, 300), TableView::Style::Plain, root);
            table->setDataSource(&rows);
            table->setDelegate(&rows);
        });
        table->setContentOffset(table->maximumContentOffset());
        if (c.gliding) {
            windowinput::drag(&s.window, {160, 250}, {160, 50}, 4, 16);
            clock.clock.advance(50);
            ASSERT_TRUE(table->isDecelerating()) << c.what;
        }
        rows.count = 3;
        table->reloadData();
        clock.clock.advance(2000);
        EXPECT_EQ(table->contentOffset(), QPointF(0, 0)) << c.what;
        EXPECT_EQ(table->visibleCells().size(), 3) << c.what;
        for (TableViewCell* cell : table->visibleCells())
            EXPECT_FALSE(cell->isHidden()) << c.what;
        // More rows again: the wheel scrolls.
        rows.count = 30;
        table->reloadData();
        windowinput::wheel(&s.window, {160, 100}, -120);
        clock.clock.advance(500);
        EXPECT_EQ(table->contentOffset(), QPointF(0, 40)) << c.what;
    }
    Animation::setEnabled(false);
}

// The indicator is drawn in its style's colour while the content moves.
TEST(WindowInput, ScrollIndicatorsDrawInTheirStylesColour) {
    ns::ScopedManualClock clock;
    struct Case {
        const char* what;
        ScrollView::IndicatorStyle style;
        int minLightness, maxLightness; // of the indicator over a mid-grey list
    };
    const Case cases[] = {
        {"default", ScrollView::IndicatorStyle::Default, 75, 95},
        {"black", ScrollView::IndicatorStyle::Black, 50, 74},
        {"white", ScrollView::IndicatorStyle::White, 180, 205},
    };
    for (const Case& c : cases) {
        ScrollView* list = nullptr;
        OnScreen s([&](View* root) {
            list = new ScrollView(QRectF(0, 0, 320, 280), root);
            list->setBackgroundColor(QColor(128, 128, 128));
        });
        list->setContentSize(QSizeF(320, 2000));
        list->setIndicatorStyle(c.style);
        EXPECT_EQ(list->indicatorStyle(), c.style);
        // Held mid-drag, the indicator shows at the right edge, near the top.
        windowinput::press(&s.window, {160, 200});
        windowinput::move(&s.window, {160, 150});
        windowinput::move(&s.window, {160, 100});
        ASSERT_TRUE(list->isDragging()) << c.what;
        const QImage shot = s.window.renderToImage();
        const QColor grey(128, 128, 128);
        int lightness = -1;
        for (int y = 0; y < 280 && lightness < 0; ++y)
            if (shot.pixelColor(316, y) != grey) lightness = shot.pixelColor(316, y).lightness();
        EXPECT_GE(lightness, c.minLightness) << c.what;
        EXPECT_LE(lightness, c.maxLightness) << c.what;
        EXPECT_EQ(shot.pixelColor(300, 10), grey) << c.what; // nothing else is drawn
        windowinput::release(&s.window, {160, 100});
        clock.clock.advance(2000);
    }
}

TEST(WindowInput, APanFollowsARealDragAndADragOffAButtonIsNoTap) {
    ns::ScopedManualClock clock;
    Button* button = nullptr;
    View* surface = nullptr;
    PanGestureRecognizer pan;
    OnScreen s([&](View* root) {
        surface = new View(QRectF(0, 0, 320, 568), root);
        button = new Button(QRectF(100, 100, 120, 44), surface);
    });
    surface->addGestureRecognizer(&pan);
    int taps = 0;
    button->addAction(Control::TouchUpInside, [&] { ++taps; });
    QList<GestureRecognizer::State> states;
    QPointF translation, velocity;
    pan.addTarget(nullptr, [&](GestureRecognizer*) {
        states << pan.state();
        translation = pan.translationInView(surface);
        velocity = pan.velocityInView(surface);
    });
    // Started on the button: the pan takes the touch from it.
    windowinput::drag(&s.window, {160, 122}, {260, 122}, 10, 16);
    EXPECT_EQ(taps, 0);
    ASSERT_FALSE(states.isEmpty());
    EXPECT_EQ(states.first(), GestureRecognizer::State::Began);
    EXPECT_EQ(states.last(), GestureRecognizer::State::Ended);
    EXPECT_EQ(translation, QPointF(100, 0));
    EXPECT_NEAR(velocity.x(), 10 / 0.016, 1); // the events' pace on the clock
    windowinput::click(button);
    EXPECT_EQ(taps, 1);
}

// What a click starts shows on the next pass of the event loop, already a frame along (the
// click-to-screen benchmark measures it on a real display), never in the middle of the call.
TEST(WindowInput, AnAnimationShowsItsFirstFrameAsSoonAsTheLoopIsFree) {
    ns::ScopedManualClock clock;
    Animation::setEnabled(true);
    View view(QRectF(0, 0, 10, 10));
    struct Case {
        const char* what;
        double delay;
        double afterFirstPass; // alpha once the loop ran, before any time passed
    };
    const Case cases[] = {
        {"starting now: the first frame at once", 0, 1 - 16.0 / 200},
        {"starting later: nothing before its time", 0.1, 1},
    };
    for (const Case& c : cases) {
        view.setAlpha(1);
        Animation::run(
            &view, "fade", 0.2, Animation::Curve::Linear, [&](double t) { view.setAlpha(1 - t); },
            {}, c.delay);
        EXPECT_EQ(view.alpha(), 1) << c.what; // never inside the call
        clock.clock.advance(0);
        EXPECT_NEAR(view.alpha(), c.afterFirstPass, 1e-9) << c.what;
        clock.clock.advance(1000);
        EXPECT_EQ(view.alpha(), 0) << c.what;
    }
    Animation::setEnabled(false);
}

} // namespace

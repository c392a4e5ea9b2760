#include "app/core/ViewController.h"
#include "app/core/ViewControllerToolBar.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextField.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

class Screen : public ViewController {
public:
    explicit Screen(bool scrolling) : m_scrolling(scrolling) {}

protected:
    void loadView() override {
        if (m_scrolling)
            setView(new ui::ScrollView(QRectF(0, 0, 320, 568)));
        else
            ViewController::loadView();
    }

private:
    bool m_scrolling;
};

QVariantMap keyboardInfo() {
    QVariantMap info = ui::Keyboard::userInfo();
    info[ui::Keyboard::AnimationCurveUserInfoKey] = 7u;
    return info;
}

} // namespace

TEST(BaseScreenKeyboard, AnimationOptionsFollowTheCurve) {
    const std::pair<unsigned, unsigned> cases[] = {
        {0, 0x4}, {1, 0x10004}, {2, 0x20004}, {3, 0x30004}, {4, 0x4}, {7, 0x4}, {1000, 0x4},
    };
    for (const auto& [curve, options] : cases)
        EXPECT_EQ(ViewController::animationOptionsForCurve(curve), options) << curve;
}

TEST(BaseScreenKeyboard, FieldStaysAboveTheKeyboard) {
    struct Case {
        const char* name;
        bool scrolling;
        double fieldY; // in a container at y 100; the field is 30 high
        double offset;
    };
    // Visible height 568, keyboard 216: a field's bottom may reach 352.
    const Case cases[] = {
        {"field well above the keyboard", true, 100, 0},
        {"field ending at the keyboard's edge", true, 222, 0},
        {"field 40 points too low", true, 262, 40},
        {"screen that does not scroll", false, 262, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Screen screen(c.scrolling);
        screen.loadViewIfNeeded();
        auto* container = new ui::View(QRectF(0, 100, 320, 400));
        screen.view()->addSubview(container);
        auto* field = new ui::TextField(QRectF(20, c.fieldY, 280, 30));
        container->addSubview(field);
        EXPECT_TRUE(screen.textFieldShouldBeginEditingBase(field));
        EXPECT_EQ(screen.firstResponderView(), field);

        screen.adjustTextViewByKeyboardState(true, keyboardInfo());
        auto* scroll = qobject_cast<ui::ScrollView*>(screen.view());
        if (scroll) {
            EXPECT_EQ(scroll->contentOffset(), QPointF(0, c.offset));
        }
        EXPECT_EQ(screen.view()->frame().topLeft(), QPointF(0, 0));

        screen.adjustTextViewByKeyboardState(false, keyboardInfo());
        if (scroll) {
            EXPECT_EQ(scroll->contentOffset(), QPointF(0, 0));
        }
    }
}

// A scrolling screen on display with a field at y 400 being edited.
struct EditingScreen {
    EditingScreen() {
        screen.loadViewIfNeeded();
        screen.beginAppearanceTransition(true, false);
        screen.endAppearanceTransition();
        screen.view()->addSubview(field);
        screen.textFieldShouldBeginEditingBase(field);
    }
    Screen screen{true};
    ui::TextField* field = new ui::TextField(QRectF(20, 400, 280, 30));
};

TEST(BaseScreenKeyboard, FocusPostsTheKeyboardAndTheBarComesWithIt) {
    EditingScreen s;
    EXPECT_EQ(s.field->inputAccessoryView(), s.screen.keyboardToolBar());
    ASSERT_EQ(s.screen.keyboardToolBar()->items().size(), 2);
    EXPECT_EQ(s.screen.keyboardToolBar()->doneItem()->title(), QStringLiteral("完成"));

    // The field's foot clears the bar on top of the keyboard, not only the keyboard.
    s.field->becomeFirstResponder();
    auto* scroll = qobject_cast<ui::ScrollView*>(s.screen.view());
    EXPECT_EQ(scroll->contentOffset(), QPointF(0, 400 + 30 + 44 + 216 - 568));

    // Once the screen has gone, the keyboard moves it no more.
    s.screen.beginAppearanceTransition(false, false);
    s.screen.endAppearanceTransition();
    s.field->resignFirstResponder();
    EXPECT_EQ(scroll->contentOffset(), QPointF(0, 400 + 30 + 44 + 216 - 568));
}

TEST(BaseScreenKeyboard, DoneAndTouchEndEditing) {
    EditingScreen s;
    s.field->becomeFirstResponder();
    ASSERT_TRUE(s.field->isEditing());
    s.screen.keyboardToolBar()->doneItem()->trigger();
    EXPECT_FALSE(s.field->isEditing());

    s.field->becomeFirstResponder();
    ASSERT_TRUE(s.field->isEditing());
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(s.screen.view(), &release);
    EXPECT_FALSE(s.field->isEditing());
}

TEST(BaseScreenKeyboard, ContentHeightFollowsTheTabBar) {
    for (const auto& [hidesBar, height] : {std::pair{true, 504.0}, std::pair{false, 455.0}}) {
        Screen screen(true);
        screen.setHidesBottomBarWhenPushed(hidesBar);
        screen.loadViewIfNeeded();
        EXPECT_EQ(qobject_cast<ui::ScrollView*>(screen.view())->contentSize(), QSizeF(320, height));
    }
}

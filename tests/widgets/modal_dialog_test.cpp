#include "platform/foundation/Clock.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "tests/support/AnimationFrames.h"
#include "widgets/InterfaceOrientation.h"
#include "widgets/ModalDialogBox.h"
#include "widgets/ModalDialogView.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

namespace {

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QList<ui::Button*> buttonsOf(ModalDialogView& dialog) {
    return dialog.dialogView()->findChildren<ui::Button*>();
}

struct Recorder : QObject, ModalDialogViewDelegate {
    void modalDialogButtonTouchUpInside(ModalDialogView* dialog, int index) override {
        calls.append({dialog, index});
    }
    QList<std::pair<ModalDialogView*, int>> calls;
};

TEST(ModalDialogView, WithoutContentShowsAnEmptyDimmedBox) {
    ModalDialogView dialog;
    dialog.show();
    ASSERT_TRUE(dialog.dialogView());
    EXPECT_EQ(dialog.dialogView()->frame(), QRectF(10, 209, 300, 150));
    EXPECT_TRUE(buttonsOf(dialog).isEmpty());
    EXPECT_NEAR(dialog.backgroundColor().alphaF(), 0.4, 1e-6);
    EXPECT_DOUBLE_EQ(dialog.dialogView()->alpha(), 1.0);
    EXPECT_DOUBLE_EQ(dialog.dialogView()->scale(), 1.0);
    // The box moves up for the keyboard and back down after it.
    auto& center = ns::NotificationCenter::defaultCenter();
    center.postNotificationName("UIKeyboardWillShowNotification", nullptr,
                                {{"UIKeyboardFrameEndUserInfoKey", QRectF(0, 352, 320, 216)}});
    EXPECT_EQ(dialog.dialogView()->frame(), QRectF(10, (568 - 216 - 150) / 2.0, 300, 150));
    center.postNotificationName("UIKeyboardWillHideNotification");
    EXPECT_EQ(dialog.dialogView()->frame(), QRectF(10, 209, 300, 150));
}

TEST(ModalDialogView, ContentAndAButtonRow) {
    ModalDialogView dialog;
    auto* content = new ui::View(QRectF(0, 0, 280, 200));
    dialog.setContainerView(content);
    dialog.setButtonTitles({"取消", "确定", "更多"});
    dialog.show();
    ModalDialogBox* box = dialog.dialogView();
    EXPECT_EQ(box->frame(), QRectF(20, (568 - 251) / 2.0, 280, 251));
    EXPECT_EQ(content->superview(), box);
    const auto buttons = buttonsOf(dialog);
    ASSERT_EQ(buttons.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(buttons[i]->View::tag(), i);
        EXPECT_EQ(buttons[i]->frame().top(), 201); // below the content and the separator
    }
    EXPECT_EQ(buttons[1]->currentTitle(), QStringLiteral("确定"));
    // One divider at the middle of the box even with three buttons, plus the separator.
    QList<QRectF> lines;
    for (ui::View* v : box->subviews())
        if (!qobject_cast<ui::Button*>(v) && v != content) lines.append(v->frame());
    EXPECT_TRUE(lines.contains(QRectF(140, 201, 1, 50)));
    EXPECT_TRUE(lines.contains(QRectF(0, 200, 280, 1)));
}

TEST(ModalDialogView, TheDefaultDelegateClosesAndTheHandlerStillRuns) {
    QPointer<ModalDialogView> dialog = new ModalDialogView;
    dialog->setButtonTitles({"好"});
    QList<int> handled;
    dialog->setOnButtonTouchUpInside([&](ModalDialogView*, int i) { handled.append(i); });
    dialog->show();
    buttonsOf(*dialog).at(0)->sendActionsForControlEvents(ui::Control::TouchUpInside);
    EXPECT_EQ(handled, QList<int>{0});
    EXPECT_TRUE(dialog->isClosing());
    flushDeletes();
    EXPECT_TRUE(dialog.isNull());
}

TEST(ModalDialogView, ADelegateHearsTheTagBeforeTheHandler) {
    Recorder recorder;
    QPointer<ModalDialogView> dialog = new ModalDialogView;
    dialog->setDelegate(&recorder);
    dialog->setButtonTitles({"a", "b"});
    QList<int> order;
    dialog->setOnButtonTouchUpInside([&](ModalDialogView*, int i) {
        order.append(recorder.calls.size());
        order.append(i);
    });
    dialog->show();
    buttonsOf(*dialog).at(1)->sendActionsForControlEvents(ui::Control::TouchUpInside);
    ASSERT_EQ(recorder.calls.size(), 1);
    EXPECT_EQ(recorder.calls[0].first, dialog.data());
    EXPECT_EQ(recorder.calls[0].second, 1);
    EXPECT_EQ(order, (QList<int>{1, 1}));
    EXPECT_FALSE(dialog->isClosing());

    // Without a delegate only the handler runs.
    dialog->setDelegate(nullptr);
    buttonsOf(*dialog).at(0)->sendActionsForControlEvents(ui::Control::TouchUpInside);
    EXPECT_EQ(recorder.calls.size(), 1);
    EXPECT_EQ(order.size(), 4);
    delete dialog;
}

TEST(ModalDialogView, ADelegateThatHasGoneLeavesAnyButtonToClose) {
    auto* recorder = new Recorder;
    QPointer<ModalDialogView> dialog = new ModalDialogView;
    dialog->setDelegate(recorder);
    dialog->setButtonTitles({"a", "b"});
    QList<int> handled;
    dialog->setOnButtonTouchUpInside([&](ModalDialogView*, int i) { handled.append(i); });
    dialog->show();
    delete recorder; // the screen that opened it has gone
    buttonsOf(*dialog).at(1)->sendActionsForControlEvents(ui::Control::TouchUpInside);
    EXPECT_EQ(handled, QList<int>{1});
    EXPECT_TRUE(dialog->isClosing());
    flushDeletes();
    EXPECT_TRUE(dialog.isNull());
}

TEST(ModalDialogView, ClosingTwiceClosesOnce) {
    ui::View parent(QRectF(0, 0, 320, 568));
    QPointer<ModalDialogView> dialog = new ModalDialogView(&parent);
    dialog->show();
    EXPECT_EQ(dialog->superview(), &parent);
    dialog->close();
    dialog->close();
    EXPECT_EQ(dialog->superview(), nullptr);
    flushDeletes();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(parent.subviews().isEmpty());
}

TEST(ModalDialogView, FollowsTheOrientationOnlyOnTheWindow) {
    ui::View parent(QRectF(0, 0, 320, 568));
    ModalDialogView onWindow;
    auto* inParent = new ModalDialogView(&parent);
    onWindow.show();
    inParent->show();
    InterfaceOrientation::setStatusBarOrientation(InterfaceOrientation::LandscapeRight);
    ns::NotificationCenter::defaultCenter().postNotificationName(
        "UIDeviceOrientationDidChangeNotification");
    InterfaceOrientation::setStatusBarOrientation(InterfaceOrientation::Portrait);
    EXPECT_NEAR(onWindow.dialogView()->rotation(), M_PI / 2, 1e-9);
    EXPECT_EQ(inParent->dialogView()->rotation(), 0);
}

// The box comes in from 1.3 times its size and leaves shrinking to 0.6, content and all.
// Each frame's picture is kept in <build>/animations for a person to look at.
TEST(ModalDialogView, TheBoxZoomsInFromLargeAndOutToSmall) {
    ns::ScopedManualClock time;
    ui::Window window;
    window.setRootViewController(new ui::ViewController);
    window.makeKeyAndVisible();
    ui::Animation::setEnabled(true);
    QPointer<ModalDialogView> dialog = new ModalDialogView;
    auto* content = new ui::View(QRectF(0, 0, 200, 100));
    content->setBackgroundColor(QColor(0, 90, 200));
    auto* text = new ui::Label(QRectF(0, 30, 200, 40), content);
    text->setText(QStringLiteral("确认订购 10元 100MB"));
    text->setTextColor(Qt::white);
    text->setTextAlignment(ui::TextAlignment::Center);
    text->setFont(ui::Font::boldSystemFontOfSize(16));
    dialog->setContainerView(content);

    const QString dir = animationFramesDir();
    const struct {
        const char* name;
        qint64 afterMs; // since the previous frame
        double scale;
    } frames[] = {{"in-start", 0, 1.3},  {"in-middle", 85, 1.15}, {"in-end", 200, 1.0},
                  {"out-start", 0, 1.0}, {"out-middle", 85, 0.8}, {"out-end", 200, 0.0}};
    for (const auto& f : frames) {
        SCOPED_TRACE(f.name);
        if (QByteArray(f.name) == "in-start") dialog->show();
        if (QByteArray(f.name) == "out-start") dialog->close();
        if (f.afterMs) time.clock.advance(f.afterMs);
        const QImage picture = window.renderToImage();
        picture.save(dir + "/dialog-" + f.name + ".png");
        const auto [first, last] =
            columnsWhere(picture, 284, [](const QColor& c) { return c.blue() - c.red() > 60; });
        if (f.scale == 0) {
            EXPECT_EQ(first, -1); // gone
            continue;
        }
        ASSERT_TRUE(dialog);
        EXPECT_NEAR(dialog->dialogView()->scale(), f.scale, 0.02);
        // Drawn about the box's centre (160), as wide as the zoom says.
        EXPECT_NEAR(last - first + 1, 200 * f.scale, 4);
        EXPECT_NEAR((first + last + 1) / 2.0, 160, 2);
    }
    ui::Animation::setEnabled(false);
    flushDeletes();
    EXPECT_TRUE(dialog.isNull());
}

} // namespace

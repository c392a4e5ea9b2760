#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace ui;

namespace {

// Records the keyboard notifications in order.
struct KeyboardLog : QObject {
    QStringList names;
    QVariantMap lastInfo;
    KeyboardLog() {
        for (const QString& n : {Keyboard::WillShowNotification, Keyboard::DidShowNotification,
                                 Keyboard::WillHideNotification, Keyboard::DidHideNotification})
            ns::NotificationCenter::defaultCenter().addObserver(
                this, n, nullptr, [this](const ns::Notification& note) {
                    names << note.name;
                    lastInfo = note.userInfo;
                });
    }
    ~KeyboardLog() override { ns::NotificationCenter::defaultCenter().removeObserver(this); }
};

// The log-in screen's rule: at most max characters.
struct LengthLimit : TextFieldDelegate {
    int max;
    bool allowBegin = true;
    QList<std::pair<TextRange, QString>> asked;
    explicit LengthLimit(int m) : max(m) {}
    bool textFieldShouldBeginEditing(TextField*) override { return allowBegin; }
    bool textField(TextField* f, TextRange range, const QString& replacement) override {
        asked.append({range, replacement});
        return f->text().size() - range.length + replacement.size() <= max;
    }
};

void typeText(QWidget* w, const QString& text) {
    // Per character: QTest::keyClicks cannot type beyond Latin-1.
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::KeyAction::Click, w, Qt::Key_unknown, QString(c), {});
}

void commit(QWidget* w, const QString& text) {
    QInputMethodEvent e;
    e.setCommitString(text);
    QCoreApplication::sendEvent(w, &e);
}

struct Screen {
    View root{QRectF(0, 0, 320, 568)};
    TextField* field = new TextField(QRectF(20, 100, 280, 40), &root);
    ~Screen() {
        if (field) field->resignFirstResponder();
    }
};

} // namespace

TEST(UiControlsTextField, FocusPostsTheKeyboardNotifications) {
    Screen s;
    KeyboardLog log;
    View bar(QRectF(0, 0, 320, 44));
    s.field->setInputAccessoryView(&bar);
    Keyboard::notifyWillHide(); // not up: nothing
    EXPECT_TRUE(log.names.isEmpty());

    QTest::mouseClick(s.field->lineEdit(), Qt::LeftButton);
    EXPECT_TRUE(s.field->isFirstResponder());
    EXPECT_EQ(TextField::firstResponder(), s.field);
    EXPECT_EQ(log.names,
              QStringList({"UIKeyboardWillShowNotification", "UIKeyboardDidShowNotification"}));
    // The keyboard's frame takes in the accessory on top of it, as the phone's does.
    EXPECT_EQ(log.lastInfo.value("UIKeyboardFrameEndUserInfoKey").toRectF(),
              QRectF(0, 568 - 216 - 44, 320, 216 + 44));
    EXPECT_EQ(log.lastInfo.value("UIKeyboardAnimationDurationUserInfoKey").toDouble(), 0.25);
    EXPECT_EQ(log.lastInfo.value("UIKeyboardAnimationCurveUserInfoKey").toInt(), 7);
    // The accessory sits on top of the keyboard while editing.
    EXPECT_EQ(bar.superview(), &s.root);
    EXPECT_EQ(bar.frame(), QRectF(0, 568 - 216 - 44, 320, 44));

    // Moving to another field keeps the keyboard up.
    auto* other = new TextField(QRectF(20, 200, 280, 40), &s.root);
    log.names.clear();
    ASSERT_TRUE(other->becomeFirstResponder());
    EXPECT_FALSE(s.field->isFirstResponder());
    EXPECT_EQ(log.names.filter("Hide"), QStringList());
    EXPECT_TRUE(log.names.contains(Keyboard::WillShowNotification));
    EXPECT_EQ(log.lastInfo.value("UIKeyboardFrameEndUserInfoKey").toRectF(),
              QRectF(0, 568 - 216, 320, 216)); // a field without one: the keyboard alone

    log.names.clear();
    EXPECT_TRUE(s.root.endEditing(true));
    EXPECT_FALSE(other->isFirstResponder());
    EXPECT_EQ(log.names,
              QStringList({"UIKeyboardWillHideNotification", "UIKeyboardDidHideNotification"}));
    EXPECT_FALSE(Keyboard::isVisible());
    EXPECT_EQ(bar.superview(), nullptr);
}

TEST(UiControlsTextField, WhatIsTypedIsKeptAsTheFieldAllows) {
    struct Owned : QObject, LengthLimit {
        Owned() : LengthLimit(1) {}
    };
    struct Case {
        const char* what;
        std::function<void(TextField*)> setup;
        QString keys, committed, text;
    };
    const Case cases[] = {
        {"Chinese by keys and by the input method", [](TextField*) {}, "流量", "套餐", "流量套餐"},
        {"the number pad takes only digits",
         [](TextField* f) { f->setKeyboardType(TextField::KeyboardType::NumberPad); }, "1a3-5",
         "六", "135"},
        {"a delegate destroyed meanwhile is not asked",
         [](TextField* f) {
             auto* d = new Owned;
             f->setDelegate(d);
             delete d;
         },
         "123", "", "123"},
    };
    for (const Case& c : cases) {
        Screen s;
        c.setup(s.field);
        ASSERT_TRUE(s.field->becomeFirstResponder()) << c.what;
        typeText(s.field->lineEdit(), c.keys);
        commit(s.field->lineEdit(), c.committed);
        EXPECT_EQ(s.field->text(), c.text) << c.what;
    }
}

TEST(UiControlsTextField, DelegateMayRefuseToBegin) {
    LengthLimit d(11);
    Screen s;
    d.allowBegin = false;
    s.field->setDelegate(&d);
    KeyboardLog log;
    EXPECT_FALSE(s.field->becomeFirstResponder());
    QTest::mouseClick(s.field->lineEdit(), Qt::LeftButton);
    EXPECT_FALSE(s.field->isFirstResponder());
    EXPECT_TRUE(log.names.isEmpty());
    // Typing does not reach a field that is not being edited.
    typeText(s.field->lineEdit(), "12");
    EXPECT_EQ(s.field->text(), "");
}

TEST(UiControlsTextField, EditsAreOfferedToTheDelegateAndRefusalsUndone) {
    LengthLimit d(6); // outlives the field, which reports its end of editing to it
    Screen s;
    s.field->setDelegate(&d);
    s.field->setSecureTextEntry(true);
    ASSERT_TRUE(s.field->becomeFirstResponder());
    typeText(s.field->lineEdit(), "abcdefg");
    EXPECT_EQ(s.field->text(), "abcdef"); // the 7th character is refused
    ASSERT_EQ(d.asked.size(), 7);
    EXPECT_EQ(d.asked[0].first, (TextRange{0, 0}));
    EXPECT_EQ(d.asked[6], std::pair(TextRange{6, 0}, QString("g")));
    // A deletion is offered as an empty replacement of the deleted span.
    QTest::keyClick(s.field->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(d.asked.last(), std::pair(TextRange{5, 1}, QString()));
    EXPECT_EQ(s.field->text(), "abcde");
    // A paste too long is refused whole.
    commit(s.field->lineEdit(), "XYZ");
    EXPECT_EQ(s.field->text(), "abcde");
    EXPECT_EQ(s.field->lineEdit()->cursorPosition(), 5);
}

TEST(UiControlsTextField, DestroyingTheFieldBeingEditedReleasesIt) {
    auto* s = new Screen;
    ASSERT_TRUE(s->field->becomeFirstResponder());
    delete s->field;
    EXPECT_EQ(TextField::firstResponder(), nullptr);
    s->field = nullptr;
    delete s;
}

TEST(UiControlsTextView, EditingPostsItsNotificationsAndEndsWithTheScreen) {
    View root(QRectF(0, 0, 320, 568));
    auto* text = new TextView(QRectF(10, 10, 300, 100), &root);
    auto* field = new TextField(QRectF(10, 200, 300, 40), &root);
    QObject observer;
    QStringList seen;
    for (const QString& n : {QStringLiteral("UITextViewTextDidBeginEditingNotification"),
                             QStringLiteral("UITextViewTextDidEndEditingNotification")})
        ns::NotificationCenter::defaultCenter().addObserver(
            &observer, n, text, [&](const ns::Notification& note) { seen << note.name; });
    QTest::mouseClick(text->editor()->viewport(), Qt::LeftButton);
    EXPECT_TRUE(text->isFirstResponder());
    typeText(text->editor(), "意见");
    EXPECT_EQ(text->text(), "意见");
    // A field taking focus ends the text view's editing.
    ASSERT_TRUE(field->becomeFirstResponder());
    EXPECT_FALSE(text->isFirstResponder());
    ASSERT_TRUE(text->becomeFirstResponder());
    EXPECT_FALSE(field->isFirstResponder());
    root.endEditing(true);
    EXPECT_EQ(TextView::firstResponder(), nullptr);
    EXPECT_EQ(seen, (QStringList{"UITextViewTextDidBeginEditingNotification",
                                 "UITextViewTextDidEndEditingNotification",
                                 "UITextViewTextDidBeginEditingNotification",
                                 "UITextViewTextDidEndEditingNotification"}));
    ns::NotificationCenter::defaultCenter().removeObserver(&observer);
}

#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/AttributedString.h"
#include "platform/ui/Control.h"
#include "platform/ui/TextLayout.h"

#include <QPointer>

class QLineEdit;

namespace ui {

class TextField;

class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    virtual bool textFieldShouldBeginEditing(TextField*) { return true; }
    virtual void textFieldDidBeginEditing(TextField*) {}
    // Whether replacing range of the text by replacement may happen.
    virtual bool textField(TextField*, TextRange, const QString&) { return true; }
    virtual bool textFieldShouldReturn(TextField*) { return true; }
    virtual void textFieldDidEndEditing(TextField*) {}
};

// A one-line text input: a view around a line editor. Taking focus (a click, or
// becomeFirstResponder) makes it the first responder and posts the keyboard
// notifications; its input accessory view then shows above the keyboard's place.
class TextField : public Control {
    Q_OBJECT
public:
    // The platform's numbering.
    enum class KeyboardType {
        Default = 0,
        ASCIICapable = 1,
        NumbersAndPunctuation = 2,
        URL = 3,
        NumberPad = 4,
        PhonePad = 5,
        NamePhonePad = 6,
        EmailAddress = 7,
        DecimalPad = 8,
    };
    enum class ViewMode { Never = 0, WhileEditing = 1, UnlessEditing = 2, Always = 3 };
    enum class BorderStyle { None = 0, Line = 1, Bezel = 2, RoundedRect = 3 };

    explicit TextField(View* parent = nullptr);
    explicit TextField(const QRectF& frame, View* parent = nullptr);
    ~TextField() override;

    QString text() const;
    // Sets the text without asking the delegate (as the platform does).
    void setText(const QString& text);
    QString placeholder() const;
    void setPlaceholder(const QString& placeholder);
    QFont font() const { return m_font; }
    void setFont(const QFont& font);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);
    TextAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(TextAlignment alignment);
    bool isSecureTextEntry() const { return m_secure; }
    void setSecureTextEntry(bool secure);
    KeyboardType keyboardType() const { return m_keyboard; }
    // The number and phone pads accept only what their keys can type.
    void setKeyboardType(KeyboardType type);
    ViewMode clearButtonMode() const { return m_clearMode; }
    void setClearButtonMode(ViewMode mode);
    BorderStyle borderStyle() const { return m_border; }
    void setBorderStyle(BorderStyle style);
    // Not owned by the field: the caller keeps it (it is placed in the field).
    View* leftView() const { return m_leftView; }
    void setLeftView(View* view);
    ViewMode leftViewMode() const { return m_leftMode; }
    void setLeftViewMode(ViewMode mode);
    // Shown above the keyboard while editing, in the window's root view. Not owned.
    View* inputAccessoryView() const { return m_accessory; }
    void setInputAccessoryView(View* view);

    TextFieldDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(TextFieldDelegate* delegate) { m_delegate.reset(delegate); }

    bool isEditing() const { return firstResponder() == this; }
    bool becomeFirstResponder();
    bool resignFirstResponder();
    bool isFirstResponder() const { return isEditing(); }
    // The field being edited, if any.
    static TextField* firstResponder();

    // The line editor inside (tests send key and input-method events to it).
    QLineEdit* lineEdit() const { return m_edit; }

    void layoutSubviews() override;
    void setFrame(const QRectF& frame) override;
    void setEnabled(bool enabled) override;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void textWasEdited(const QString& text);
    void returnPressed();
    void applyStyle();
    void updateModes();
    void showAccessory(bool show);
    QLineEdit* m_edit = nullptr;
    QFont m_font;
    QColor m_textColor = Qt::black;
    TextAlignment m_alignment = TextAlignment::Left;
    bool m_secure = false;
    KeyboardType m_keyboard = KeyboardType::Default;
    ViewMode m_clearMode = ViewMode::Never;
    BorderStyle m_border = BorderStyle::None;
    QPointer<View> m_leftView;
    ViewMode m_leftMode = ViewMode::Never;
    QPointer<View> m_accessory;
    ns::Weak<TextFieldDelegate> m_delegate;
    QString m_accepted; // the text as last accepted by the delegate
    int m_acceptedCursor = 0;
    bool m_reverting = false;
};

} // namespace ui

#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/View.h"

#include <QPointer>

class QPlainTextEdit;

namespace ui {

class TextView;

class TextViewDelegate {
public:
    virtual ~TextViewDelegate() = default;
    virtual void textViewDidBeginEditing(TextView*) {}
    virtual void textViewDidChange(TextView*) {}
    virtual void textViewDidEndEditing(TextView*) {}
};

// A multi-line text input: a view around a plain-text editor. Beginning and ending editing
// post "UITextViewTextDidBeginEditingNotification" and "UITextViewTextDidEndEditingNotification"
// (object: the view) and the keyboard notifications.
class TextView : public View {
    Q_OBJECT
public:
    explicit TextView(View* parent = nullptr);
    explicit TextView(const QRectF& frame, View* parent = nullptr);
    ~TextView() override;

    QString text() const;
    void setText(const QString& text);
    QFont font() const { return m_font; }
    void setFont(const QFont& font);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable);

    TextViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(TextViewDelegate* delegate) { m_delegate.reset(delegate); }

    bool becomeFirstResponder();
    bool resignFirstResponder();
    bool isFirstResponder() const { return firstResponder() == this; }
    static TextView* firstResponder();

    QPlainTextEdit* editor() const { return m_edit; }
    void setFrame(const QRectF& frame) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyStyle();
    QPlainTextEdit* m_edit = nullptr;
    QFont m_font;
    QColor m_textColor = Qt::black;
    bool m_editable = true;
    bool m_settingText = false;
    ns::Weak<TextViewDelegate> m_delegate;
};

} // namespace ui

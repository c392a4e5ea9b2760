#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/Button.h"
#include "platform/ui/View.h"
#include "widgets/ModalDialogViewDelegate.h"

#include <QPointer>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

class ModalDialogBox;

namespace ui {
class Button;
class ViewController;
} // namespace ui

// The application's own modal dialog: a full-screen view that dims what lies under it and
// shows, centred, a rounded grey box holding the caller's content above an optional row of
// buttons. It animates in and out and moves up while the keyboard shows. It carries three
// values for its caller (para, listData, tag). Once closed it deletes itself: keep it in a
// QPointer.
class ModalDialogView : public ui::View, public ModalDialogViewDelegate {
    Q_OBJECT
public:
    using ButtonHandler = std::function<void(ModalDialogView* dialog, int buttonIndex)>;

    ModalDialogView();
    explicit ModalDialogView(View* parentView);
    ~ModalDialogView() override;

    bool useMotionEffects() const { return m_useMotionEffects; }
    void setUseMotionEffects(bool on) { m_useMotionEffects = on; }
    View* parentView() const { return m_parentView; }
    void setParentView(View* view) { m_parentView = view; }
    // The caller's content; the dialog takes it into its box on show.
    View* containerView() const { return m_containerView; }
    void setContainerView(View* view) { m_containerView = view; }
    void setSubView(View* view) { setContainerView(view); }
    ModalDialogBox* dialogView() const { return m_dialogView; }
    View* buttonView() const { return m_buttonView; }
    ButtonHandler onButtonTouchUpInside() const { return m_onButtonTouchUpInside; }
    void setOnButtonTouchUpInside(ButtonHandler handler) {
        m_onButtonTouchUpInside = std::move(handler);
    }
    ModalDialogViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(ModalDialogViewDelegate* delegate) {
        m_delegate.reset(delegate);
        m_delegateGiven = delegate != nullptr;
    }
    QStringList buttonTitles() const { return m_buttonTitles; }
    void setButtonTitles(const QStringList& titles) { m_buttonTitles = titles; }
    QVariantMap para() const { return m_para; }
    void setPara(const QVariantMap& para) { m_para = para; }
    // The caller's own tag, apart from the view tag.
    int tag() const { return m_dialogTag; }
    void setTag(int tag) { m_dialogTag = tag; }
    QVariantList listData() const { return m_listData; }
    void setListData(const QVariantList& list) { m_listData = list; }

    // Builds the box and brings the dialog in, over parentView or the key window.
    void show();
    // Animates the dialog away and removes it; a second call does nothing.
    void close();
    bool isClosing() const { return m_closing; }
    // Closes the dialog as soon as screen begins to leave the window or goes.
    void closeWithScreen(ui::ViewController* screen);

    // The target of every button: the delegate first, then the handler.
    void modalDialogButtonTouchUpInside(ui::Button* sender);
    // The dialog's own delegate answer: close.
    void modalDialogButtonTouchUpInside(ModalDialogView* dialog, int clickedButtonAtIndex) override;

    ModalDialogBox* createContainerView();
    void addButtonsToView(View* box);
    QSizeF countDialogSize() const;
    // Also sets the shared button row heights from the titles.
    QSizeF countScreenSize();
    void applyMotionEffects();

    // Shared by every dialog, set by the last countScreenSize.
    static double buttonHeight();
    static double buttonSpacerHeight();

    // Observed notifications.
    void deviceOrientationDidChange();
    void keyboardWillShow(const QVariantMap& userInfo);
    void keyboardWillHide();

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    void setDimming(double alpha);
    QRectF centredBoxFrame(double keyboardHeight);

    bool m_useMotionEffects = false;
    QPointer<View> m_parentView;
    QPointer<View> m_containerView;
    QPointer<ModalDialogBox> m_dialogView;
    QPointer<View> m_buttonView;
    ButtonHandler m_onButtonTouchUpInside;
    ns::Weak<ModalDialogViewDelegate> m_delegate;
    QStringList m_buttonTitles;
    QVariantMap m_para;
    int m_dialogTag = 0;
    QVariantList m_listData;
    bool m_closing = false;
    bool m_delegateGiven = true; // the dialog itself until told otherwise
};

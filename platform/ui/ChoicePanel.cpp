#include "platform/ui/ChoicePanel.h"

#include "platform/ui/Animation.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

namespace ui {

ChoicePanel::~ChoicePanel() {
    disconnect(m_overlayGone);
    delete m_overlay.data();
}

void ChoicePanel::tieToOverlay() {
    disconnect(m_overlayGone);
    if (!m_overlay) return;
    // Told while the overlay is still being destroyed: it must not be deleted a second time.
    m_overlayGone = connect(m_overlay, &QObject::destroyed, this, [this] {
        m_overlay = nullptr;
        delete this;
    });
}

void ChoicePanel::show() {
    if (m_visible || m_dismissing) return;
    m_visible = true;
    buildViews();
    tieToOverlay();
    list(true);
    if (m_overlay) animateIn();
}

bool ChoicePanel::pressButtonAtIndex(int index) {
    if (!m_visible || m_dismissing || m_pressed || !canPress(index)) return false;
    m_pressed = true; // one press per panel, even from inside its own reports
    QPointer<ChoicePanel> self(this);
    reportClicked(index);
    if (self) dismissWithClickedButtonIndex(index, true);
    return true;
}

void ChoicePanel::dismissWithClickedButtonIndex(int index, bool animated) {
    if (!m_visible || m_dismissing) return;
    m_dismissing = true;
    list(false);
    QPointer<ChoicePanel> self(this);
    reportWillDismiss(index);
    if (!self) return;
    willTearDown();
    if (!animated || !m_overlay) {
        finishDismiss(index);
        return;
    }
    Exit exit = exitAnimation();
    Animation::run(this, exit.key, exit.seconds, Animation::Curve::EaseIn, std::move(exit.step),
                   [self, index](bool) {
                       if (self) self->finishDismiss(index);
                   });
}

void ChoicePanel::finishDismiss(int index) {
    m_visible = false;
    forgetViews();
    disconnect(m_overlayGone); // the panel goes by itself below
    if (m_overlay) {
        m_overlay->removeFromSuperview();
        m_overlay->deleteLater();
    }
    m_overlay = nullptr;
    if (Window* w = Window::keyWindow()) w->updateAlertLayer();
    QPointer<ChoicePanel> self(this);
    reportDidDismiss(index);
    if (self) deleteLater();
}

} // namespace ui

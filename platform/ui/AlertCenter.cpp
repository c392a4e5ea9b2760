#include "platform/ui/AlertCenter.h"

#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <QPointer>

namespace ui {

namespace {

QList<QPointer<AlertView>>& alerts() {
    static QList<QPointer<AlertView>> list;
    return list;
}

QList<QPointer<ActionSheet>>& sheets() {
    static QList<QPointer<ActionSheet>> list;
    return list;
}

template <typename T> QList<T*> live(QList<QPointer<T>>& list) {
    list.removeAll(nullptr);
    QList<T*> out;
    for (const auto& p : list)
        out.append(p.data());
    return out;
}

// Only the newest alert is drawn; older ones wait underneath, hidden.
void restack() {
    const QList<AlertView*> shown = live(alerts());
    for (int i = 0; i < shown.size(); ++i) {
        View* box = shown.at(i)->boxView();
        if (View* overlay = box ? box->superview() : nullptr)
            overlay->setHidden(i != shown.size() - 1);
    }
    if (!shown.isEmpty())
        if (View* box = shown.last()->boxView())
            if (View* overlay = box->superview(); overlay && overlay->superview())
                overlay->superview()->bringSubviewToFront(overlay);
    if (Window* w = Window::keyWindow()) w->updateAlertLayer();
}

} // namespace

QList<AlertView*> AlertCenter::visibleAlerts() {
    return live(alerts());
}

AlertView* AlertCenter::topAlert() {
    const QList<AlertView*> list = visibleAlerts();
    return list.isEmpty() ? nullptr : list.last();
}

QList<ActionSheet*> AlertCenter::visibleActionSheets() {
    return live(sheets());
}

ActionSheet* AlertCenter::topActionSheet() {
    const QList<ActionSheet*> list = visibleActionSheets();
    return list.isEmpty() ? nullptr : list.last();
}

bool AlertCenter::press(const QString& buttonTitle) {
    if (AlertView* alert = topAlert()) {
        for (int i = 0; i < alert->numberOfButtons(); ++i)
            if (alert->buttonTitleAtIndex(i) == buttonTitle) return alert->pressButtonAtIndex(i);
        return false;
    }
    if (ActionSheet* sheet = topActionSheet()) {
        for (int i = 0; i < sheet->numberOfButtons(); ++i)
            if (sheet->buttonTitleAtIndex(i) == buttonTitle) return sheet->pressButtonAtIndex(i);
    }
    return false;
}

bool AlertCenter::press(int buttonIndex) {
    if (AlertView* alert = topAlert()) return alert->pressButtonAtIndex(buttonIndex);
    if (ActionSheet* sheet = topActionSheet()) return sheet->pressButtonAtIndex(buttonIndex);
    return false;
}

void AlertCenter::dismissAll() {
    for (AlertView* a : visibleAlerts())
        a->dismissWithClickedButtonIndex(a->cancelButtonIndex(), false);
    for (ActionSheet* s : visibleActionSheets())
        s->dismissWithClickedButtonIndex(s->cancelButtonIndex(), false);
}

void AlertCenter::add(AlertView* alert) {
    if (!alert || alerts().contains(alert)) return;
    alerts().append(alert);
    restack();
}

void AlertCenter::remove(AlertView* alert) {
    if (!alerts().contains(alert)) return;
    alerts().removeAll(alert);
    restack();
}

void AlertCenter::add(ActionSheet* sheet) {
    if (!sheet || sheets().contains(sheet)) return;
    sheets().append(sheet);
}

void AlertCenter::remove(ActionSheet* sheet) {
    sheets().removeAll(sheet);
}

} // namespace ui

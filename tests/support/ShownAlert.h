#pragma once

// The alert on top as a person reads it, in one string a test compares whole.

#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"

#include <QStringList>

// "title|message|first button,second button"; empty when no alert shows.
inline QString shownAlert() {
    const ui::AlertView* alert = ui::AlertCenter::topAlert();
    if (!alert) return {};
    QStringList buttons;
    for (int i = 0; i < alert->numberOfButtons(); ++i)
        buttons << alert->buttonTitleAtIndex(i);
    return alert->title() + "|" + alert->message() + "|" + buttons.join(",");
}

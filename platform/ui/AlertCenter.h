#pragma once

#include <QList>
#include <QString>

namespace ui {

class ActionSheet;
class AlertView;

// The alerts and action sheets on screen, oldest first, so tests (and the window) can read and
// press them. Only the newest alert is drawn; an older one shows again when it goes.
class AlertCenter {
public:
    AlertCenter() = delete;

    static QList<AlertView*> visibleAlerts();
    static AlertView* topAlert();
    static QList<ActionSheet*> visibleActionSheets();
    static ActionSheet* topActionSheet();

    // Presses a button of the top alert (or, with no alert up, of the top action sheet).
    // Returns whether a button was pressed.
    static bool press(const QString& buttonTitle);
    static bool press(int buttonIndex);
    // Dismisses every alert and sheet without a press.
    static void dismissAll();

    // Bookkeeping for AlertView and ActionSheet.
    static void add(AlertView* alert);
    static void remove(AlertView* alert);
    static void add(ActionSheet* sheet);
    static void remove(ActionSheet* sheet);
};

} // namespace ui

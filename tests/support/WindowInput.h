#pragma once

// Input as a person gives it, through Qt's real delivery: mouse events go to the window's
// QWindow at a point, so Qt hit-tests them exactly as a press from the display server;
// keys go to the widget that has the keyboard focus; Chinese text arrives as the input
// method commits it.
//
//   windowinput::click(window, {160, 300});                 // points in the window
//   windowinput::click(someView);                           // the view's centre, through its
//   window windowinput::drag(window, {10, 200}, {250, 200});       // press, moves, release
//   windowinput::wheel(window, {160, 300}, -120);           // one notch down
//   windowinput::type("13800000001");                       // into the focused widget
//   windowinput::commit("你好");                            // through the input method
//   windowinput::key(Qt::Key_Escape);

#include <QPointF>
#include <QString>
#include <Qt>

class QWidget;
class QWindow;

namespace ui {
class View;
}

namespace windowinput {

// The QWindow of w's top-level widget (shown if it has none yet).
QWindow* windowOf(QWidget* w);
// Where a view's centre (or a point in it) lies in its window, in points.
QPointF pointInWindow(const ui::View* view);
QPointF pointInWindow(const ui::View* view, const QPointF& local);

void press(QWidget* window, const QPointF& at);
void move(QWidget* window, const QPointF& to, bool buttonDown = true);
void release(QWidget* window, const QPointF& at);
void click(QWidget* window, const QPointF& at);
void click(const ui::View* view);
// A drag in `steps` moves of `stepMs` each (gestures read speed from event times).
void drag(QWidget* window, const QPointF& from, const QPointF& to, int steps = 10, int stepMs = 16);
// angleDelta in eighths of a degree (120 = one notch); negative scrolls the content up.
// pixelDelta, when given, is what a touchpad sends.
void wheel(QWidget* window, const QPointF& at, int angleDeltaY, int pixelDeltaY = 0,
           Qt::Orientation orientation = Qt::Vertical);

// Keys to the focus widget of the active window (or of the key window when none is active).
QWidget* focusWidget();
void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void type(const QString& latin);
void commit(const QString& text);
void preedit(const QString& text);

} // namespace windowinput

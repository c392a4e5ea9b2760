#include "tests/support/WindowInput.h"

#include "platform/foundation/Clock.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QEventLoop>
#include <QInputMethodEvent>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace windowinput {

namespace {

QPoint rounded(const QPointF& p) {
    return p.toPoint();
}

// Lets stepMs pass: the manual clock of a test moves, or real time goes by in the event loop
// (gestures measure speed on ns::Clock).
void elapse(int stepMs) {
    if (stepMs <= 0) return;
    if (auto* manual = dynamic_cast<ns::ManualClock*>(&ns::Clock::current())) {
        manual->advance(stepMs);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(stepMs, &loop, &QEventLoop::quit);
    loop.exec();
}

// QTest stamps its events with a counter of its own; gestures read a drag's pace from the
// stamps, so they follow the clock the test moves. After a release they jump half a second, as
// QTest's do, so two clicks never make a double click; they never go back (a new test's clock
// may start lower).
void stampFromClock(bool released = false) {
    static const qint64 origin = ns::Clock::current().nowMs();
    static qint64 extra = 0;
    const qint64 now = ns::Clock::current().nowMs() - origin + extra;
    const qint64 next = std::max<qint64>(now, qint64(QTest::lastMouseTimestamp));
    extra += next - now;
    QTest::lastMouseTimestamp = int(next - 1); // QTest adds one before it stamps
    if (released) extra += QTest::mouseDoubleClickInterval;
}

} // namespace

QWindow* windowOf(QWidget* w) {
    QWidget* top = w ? w->window() : nullptr;
    if (!top) return nullptr;
    if (!top->windowHandle() || !top->isVisible()) top->show();
    return top->windowHandle();
}

QPointF pointInWindow(const ui::View* view) {
    return pointInWindow(view, view ? view->bounds().center() : QPointF());
}

QPointF pointInWindow(const ui::View* view, const QPointF& local) {
    if (!view) return {};
    // Widget coordinates start at the bounds origin; the window is the top-level widget.
    const QPoint widgetPoint = rounded(local - view->bounds().topLeft());
    return QPointF(view->mapTo(view->window(), widgetPoint));
}

void press(QWidget* window, const QPointF& at) {
    stampFromClock();
    QTest::mousePress(windowOf(window), Qt::LeftButton, {}, rounded(at));
}

void move(QWidget* window, const QPointF& to, bool buttonDown) {
    QWindow* w = windowOf(window);
    if (buttonDown) {
        stampFromClock();
        QTest::mouseMove(w, rounded(to));
        return;
    }
    // QTest keeps the buttons it pressed; a hover move must say none is down. The window
    // hit-tests it as it does an event from the display server.
    QMouseEvent event(QEvent::MouseMove, to, w->mapToGlobal(to), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void release(QWidget* window, const QPointF& at) {
    stampFromClock(true);
    QTest::mouseRelease(windowOf(window), Qt::LeftButton, {}, rounded(at));
}

void click(QWidget* window, const QPointF& at) {
    stampFromClock(true);
    QTest::mouseClick(windowOf(window), Qt::LeftButton, {}, rounded(at));
}

void click(const ui::View* view) {
    if (!view) return;
    click(view->window(), pointInWindow(view));
}

void drag(QWidget* window, const QPointF& from, const QPointF& to, int steps, int stepMs) {
    press(window, from);
    steps = std::max(1, steps);
    for (int i = 1; i <= steps; ++i) {
        elapse(stepMs);
        move(window, from + (to - from) * (double(i) / steps));
    }
    release(window, to);
}

void wheel(QWidget* window, const QPointF& at, int angleDeltaY, int pixelDeltaY,
           Qt::Orientation orientation) {
    QWindow* w = windowOf(window);
    const QPoint angle =
        orientation == Qt::Vertical ? QPoint(0, angleDeltaY) : QPoint(angleDeltaY, 0);
    const QPoint pixel =
        orientation == Qt::Vertical ? QPoint(0, pixelDeltaY) : QPoint(pixelDeltaY, 0);
    // The widget under the pointer has it first; what it ignores goes on to its ancestors in
    // turn, as Qt passes on a wheel from the display server (not one sent by hand), so a wheel
    // over a table's row reaches the table.
    QWidget* top = window ? window->window() : nullptr;
    if (!w || !top) return;
    QWidget* target = top->childAt(rounded(at));
    for (QWidget* x = target ? target : top; x; x = x->parentWidget()) {
        const QPointF local = QPointF(x->mapFrom(top, rounded(at))) + (at - QPointF(rounded(at)));
        QWheelEvent event(local, w->mapToGlobal(at), pixel, angle, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        event.setAccepted(true);
        QApplication::sendEvent(x, &event);
        if (event.isAccepted() || x == top) break;
    }
}

QWidget* focusWidget() {
    if (QWidget* f = QApplication::focusWidget()) return f;
    if (ui::Window* key = ui::Window::keyWindow())
        return key->focusWidget() ? key->focusWidget() : key;
    return nullptr;
}

void key(Qt::Key k, Qt::KeyboardModifiers modifiers) {
    if (QWidget* target = focusWidget()) QTest::keyClick(target, k, modifiers);
}

void type(const QString& latin) {
    // One key at a time: the focus may move while typing (a field that ends editing).
    for (const QChar c : latin)
        if (QWidget* target = focusWidget()) QTest::keyClicks(target, QString(c));
}

void commit(const QString& text) {
    QWidget* target = focusWidget();
    if (!target) return;
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(target, &event);
}

void preedit(const QString& text) {
    QWidget* target = focusWidget();
    if (!target) return;
    QInputMethodEvent event(text, {});
    QApplication::sendEvent(target, &event);
}

} // namespace windowinput

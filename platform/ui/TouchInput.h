#pragma once

#include <QPointF>

namespace ui {

class View;

// Routes touches to the gesture recognizers of the touched view and its ancestors, deepest
// first. Mouse presses, drags and releases on any view arrive here through an application
// event filter; tests may drive the same route with the static calls below. Once one
// recogniser begins, the others waiting on the touch fail, and when it cancels touches in
// its view the control under the finger stops tracking (its mouse events are held back).
class TouchInput {
public:
    TouchInput() = delete;

    // Installs the mouse route (once; done by every recogniser).
    static void install();

    // A synthetic touch on view at point (view coordinates), then moves and the release at
    // points in the coordinates the view had when touched (scrolling does not shift them).
    static void began(View* view, const QPointF& point);
    static void moved(const QPointF& point);
    static void ended(const QPointF& point);
    static void cancelled();
    // Whether a touch sequence is under way.
    static bool isActive();
};

} // namespace ui

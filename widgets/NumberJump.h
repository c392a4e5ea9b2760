#pragma once

#include <QPointF>

class TextLayer;

// Makes a text layer count from one number to another in 100 steps spaced along an easing
// curve: quick small steps at both ends, slower larger ones in the middle, the value always in
// proportion to the time elapsed. Each layer counts on its own; a new count on a layer
// replaces its previous one, and a destroyed layer stops counting.
namespace NumberJump {

void jumpNumberWithDuration(TextLayer* layer, int duration, float fromNumber, float toNumber);
// Five seconds from 0 to 1000.
void jumpNumber(TextLayer* layer);
// Whether a count is still running on the layer.
bool isJumping(const TextLayer* layer);

// The point of a cubic Bezier curve at t, in single precision.
QPointF bezierPoint(const QPointF& p0, const QPointF& p1, const QPointF& p2, const QPointF& p3,
                    float t);

} // namespace NumberJump

#include "widgets/RoundCornerButton.h"

RoundCornerButton::RoundCornerButton(View* parent) : RoundCornerButton(QRectF(), parent) {}

RoundCornerButton::RoundCornerButton(const QRectF& frame, View* parent) : Button(frame, parent) {
    setClipsToBounds(true);
    setCornerRadius(frame.height() / 2);
}

void RoundCornerButton::setFrame(const QRectF& frame) {
    Button::setFrame(frame);
    setCornerRadius(frame.height() / 2);
}

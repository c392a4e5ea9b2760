#include "widgets/RoundCornerView.h"

RoundCornerView::RoundCornerView(View* parent) : RoundCornerView(QRectF(), parent) {}

RoundCornerView::RoundCornerView(const QRectF& frame, View* parent) : View(frame, parent) {
    setBackgroundColor(Qt::white);
    setCornerRadius(4);
    setClipsToBounds(true);
}

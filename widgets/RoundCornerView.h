#pragma once

#include "platform/ui/View.h"

// A white card with corners rounded by 4 points, clipping its content.
class RoundCornerView : public ui::View {
    Q_OBJECT
public:
    explicit RoundCornerView(View* parent = nullptr);
    explicit RoundCornerView(const QRectF& frame, View* parent = nullptr);
};

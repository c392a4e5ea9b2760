#pragma once

#include "platform/ui/Button.h"

// A pill-shaped button: its corner radius is always half its height.
class RoundCornerButton : public ui::Button {
    Q_OBJECT
public:
    explicit RoundCornerButton(View* parent = nullptr);
    explicit RoundCornerButton(const QRectF& frame, View* parent = nullptr);

    void setFrame(const QRectF& frame) override;
};

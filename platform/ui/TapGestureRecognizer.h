#pragma once

#include "platform/ui/GestureRecognizer.h"

namespace ui {

// A single tap: down and up without moving more than a finger's width.
class TapGestureRecognizer : public GestureRecognizer {
    Q_OBJECT
public:
    explicit TapGestureRecognizer(QObject* parent = nullptr);

protected:
    void began(const Touch& touch) override;
    void moved(const Touch& touch) override;
    void ended(const Touch& touch) override;

private:
    QPointF m_start;
};

} // namespace ui

#pragma once

#include <QString>
#include <functional>

namespace ui {
class AlertView;
}

// Alerts that report the pressed button's index (cancel 0, the other button 1) to a block.
namespace Block {
using SelectBlock = std::function<void(int buttonIndex)>;
// Made but not shown.
ui::AlertView* alertWithTitle(const QString& title, const QString& message, SelectBlock buttonIndex,
                              const QString& cancelButtonTitle, const QString& otherButtonTitles);
void setSelectBlock(ui::AlertView* alert, SelectBlock block);
SelectBlock selectBlock(const ui::AlertView* alert);
} // namespace Block

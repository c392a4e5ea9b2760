#pragma once

#include <QString>

namespace ui {
class Label;
}

// Fits a label's height to its text, up to a limit, keeping its origin and width.
namespace VerticalUpAlignment {
void verticalUpAlignmentWithText(ui::Label* label, const QString& text, double maxHeight);
} // namespace VerticalUpAlignment

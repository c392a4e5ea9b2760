#pragma once

namespace ui {
class Label;
}

// Pushes a label's text to the top or the bottom of its lines by padding it with empty
// lines; the label's frame stays as it is.
namespace VerticalAlign {
void alignTop(ui::Label* label);
void alignBottom(ui::Label* label);
} // namespace VerticalAlign

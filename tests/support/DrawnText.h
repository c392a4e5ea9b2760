#pragma once

// What a person would miss of a label's text as the label draws it in its frame.

#include <QString>

namespace ui {
class Label;
}

// "" when the label shows its whole text; otherwise why not ("no room", "cut").
QString textFault(const ui::Label* label);

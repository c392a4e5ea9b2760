#pragma once

#include "platform/ui/AttributedString.h"

// Attributed-text constructors that take a missing text as empty.
namespace NilString {
ui::AttributedString initWithNotNilString(const QString& string);
ui::AttributedString initWithNotNilString(const QString& string,
                                          const ui::TextAttributes& attributes);
} // namespace NilString

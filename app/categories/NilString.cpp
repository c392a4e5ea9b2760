#include "app/categories/NilString.h"

namespace NilString {

ui::AttributedString initWithNotNilString(const QString& string) {
    return ui::AttributedString(string.isEmpty() ? QString("") : string);
}

ui::AttributedString initWithNotNilString(const QString& string,
                                          const ui::TextAttributes& attributes) {
    return ui::AttributedString(string.isEmpty() ? QString("") : string, attributes);
}

} // namespace NilString

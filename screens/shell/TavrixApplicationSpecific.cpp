#include "screens/shell/TavrixApplicationSpecific.h"

namespace TavrixApplicationSpecific {

QColor tavrix_blueColor() {
    return QColor(70, 140, 202);
}
QColor tavrix_greenColor() {
    return QColor(45, 152, 88);
}
QColor tavrix_roseRedColor() {
    return QColor(202, 86, 68);
}

} // namespace TavrixApplicationSpecific

#pragma once

#include <QHashFunctions>

namespace ui {

// A row within a section of a table.
struct IndexPath {
    int section = 0;
    int row = 0;
    static IndexPath forRow(int row, int section) { return {section, row}; }
    auto operator<=>(const IndexPath&) const = default;
};

inline size_t qHash(const IndexPath& p, size_t seed = 0) {
    return qHashMulti(seed, p.section, p.row);
}

} // namespace ui

#pragma once

#include <QList>
#include <QVariant>

// Index reads that give nothing instead of failing when the index is out of range.
namespace NoCrash {

inline QVariant objectAtIndexNoCrash(const QVariantList& list, qint64 index) {
    if (index < 0 || index >= list.size()) return {};
    return list.at(qsizetype(index));
}

// A pointer to the element, or nullptr out of range.
template <typename T> const T* objectAtIndexNoCrash(const QList<T>& list, qint64 index) {
    if (index < 0 || index >= list.size()) return nullptr;
    return &list.at(qsizetype(index));
}

} // namespace NoCrash

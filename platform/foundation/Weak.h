#pragma once

#include <QObject>
#include <QPointer>

namespace ns {

// A weak reference to a delegate of abstract type T. When the delegate is (also) a QObject
// the reference clears itself on its destruction, so a callback never reaches a dead object.
template <typename T> class Weak {
public:
    Weak() = default;
    Weak(T* p) { reset(p); } // NOLINT: implicit like a plain pointer
    void reset(T* p) {
        m_ptr = p;
        m_guard = dynamic_cast<QObject*>(p);
        m_tracked = m_guard != nullptr;
    }
    T* get() const { return (m_tracked && !m_guard) ? nullptr : m_ptr; }
    T* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    T* m_ptr = nullptr;
    QPointer<QObject> m_guard;
    bool m_tracked = false;
};

} // namespace ns

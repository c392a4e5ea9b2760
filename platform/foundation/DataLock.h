#pragma once

#include <QString>

namespace ns {

// Keeps a second client off the same data: an advisory lock on a plain file, held for as long
// as this object lives and let go by the system when the process ends however it ends, so a
// dead client's lock never stands in the way. Taking it never waits, neither for another
// client nor on a pipe or device in the file's place: whatever is there and is not a plain
// file is replaced by one.
class DataLock {
public:
    enum class Result {
        Taken,
        Held,   // another client has it, or is taking it at this moment
        Failed, // see error()
    };

    explicit DataLock(QString path);
    ~DataLock();
    DataLock(const DataLock&) = delete;
    DataLock& operator=(const DataLock&) = delete;

    Result tryLock();
    bool isLocked() const { return m_fd >= 0; }
    QString error() const { return m_error; }

private:
    QString m_path;
    int m_fd = -1;
    QString m_error;
};

} // namespace ns

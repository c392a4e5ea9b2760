#include "platform/foundation/DataLock.h"

#include "platform/foundation/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ns {

namespace {

// The lock file, made when missing, opened only when it is a plain file: no link is followed
// and a pipe is never waited on.
int openLockFile(int folder, const char* name) {
    return openRegularFileAt(folder, name, O_RDWR | O_CREAT | O_NOFOLLOW);
}

} // namespace

DataLock::DataLock(QString path) : m_path(std::move(path)) {}

DataLock::~DataLock() {
    if (m_fd >= 0) ::close(m_fd); // the file stays: removing it would let two clients lock two
}

DataLock::Result DataLock::tryLock() {
    if (m_fd >= 0) return Result::Taken;
    m_error.clear();
    const QFileInfo info(m_path);
    const QByteArray name = QFile::encodeName(info.fileName());
    const int folder =
        ::open(QFile::encodeName(info.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return Result::Failed;
    }
    // Launches at the same moment replace what is in the file's place one at a time, so they
    // all end up on the same file; one that finds another replacing it leaves the file to it.
    const bool mayReplace = ::flock(folder, LOCK_EX | LOCK_NB) == 0;
    int fd = openLockFile(folder, name.constData());
    int why = errno;
    struct stat st;
    const bool stranger = fd < 0 &&
                          ::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                          !S_ISREG(st.st_mode);
    if (stranger && mayReplace) {
        fd = clearOwnFilePath(m_path) ? openLockFile(folder, name.constData()) : -1;
        why = errno;
    }
    Result result = Result::Taken;
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_fd = fd;
    } else {
        if (fd >= 0) {
            why = errno;
            ::close(fd);
        }
        result = why == EWOULDBLOCK || (stranger && !mayReplace) ? Result::Held : Result::Failed;
        m_error = QString::fromLocal8Bit(std::strerror(why));
    }
    ::close(folder); // the next launch may look now
    return result;
}

} // namespace ns

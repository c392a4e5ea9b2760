#include "platform/foundation/RegularFile.h"

#include "platform/foundation/Directories.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ns {

int openRegularFileAt(int folder, const char* name, int flags) {
    // Opened without waiting, then looked at: checking the name first would leave a moment in
    // which a pipe could take the file's place.
    const int fd = ::openat(folder, name, flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) return -1;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
    ::close(fd);
    errno = EINVAL;
    return -1;
}

int openRegularFile(const QString& path) {
    return openRegularFileAt(AT_FDCWD, QFile::encodeName(path).constData(), O_RDONLY);
}

namespace {

std::optional<QByteArray> readOpened(int fd, qint64 maxBytes) {
    if (fd < 0) return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_size > maxBytes) {
        ::close(fd);
        return std::nullopt;
    }
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    // A file that grows while it is read still stops at its ceiling.
    QByteArray bytes = f.read(maxBytes + 1);
    if (bytes.size() > maxBytes) return std::nullopt;
    return bytes;
}

} // namespace

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes) {
    return readOpened(openRegularFile(path), maxBytes);
}

std::optional<QByteArray> readOwnFile(const QString& path, qint64 maxBytes) {
    return readOpened(
        openRegularFileAt(AT_FDCWD, QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW),
        maxBytes);
}

bool clearOwnFilePath(const QString& path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return errno == ENOENT;
    return S_ISREG(st.st_mode) || Directories::removeTree(path);
}

int openRegularFileForWriting(const QString& path, bool append) {
    const QByteArray name = QFile::encodeName(path);
    const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | (append ? O_APPEND : O_TRUNC);
    // Twice at most: what was in the way is removed once, then only a new plain file will do.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd =
            openRegularFileAt(AT_FDCWD, name.constData(), attempt ? flags | O_EXCL : flags);
        if (fd >= 0) return fd;
        // A pipe without a reader refuses a non-blocking open (ENXIO), a link refuses
        // O_NOFOLLOW (ELOOP), a folder refuses to be written (EISDIR), anything else not a
        // plain file opens and is refused (EINVAL).
        if (errno != ENXIO && errno != ELOOP && errno != EINVAL && errno != EEXIST &&
            errno != EWOULDBLOCK && errno != EISDIR)
            return -1;
        if (!Directories::removeTree(path)) return -1;
    }
    return -1;
}

bool moveIntoPlace(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    // rename takes the name itself, whatever it names, but a folder.
    if (::rename(source.constData(), target.constData()) == 0) return true;
    if (errno != EISDIR && errno != ENOTEMPTY && errno != EEXIST) return false;
    return Directories::removeTree(to) && ::rename(source.constData(), target.constData()) == 0;
}

bool replaceFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo target(path);
    QByteArray made = QFile::encodeName(Directories::stagingFolderFor(target.path()) +
                                        QLatin1Char('/') + target.fileName()) +
                      ".XXXXXX";
    const int fd = ::mkostemp(made.data(), O_CLOEXEC); // owner-only, and never an existing name
    if (fd < 0) return false;
    bool written = true;
    for (qsizetype done = 0; written && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else
            written = n < 0 && errno == EINTR;
    }
    written = ::fsync(fd) == 0 && written;
    written = ::close(fd) == 0 && written;
    if (written && moveIntoPlace(QFile::decodeName(made), path)) return true;
    ::unlink(made.constData());
    return false;
}

} // namespace ns

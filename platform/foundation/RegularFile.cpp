#include "platform/foundation/RegularFile.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ns {

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes) {
    // Opened without waiting, then looked at: checking the name first would leave a moment in
    // which a pipe could take the file's place.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxBytes) {
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

} // namespace ns

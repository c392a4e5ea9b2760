#include "platform/foundation/Directories.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace ns::Directories {

namespace {
QString g_override;

QString ensured(const QString& path) {
    QDir().mkpath(path);
    return path;
}

using Identity = std::pair<dev_t, ino_t>;

Identity identityOf(const struct stat& st) {
    return {st.st_dev, st.st_ino};
}

int openFolderAt(int dirfd, const char* name) {
    return ::openat(dirfd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool isDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Empties the folder open at top, one level at a time: descending takes the place of the
// folder above (going back up through ".." checked against where it came from), so a tree
// of any depth needs two descriptors and no recursion. Names are never decoded.
bool emptyFolder(int top) {
    struct stat st;
    if (::fstat(top, &st) != 0) return false;
    std::vector<Identity> chain{identityOf(st)}; // the folders from top down to fd
    std::set<Identity> stuck;                    // folders that could not be emptied
    int fd = ::dup(top);
    if (fd < 0) return false;
    bool complete = true;
    for (;;) {
        bool levelComplete = true;
        int child = -1;
        const int listFd = ::dup(fd);
        DIR* dir = listFd < 0 ? nullptr : ::fdopendir(listFd);
        if (!dir) {
            if (listFd >= 0) ::close(listFd);
            levelComplete = false;
        } else {
            ::rewinddir(dir);
            while (const dirent* entry = ::readdir(dir)) {
                const char* name = entry->d_name;
                if (isDot(name)) continue;
                struct stat es;
                if (::fstatat(fd, name, &es, AT_SYMLINK_NOFOLLOW) != 0) continue;
                if (!S_ISDIR(es.st_mode)) {
                    if (::unlinkat(fd, name, 0) != 0 && errno != ENOENT) levelComplete = false;
                    continue;
                }
                if (::unlinkat(fd, name, AT_REMOVEDIR) == 0 || errno == ENOENT) continue;
                if (stuck.count(identityOf(es))) {
                    levelComplete = false;
                    continue;
                }
                child = openFolderAt(fd, name);
                if (child < 0 && errno == EACCES && ::fchmodat(fd, name, 0700, 0) == 0)
                    child = openFolderAt(fd, name);
                if (child >= 0) break;
                levelComplete = false;
            }
            ::closedir(dir);
        }
        if (child >= 0) {
            ::close(fd);
            fd = child;
            if (::fstat(fd, &st) != 0) break;
            chain.push_back(identityOf(st));
            continue;
        }
        if (!levelComplete) {
            complete = false;
            stuck.insert(chain.back());
        }
        if (chain.size() == 1) break;
        const int parent = openFolderAt(fd, "..");
        ::close(fd);
        fd = parent;
        chain.pop_back();
        // Moved meanwhile: stop rather than empty some other folder.
        if (fd < 0 || ::fstat(fd, &st) != 0 || identityOf(st) != chain.back()) {
            complete = false;
            break;
        }
    }
    if (fd >= 0) ::close(fd);
    return complete;
}

// Removes name inside the folder open at dirfd, whatever it is.
bool removeAt(int dirfd, const char* name) {
    struct stat st;
    if (::fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
    if (!S_ISDIR(st.st_mode)) return ::unlinkat(dirfd, name, 0) == 0 || errno == ENOENT;
    int fd = openFolderAt(dirfd, name);
    if (fd < 0 && errno == EACCES && ::fchmodat(dirfd, name, 0700, 0) == 0)
        fd = openFolderAt(dirfd, name);
    if (fd < 0) return false;
    emptyFolder(fd);
    ::close(fd);
    return ::unlinkat(dirfd, name, AT_REMOVEDIR) == 0 || errno == ENOENT;
}
} // namespace

void setHomeOverride(const QString& path) {
    g_override = path;
}

QString home() {
    if (!g_override.isEmpty()) return ensured(g_override);
    const QString env = qEnvironmentVariable("TAVRIX_HOME");
    if (!env.isEmpty()) return ensured(env);
    return ensured(QDir::homePath() + "/.local/share/tavrix");
}

QString documents() {
    return ensured(home() + "/Documents");
}
QString library() {
    return ensured(home() + "/Library");
}
QString caches() {
    return ensured(home() + "/Library/Caches");
}
QString preferences() {
    return ensured(home() + "/Library/Preferences");
}
QString temporary() {
    return ensured(home() + "/tmp");
}

QString stagingFolderFor(const QString& folder) {
    const QString staging = temporary();
    struct stat there, here;
    if (::stat(QFile::encodeName(folder).constData(), &there) == 0 &&
        ::stat(QFile::encodeName(staging).constData(), &here) == 0 && there.st_dev == here.st_dev)
        return staging;
    return folder;
}

bool removeTree(const QString& path) {
    if (path.isEmpty()) return false;
    return removeAt(AT_FDCWD, QFile::encodeName(path).constData());
}

bool emptyTemporary() {
    const int fd = ::open(QFile::encodeName(temporary()).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    const bool emptied = emptyFolder(fd);
    ::close(fd);
    return emptied;
}

} // namespace ns::Directories

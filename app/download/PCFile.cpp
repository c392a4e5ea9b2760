#include "app/download/PCFile.h"

#include "platform/foundation/Directories.h"
#include "platform/foundation/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace {
QString inside(const QString& dir, const QString& name) {
    return dir + QLatin1Char('/') + name;
}
} // namespace

QString PCFile::fileHomeDir() {
    return ns::Directories::home();
}
QString PCFile::fileResourceDir() {
    return QStringLiteral(":");
}
QString PCFile::fileResourceDir(const QString& name) {
    return inside(fileResourceDir(), name);
}
QString PCFile::fileDocDir() {
    return ns::Directories::documents();
}
QString PCFile::fileDocDir(const QString& name) {
    return inside(fileDocDir(), name);
}
QString PCFile::fileCacheDir() {
    return ns::Directories::caches();
}
QString PCFile::fileCacheDir(const QString& name) {
    return inside(fileCacheDir(), name);
}
QString PCFile::fileTempDir() {
    return ns::Directories::temporary();
}
QString PCFile::fileTempDir(const QString& name) {
    return inside(fileTempDir(), name);
}

bool PCFile::fileCreateDir(const QString& path) {
    return QDir().mkdir(path);
}

bool PCFile::fileExistAtPath(const QString& path) {
    return QFileInfo::exists(path);
}

bool PCFile::fileWriteAtPath(const QString& path, const QByteArray& data) {
    // Whole or not at all, and never into a pipe or through a link in the file's place.
    return ns::replaceFile(path, data);
}

bool PCFile::fileDel(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink()) return QDir(path).removeRecursively();
    return QFile::remove(path);
}

QStringList PCFile::fileSubFileNames(const QString& path, bool* ok) {
    const QDir dir(path);
    const bool readable = dir.exists() && dir.isReadable();
    if (ok) *ok = readable;
    if (!readable) return {};
    return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDir::Name);
}

bool PCFile::fileCopy(const QString& source, const QString& toPath) {
    namespace fs = std::filesystem;
    if (source.isEmpty() || toPath.isEmpty()) return false;
    const fs::path from(QFile::encodeName(source).toStdString());
    const fs::path to(QFile::encodeName(toPath).toStdString());
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(from, ec);
    if (ec || !fs::exists(status)) return false;
    // Nothing is replaced.
    if (fs::exists(fs::symlink_status(to, ec)) || ec == std::errc::permission_denied) return false;
    if (fs::is_directory(status)) {
        // A folder copied into itself would never end.
        const QString inside = QFileInfo(QFileInfo(toPath).path()).canonicalFilePath() + u'/';
        if (inside.startsWith(QFileInfo(source).canonicalFilePath() + u'/')) return false;
    }
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    if (!ec) return true;
    // Half a copy is no copy.
    ns::Directories::removeTree(toPath);
    return false;
}

QString PCFile::fileSaveAtomically(const QString& directory, const QString& name,
                                   const QByteArray& data) {
    if (data.isEmpty()) return QStringLiteral("下载数据为空");
    if (directory.isEmpty()) return QStringLiteral("保存目录为空");
    if (!QDir().mkpath(directory)) return QStringLiteral("创建目录失败");
    if (!ns::replaceFile(inside(directory, name), data)) return QStringLiteral("文件保存失败");
    return {};
}

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The application's sandbox directories and the few file operations it needs. Every cached
// file lives under fileCacheDir() ($TAVRIX_HOME/Library/Caches).
class PCFile {
public:
    PCFile() = delete;

    static QString fileHomeDir();
    // The bundled resources (the Qt resource root).
    static QString fileResourceDir();
    static QString fileResourceDir(const QString& name);
    static QString fileDocDir();
    static QString fileDocDir(const QString& name);
    static QString fileCacheDir();
    static QString fileCacheDir(const QString& name);
    static QString fileTempDir();
    static QString fileTempDir(const QString& name);

    // Creates one directory; a missing parent makes it fail.
    static bool fileCreateDir(const QString& path);
    static bool fileExistAtPath(const QString& path);
    static bool fileWriteAtPath(const QString& path, const QByteArray& data);
    // Removes a file or a whole directory.
    static bool fileDel(const QString& path);
    // The entry names of a directory; an empty list with *ok false when it cannot be read.
    static QStringList fileSubFileNames(const QString& path, bool* ok = nullptr);
    // Copies the item, a folder with everything in it (links stay links). An existing
    // destination is never replaced; a copy that fails part-way leaves nothing there.
    static bool fileCopy(const QString& source, const QString& toPath);
    // Writes downloaded bytes to directory/name atomically, making the directory (with its
    // parents). "" on success, else why not: "下载数据为空", "保存目录为空", "创建目录失败" or
    // "文件保存失败".
    static QString fileSaveAtomically(const QString& directory, const QString& name,
                                      const QByteArray& data);
};

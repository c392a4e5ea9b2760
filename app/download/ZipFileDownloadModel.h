#pragma once

#include "app/download/PCFileDownLoadModel.h"

#include <QString>

// Downloads a zip archive and unpacks it: the archive's folder named like the file (up to its
// first ".") replaces pathString/<that name>. Waiters hear modelUnZipSuccsess (with the
// reasons joined by "\n" when it failed) instead of modelDownloadSuccsess.
class ZipFileDownloadModel : public PCFileDownLoadModel {
    Q_OBJECT
public:
    // What one archive may unpack to; beyond either the archive is refused. Far above any
    // bundle of pages or pictures, far below what would fill a disk.
    static constexpr qint64 kMaxUnpackedBytes = qint64(64) << 20;
    static constexpr int kMaxEntries = 4096;
    // An archive arrives in a part file of the temporary directory, never whole in memory, and
    // one larger than this fails while it arrives.
    static constexpr qint64 kMaxArchiveBytes = kMaxUnpackedBytes;
    // Folders inside folders: real bundles nest a few levels; thousands only cost memory.
    static constexpr int kMaxDepth = 32;

    static Ptr create(const QString& url, const QString& path);
    static Ptr modelWithUrl(const QString& url, const QString& path);

    explicit ZipFileDownloadModel(QObject* parent = nullptr);

    // The name has a "." and what follows the last one begins with "zip", in any case.
    static bool isZip(const QString& name);
    // Unpacks the zip file into toDir (made when missing), all or nothing. An entry that would
    // land outside toDir (absolute path, "..", a link that may lead out, a hard link), a device
    // or pipe, a name that is not UTF-8, or more than the caps above refuses the whole archive,
    // as does a damaged one: toDir is then left as it was.
    static bool unZipFile(const QString& file, const QString& toDir);

protected:
    void downloadSuccess() override;
    QString streamPath() const override;

private:
    // "" when unpacked and in place, else the reasons.
    QString unpack() const;
};

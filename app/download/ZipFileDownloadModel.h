#pragma once

#include "app/download/PCFileDownLoadModel.h"

#include <QString>
#include <atomic>
#include <functional>
#include <memory>

// Downloads a zip archive and unpacks it: the archive's folder named like the file (up to its
// first ".") replaces pathString/<that name>. Waiters hear modelUnZipSuccsess (with the
// reasons joined by "\n" when it failed) instead of modelDownloadSuccsess.
// The unpacking and the copy into place run on a thread of their own, one archive at a time;
// the result comes back on the main thread. The model stays in the shared register until its
// result is told, so it lives and reports whoever else lets go of it; one cancelled meanwhile
// stops its unpack at the next entry or block, leaves the target as it was and hears nothing.
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
    ~ZipFileDownloadModel() override;

    // The name has a "." and what follows the last one begins with "zip", in any case.
    static bool isZip(const QString& name);
    // Unpacks the zip file into toDir (made when missing), all or nothing. An entry that would
    // land outside toDir (absolute path, "..", a link that may lead out, a hard link), a device
    // or pipe, a name that is not UTF-8, or more than the caps above refuses the whole archive,
    // as does a damaged one: toDir is then left as it was. `stopped` is asked before every
    // entry and block; once it answers true the unpack is refused. The disk writer sets the
    // umask for a moment: call it on a thread with a umask of its own, or on the main thread.
    static bool unZipFile(const QString& file, const QString& toDir,
                          const std::function<bool()>& stopped = {});

    void cancle() override;

protected:
    void downloadSuccess() override;
    QString streamPath() const override;

private:
    void tellUnpacked(const QString& error);

    // The running unpack's: set when it is cancelled or the model goes; the worker reads it,
    // never the model.
    std::shared_ptr<std::atomic_bool> m_stop;
};

#include "app/download/ZipFileDownloadModel.h"

#include "app/download/PCDownloadingQueue.h"
#include "app/download/PCFile.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/RegularFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>
#include <QTemporaryDir>
#include <QThreadPool>
#include <archive.h>
#include <archive_entry.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <sched.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using Stopped = std::function<bool()>;

bool asked(const Stopped& stopped) {
    return stopped && stopped();
}

fs::path toPath(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

// A temporary folder that goes whatever it ends up holding: names in any bytes, trees deeper
// than a path may be long.
class Staging {
public:
    explicit Staging(const QString& pattern) : m_dir(pattern) { m_dir.setAutoRemove(false); }
    ~Staging() {
        if (m_dir.isValid()) ns::Directories::removeTree(m_dir.path());
    }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

bool isUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

// The entry's path below the target ("" for the target itself), none when it is absolute,
// climbs with "..", is not UTF-8 (no file name could say it) or goes too deep.
std::optional<QByteArray> pathBelow(const char* path) {
    if (!path || !*path || *path == '/' || !isUtf8(path)) return std::nullopt;
    QByteArrayList parts;
    for (const QByteArray& part : QByteArray(path).split('/')) {
        if (part == "..") return std::nullopt;
        if (!part.isEmpty() && part != ".") parts << part;
    }
    if (parts.size() > ZipFileDownloadModel::kMaxDepth) return std::nullopt;
    return parts.join('/');
}

// A link whose target neither starts at the root nor climbs can only lead further down, even
// through other such links.
bool linkStaysBelow(const char* target) {
    return target && *target && *target != '/' && isUtf8(target) &&
           !QByteArray(target).split('/').contains(QByteArray(".."));
}

using Writer = std::unique_ptr<archive, decltype(&archive_write_free)>;

// An archive read from a plain file only (never from a pipe in its place), with the file's
// descriptor, which the library leaves open.
class Reader {
public:
    explicit Reader(const QString& file) : m_fd(ns::openRegularFile(file)) {
        if (m_fd < 0) return;
        m_archive = archive_read_new();
        archive_read_support_format_zip(m_archive);
        if (archive_read_open_fd(m_archive, m_fd, 64 * 1024) != ARCHIVE_OK) {
            archive_read_free(m_archive);
            m_archive = nullptr;
        }
    }
    ~Reader() {
        if (m_archive) archive_read_free(m_archive);
        if (m_fd >= 0) ::close(m_fd);
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    archive* get() const { return m_archive; }
    explicit operator bool() const { return m_archive; }

private:
    int m_fd;
    archive* m_archive = nullptr;
};

// Where the entry goes below the target ("" for the target itself), none when it is refused.
std::optional<QByteArray> placeOf(archive_entry* entry) {
    const auto type = archive_entry_filetype(entry);
    // A zip has no hard links; one that claims to is not trusted.
    if (archive_entry_hardlink(entry)) return std::nullopt;
    if (type == AE_IFLNK ? !linkStaysBelow(archive_entry_symlink(entry))
                         : type != AE_IFREG && type != AE_IFDIR)
        return std::nullopt;
    const auto below = pathBelow(archive_entry_pathname(entry));
    if (below && below->isEmpty() && type != AE_IFDIR) return std::nullopt;
    return below;
}

// Reads the headers only, so a hostile archive is refused before anything of it is written.
bool acceptable(const QString& file, const Stopped& stopped) {
    const Reader in(file);
    if (!in) return false;
    qint64 declared = 0;
    int entries = 0;
    archive_entry* entry = nullptr;
    int r;
    while ((r = archive_read_next_header(in.get(), &entry)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
        if (asked(stopped)) return false;
        if (++entries > ZipFileDownloadModel::kMaxEntries || !placeOf(entry)) return false;
        if (archive_entry_size_is_set(entry))
            declared += qMax<qint64>(0, archive_entry_size(entry));
        if (declared > ZipFileDownloadModel::kMaxUnpackedBytes) return false;
    }
    return r == ARCHIVE_EOF;
}

bool copyData(archive* in, archive* out, qint64* unpacked, const Stopped& stopped) {
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    int r;
    while ((r = archive_read_data_block(in, &block, &size, &offset)) == ARCHIVE_OK) {
        if (asked(stopped)) return false;
        // Counted as it comes: a stored size may lie.
        *unpacked += qint64(size);
        if (*unpacked > ZipFileDownloadModel::kMaxUnpackedBytes) return false;
        if (archive_write_data_block(out, block, size, offset) != ARCHIVE_OK) return false;
    }
    return r == ARCHIVE_EOF;
}

// root has no link in it.
bool extractInto(const QString& file, const QByteArray& root, const Stopped& stopped) {
    const Reader in(file);
    if (!in || !acceptable(file, stopped)) return false;
    Writer out(archive_write_disk_new(), archive_write_free);
    // Besides the checks above: never write through a link already on disk.
    archive_write_disk_set_options(out.get(), ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                                  ARCHIVE_EXTRACT_SECURE_SYMLINKS);
    qint64 unpacked = 0;
    archive_entry* entry = nullptr;
    for (;;) {
        const int r = archive_read_next_header(in.get(), &entry);
        if (r == ARCHIVE_EOF) return true;
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN) return false;
        if (asked(stopped)) return false;
        const auto below = placeOf(entry);
        if (!below) return false;
        if (below->isEmpty()) continue; // "./": the target itself
        const bool isFile = archive_entry_filetype(entry) == AE_IFREG;
        archive_entry_set_pathname(entry, (root + '/' + *below).constData());
        // Data, not programs: no set-id bits, nothing unreadable.
        archive_entry_set_perm(entry, archive_entry_filetype(entry) == AE_IFDIR ? 0755 : 0644);
        if (archive_write_header(out.get(), entry) != ARCHIVE_OK) return false;
        if (isFile && !copyData(in.get(), out.get(), &unpacked, stopped)) return false;
        if (archive_write_finish_entry(out.get()) != ARCHIVE_OK) return false;
    }
}

// Unpacks into a hidden folder where writes are made (tmp/, emptied at each start) and moves
// the entries into toDir only when all are there.
bool extractWhole(const QString& file, const QString& toDir, const Stopped& stopped) {
    const Staging stage(ns::Directories::stagingFolderFor(toDir) +
                        QStringLiteral("/.unzip-XXXXXX"));
    const QString root = QFileInfo(stage.path()).canonicalFilePath();
    if (!stage.isValid() || root.isEmpty() || !extractInto(file, QFile::encodeName(root), stopped))
        return false;
    std::error_code ec;
    for (const QString& name : PCFile::fileSubFileNames(root)) {
        const QString target = toDir + QLatin1Char('/') + name;
        if (!ns::Directories::removeTree(target)) return false;
        fs::rename(toPath(root + QLatin1Char('/') + name), toPath(target), ec);
        if (ec) return false;
    }
    return true;
}

// Copies the tree where writes are made first, so the old one goes only once a whole new one
// is there.
bool replaceWithCopy(const QString& from, const QString& to, const Stopped& stopped) {
    std::error_code ec;
    const auto status = fs::symlink_status(toPath(from), ec);
    // The top is the archive's folder itself, never a link to somewhere else.
    if (ec || !fs::exists(status) || fs::is_symlink(status)) return false;
    const Staging staging(ns::Directories::stagingFolderFor(QFileInfo(to).path()) +
                          QStringLiteral("/.copy-XXXXXX"));
    if (!staging.isValid() || asked(stopped)) return false;
    const fs::path copy = toPath(staging.filePath(QStringLiteral("copy")));
    fs::copy(toPath(from), copy, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    // The last moment to stop with the old tree untouched.
    if (ec || asked(stopped) || !ns::Directories::removeTree(to)) return false;
    fs::rename(copy, toPath(to), ec);
    return !ec;
}

// One downloaded archive to unpack: made on the main thread, then the worker's alone.
struct Unpack {
    std::unique_ptr<Staging> stage; // holds the archive; goes, with all in it, on the worker
    QString archiveFile;
    QString unpacked;
    QString from; // the archive's folder once unpacked
    QString to;   // the folder it replaces

    QString run(const Stopped& stopped) const {
        if (!ZipFileDownloadModel::unZipFile(archiveFile, unpacked, stopped))
            return QStringLiteral("文件解压失败");
        if (!replaceWithCopy(from, to, stopped)) return QStringLiteral("文件拷贝失败");
        return {};
    }
};

using Work = std::function<QString()>;            // on the unpacking thread
using Done = std::function<void(const QString&)>; // back on the main thread

// One thread, so unpacks run one after another in the order they were asked for: two into the
// same folder never mix. Waited for when the application goes.
QThreadPool& unpackingThread() {
    static QThreadPool* const pool = [] {
        auto* one = new QThreadPool;
        one->setMaxThreadCount(1);
        qAddPostRoutine([] { unpackingThread().waitForDone(); });
        return one;
    }();
    return *pool;
}

// libarchive's disk writer sets the umask to 0 for a moment at every entry; on a thread that
// shares it with the main thread, a file the main thread created just then would be open to
// everyone. So the unpacking thread takes a umask (and working folder) of its own.
bool hasOwnUmask() {
    thread_local const bool own = ::unshare(CLONE_FS) == 0;
    return own;
}

void unpackOffMainThread(Work work, Done done) {
    QObject* const mainThread = QCoreApplication::instance();
    unpackingThread().start([mainThread, work = std::move(work), done = std::move(done)]() mutable {
        if (!hasOwnUmask()) {
            // Where the system refuses that, the main thread unpacks as it always did.
            QMetaObject::invokeMethod(
                mainThread, [work = std::move(work), done = std::move(done)] { done(work()); },
                Qt::QueuedConnection);
            return;
        }
        const QString error = work();
        work = nullptr; // what it staged goes here, off the main thread
        QMetaObject::invokeMethod(
            mainThread, [error, done = std::move(done)] { done(error); }, Qt::QueuedConnection);
    });
}

// On the main thread: the checks, and the archive moved out of its part file (so the next
// download of the address may use it). "" and the work, else the reasons.
QString prepare(const ZipFileDownloadModel& model, Unpack* work) {
    const QString name = model.urlString().section(QLatin1Char('/'), -1);
    const QByteArray data = model.downLoadData();
    // Streamed to its part file when there is a directory to unpack to, else held.
    const bool streamed = model.isNeedOutputStream() && !model.pathString().isEmpty();
    QStringList errors;
    if (streamed ? QFileInfo(model.saveTempPath()).size() <= 0 : data.isEmpty())
        errors << QStringLiteral("下载数据为空");
    if (model.pathString().isEmpty())
        errors << QStringLiteral("保存目录为空");
    else if (!QDir().mkpath(model.pathString()))
        errors << QStringLiteral("创建目录失败");
    if (!ZipFileDownloadModel::isZip(name)) errors << QStringLiteral("下载文件非zip格式");
    if (!errors.isEmpty()) return errors.join(QLatin1Char('\n'));

    const QString fileName = name.section(QLatin1Char('='), -1);
    const QString baseName = fileName.section(QLatin1Char('.'), 0, 0);
    work->stage = std::make_unique<Staging>(PCFile::fileTempDir(QStringLiteral("zip-XXXXXX")));
    work->archiveFile = work->stage->filePath(fileName);
    // An empty base name would stand for pathString itself.
    if (baseName.isEmpty() || !work->stage->isValid() ||
        !(streamed ? ns::moveIntoPlace(model.saveTempPath(), work->archiveFile)
                   : PCFile::fileWriteAtPath(work->archiveFile, data)))
        return QStringLiteral("文件保存失败");
    work->unpacked = work->stage->filePath(QStringLiteral("unpacked"));
    work->from = work->unpacked + QLatin1Char('/') + baseName;
    work->to = model.pathString() + QLatin1Char('/') + baseName;
    return {};
}

} // namespace

ZipFileDownloadModel::ZipFileDownloadModel(QObject* parent) : PCFileDownLoadModel(parent) {
    setMaxLength(kMaxArchiveBytes);
    setIsNeedOutputStream(true);
}

ZipFileDownloadModel::~ZipFileDownloadModel() {
    if (m_stop) *m_stop = true;
}

void ZipFileDownloadModel::cancle() {
    if (m_stop) *m_stop = true;
    PCFileDownLoadModel::cancle();
}

QString ZipFileDownloadModel::streamPath() const {
    // One part file per address and target, so a retry can resume it.
    const QByteArray key = QCryptographicHash::hash(
        (urlString() + QLatin1Char('\n') + pathString()).toUtf8(), QCryptographicHash::Md5);
    return PCFile::fileTempDir(QStringLiteral("archive-%1.zip").arg(QLatin1String(key.toHex())));
}

PCFileDownLoadModel::Ptr ZipFileDownloadModel::create(const QString& url, const QString& path) {
    auto model = std::make_shared<ZipFileDownloadModel>();
    model->setUrlString(url);
    model->setPathString(path);
    return model;
}

PCFileDownLoadModel::Ptr ZipFileDownloadModel::modelWithUrl(const QString& url,
                                                            const QString& path) {
    if (auto running = PCDownloadingQueue::downloadModelWithURL(url, path)) return running;
    return create(url, path);
}

bool ZipFileDownloadModel::isZip(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && name.mid(dot + 1).startsWith(QLatin1String("zip"), Qt::CaseInsensitive);
}

bool ZipFileDownloadModel::unZipFile(const QString& file, const QString& toDir,
                                     const std::function<bool()>& stopped) {
    if (file.isEmpty() || toDir.isEmpty()) return false;
    const bool existed = QFileInfo::exists(toDir);
    if (!QDir().mkpath(toDir)) return false;
    if (extractWhole(file, toDir, stopped)) return true;
    if (!existed) QDir().rmdir(toDir);
    return false;
}

void ZipFileDownloadModel::downloadSuccess() {
    const Ptr self = shared_from_this();
    // Still in the register, which keeps the model until it has told its result.
    transferOver();
    auto work = std::make_shared<Unpack>();
    const QString error = prepare(*this, work.get());
    QFile::remove(saveTempPath()); // unpacked or refused, the archive itself is not kept
    if (!error.isEmpty()) {
        work.reset();
        tellUnpacked(error);
        return;
    }
    const std::weak_ptr<PCFileDownLoadModel> model = self;
    const auto stop = m_stop = std::make_shared<std::atomic_bool>(false);
    unpackOffMainThread(
        [work = std::move(work), stop] { return work->run([stop] { return stop->load(); }); },
        [model, stop](const QString& error) {
            const Ptr alive = model.lock();
            if (alive && !stop->load())
                static_cast<ZipFileDownloadModel*>(alive.get())->tellUnpacked(error);
        });
}

void ZipFileDownloadModel::tellUnpacked(const QString& error) {
    const Ptr self = shared_from_this();
    m_stop.reset();
    // Out of the register before anyone hears of it, so the address can be fetched again.
    PCDownloadingQueue::removeDownload(this);
    for (auto* delegate : liveDelegates())
        delegate->modelUnZipSuccsess(this, error.isEmpty(), error);
}

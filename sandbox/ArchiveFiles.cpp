#include "sandbox/ArchiveFiles.h"

#include "sandbox/HttpAnswer.h"
#include "sandbox/PictureStore.h"

#include <QDir>
#include <QHash>
#include <QHttpServerRequest>
#include <QList>
#include <QRegularExpression>
#include <QUrlQuery>
#include <archive.h>
#include <archive_entry.h>

namespace sandbox {

namespace {

struct Entry {
    QByteArray path;
    QByteArray data;
    unsigned type;
    QByteArray link;  // target of a link
    qint64 zeros = 0; // appended to data
};

Entry fileEntry(const QByteArray& path, const QByteArray& data, qint64 zeros = 0) {
    return {path, data, AE_IFREG, {}, zeros};
}
Entry folderEntry(const QByteArray& path) {
    return {path, {}, AE_IFDIR, {}, 0};
}
Entry linkEntry(const QByteArray& path, const QByteArray& target) {
    return {path, {}, AE_IFLNK, target, 0};
}

la_ssize_t appendTo(archive*, void* buffer, const void* data, size_t size) {
    static_cast<QByteArray*>(buffer)->append(static_cast<const char*>(data), qsizetype(size));
    return la_ssize_t(size);
}

QByteArray zip(const QList<Entry>& entries) {
    QByteArray bytes;
    archive* out = archive_write_new();
    archive_write_set_format_zip(out);
    archive_write_set_bytes_in_last_block(out, 1); // no padding after the archive
    archive_write_open(out, &bytes, nullptr, appendTo, nullptr);
    const QByteArray zeros(1 << 20, '\0');
    for (const Entry& e : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.path.constData());
        archive_entry_set_filetype(entry, e.type);
        archive_entry_set_perm(entry, e.type == AE_IFDIR ? 0755 : 0644);
        archive_entry_set_mtime(entry, 1420070400, 0);
        if (e.type == AE_IFLNK) archive_entry_set_symlink(entry, e.link.constData());
        archive_entry_set_size(entry, e.type == AE_IFREG ? e.data.size() + e.zeros : 0);
        archive_write_header(out, entry);
        archive_write_data(out, e.data.constData(), size_t(e.data.size()));
        for (qint64 left = e.zeros; left > 0; left -= zeros.size())
            archive_write_data(out, zeros.constData(), size_t(qMin<qint64>(left, zeros.size())));
        archive_entry_free(entry);
    }
    archive_write_close(out);
    archive_write_free(out);
    return bytes;
}

// A year of daily totals: enough that a cut through the archive lands inside its data.
QByteArray dailyTotals() {
    QByteArray csv = "day,total\n";
    for (int day = 0; day < 365; ++day)
        csv += QByteArray::number(20150101 + day) + ',' +
               QByteArray::number((day * 7919) % 1000 / 100.0, 'f', 2) + '\n';
    return csv;
}

// The folder each archive unpacks to is named like the archive, as the client expects.
QList<Entry> goodEntries(const QByteArray& folder) {
    return {folderEntry(folder + '/'), fileEntry(folder + "/账单说明.txt", "本月账单说明\n"),
            fileEntry(folder + "/data/numbers.csv", dailyTotals()),
            linkEntry(folder + "/latest.txt", "账单说明.txt")};
}

// Archives whose layout alone is the attack: names no file name can say, and depth.
QByteArray buildLayoutAttack(const QString& name) {
    const QByteArray folder = name.section(QLatin1Char('.'), 0, 0).toUtf8();
    const Entry first = fileEntry(folder + "/readme.txt", "ok\n");
    if (name == "legacy.zip") {
        // "账单.txt" in a legacy two-byte encoding, not UTF-8, set in after writing: the writer
        // would mend the name, as no attacker's tool does.
        QByteArray bytes = zip({first, fileEntry(folder + "/QQQQ.txt", "legacy\n")});
        return bytes.replace("/QQQQ.txt", "/\xd5\xcb\xb5\xa5.txt");
    }
    if (name == "deep.zip") {
        QByteArray path = folder;
        for (int i = 0; i < 2000; ++i)
            path += "/d";
        return zip({first, fileEntry(path + "/bottom.txt", "deep\n")});
    }
    return {};
}

QByteArray build(const QString& name) {
    if (QByteArray attack = buildLayoutAttack(name); !attack.isEmpty()) return attack;
    const QByteArray escape = ArchiveFiles::escapeName().toUtf8();
    const QByteArray systemTemp = QDir::tempPath().toUtf8();
    const QByteArray folder = name.section(QLatin1Char('.'), 0, 0).toUtf8();
    const Entry first = fileEntry(folder + "/readme.txt", "ok\n");
    if (name == "good.zip") return zip(goodEntries(folder));
    if (name == "dotdot.zip")
        return zip({first, fileEntry(folder + "/../../" + escape, "escaped\n")});
    if (name == "absolute.zip")
        return zip({first, fileEntry(systemTemp + '/' + escape, "escaped\n")});
    if (name == "symlink.zip")
        return zip({first, linkEntry(folder + "/out", "../../../../../../../../.." + systemTemp),
                    fileEntry(folder + "/out/" + escape, "escaped\n")});
    if (name == "bomb.zip") return zip({fileEntry(folder + "/zeros.bin", {}, qint64(80) << 20)});
    if (name == "swarm.zip") {
        QList<Entry> entries;
        for (int i = 0; i < 4200; ++i)
            entries.append(fileEntry(folder + '/' + QByteArray::number(i), {}));
        return zip(entries);
    }
    if (name == "truncated.zip") {
        // Cut halfway through the entries, before the directory at the end.
        const QByteArray whole = zip(goodEntries(folder));
        return whole.left(whole.indexOf("PK\x01\x02") / 2);
    }
    if (name == "fake.zip") return "<html><body>not an archive</body></html>";
    if (name == "notes.txt") return "plain notes\n";
    return {};
}

} // namespace

QByteArray ArchiveFiles::file(const QString& name) {
    // Built once each, when first asked for: the bomb takes a moment.
    static QHash<QString, QByteArray> built;
    if (const auto it = built.constFind(name); it != built.constEnd()) return it.value();
    const QByteArray bytes = build(name);
    if (!bytes.isEmpty()) built.insert(name, bytes);
    return bytes;
}

bool ArchiveFiles::handle(const QHttpServerRequest& request, QTcpSocket* socket) {
    const QString path = request.url().path();
    if (request.method() != QHttpServerRequest::Method::Get || !path.startsWith(kPathPrefix))
        return false;
    const QString name = path.mid(int(qstrlen(kPathPrefix)));
    static const QRegularExpression generated(
        QStringLiteral("^generated/bytes-(\\d{1,12}|endless)\\.zip$"));
    if (const auto m = generated.match(name); m.hasMatch()) {
        const QUrlQuery query(request.url());
        bool hasDeclared = false;
        const qint64 declared = query.queryItemValue("declare").toLongLong(&hasDeclared);
        const qint64 total =
            m.captured(1) == QLatin1String("endless") ? -1 : m.captured(1).toLongLong();
        PictureStore::streamBytes(socket, "application/zip", QByteArray("PK\x03\x04", 4), total,
                                  hasDeclared ? declared : -1);
        return true;
    }
    const QByteArray body = file(name);
    if (body.isEmpty()) {
        HttpAnswer::html("<html><body>no such archive</body></html>", 404).sendTo(socket);
        return true;
    }
    const QByteArray type = name.endsWith(".zip") ? "application/zip" : "text/plain";
    HttpAnswer{200, type, body}.sendTo(socket);
    return true;
}

} // namespace sandbox

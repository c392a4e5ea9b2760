#include "tests/support/ZipWriter.h"

#include <archive.h>
#include <archive_entry.h>

namespace testsupport {

namespace {

la_ssize_t appendTo(archive*, void* buffer, const void* data, size_t size) {
    static_cast<QByteArray*>(buffer)->append(static_cast<const char*>(data), qsizetype(size));
    return la_ssize_t(size);
}

} // namespace

QByteArray largestZip(const QByteArray& folder, int entries, qint64 totalBytes) {
    QByteArray bytes;
    archive* out = archive_write_new();
    archive_write_set_format_zip(out);
    archive_write_set_bytes_in_last_block(out, 1);
    archive_write_open(out, &bytes, nullptr, appendTo, nullptr);
    const qint64 each = totalBytes / entries;
    quint32 seed = 20150101;
    for (int i = 0; i < entries; ++i) {
        QByteArray rows;
        rows.reserve(each + 64);
        while (rows.size() < each) {
            seed = seed * 1664525u + 1013904223u;
            rows += QByteArray::number(i) + ',' + QByteArray::number(seed % 100000) + ',' +
                    QByteArray::number((seed >> 8) % 1000 / 10.0, 'f', 2) + '\n';
        }
        rows.truncate(each);
        const QByteArray path =
            folder + "/d" + QByteArray::number(i % 16) + "/f" + QByteArray::number(i) + ".csv";
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, path.constData());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, rows.size());
        archive_write_header(out, entry);
        archive_write_data(out, rows.constData(), size_t(rows.size()));
        archive_entry_free(entry);
    }
    archive_write_close(out);
    archive_write_free(out);
    return bytes;
}

} // namespace testsupport

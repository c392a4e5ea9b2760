#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace ns {

// Reads a file of the user's data or of the desktop only when it is a plain file no larger
// than `maxBytes`: a pipe, socket or device in its place is never waited on, a folder is not a
// file, and a huge file is not read at all. nullopt when it is missing or refused.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

// The same open for what is read as a stream (an archive, a database): a descriptor for
// reading when the path names a plain file, else -1, with errno ENOENT when nothing is there.
// The caller closes it.
int openRegularFile(const QString& path);

// Puts `bytes` at `path` as a new owner-only plain file in one step: a pipe or link in its
// place is replaced, never written through. False when a folder is in the way or the write
// fails; whatever was there then stays.
bool replaceFile(const QString& path, const QByteArray& bytes);

} // namespace ns

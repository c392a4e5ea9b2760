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
// The same below an open folder (AT_FDCWD: the working folder), with the caller's access flags
// (O_CREAT makes an owner-only file).
int openRegularFileAt(int folder, const char* name, int flags);

// Opens a file the client writes bit by bit (a download's part file) as an owner-only plain
// file, appending or emptied: a pipe, link or device in its place is removed and a new file made,
// never waited on or written through. -1 when that cannot be done. The caller closes it.
int openRegularFileForWriting(const QString& path, bool append);

// Puts `bytes` at `path` as a new owner-only plain file in one step: a pipe or link in its
// place is replaced, never written through. False when a folder is in the way or the write
// fails; whatever was there then stays.
bool replaceFile(const QString& path, const QByteArray& bytes);

} // namespace ns

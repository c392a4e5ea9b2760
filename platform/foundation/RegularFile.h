#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace ns {

// The client's own files (the settings, cached lists and pictures, the device id, the data
// lock, part files, the local store) follow one rule: only a plain file at the path is the
// file. Anything else in its place (a folder, pipe, socket, device, or a link, which is never
// followed) is never read or waited on: a reader finds nothing there, and the client's next
// write, or the open of the lock or the store, replaces it (a folder with all it holds) with a
// plain owner-only file. A write is prepared in Directories::stagingFolderFor() and takes the
// file's name in one step, so a write cut short leaves neither half a file nor a copy beside it.

// Reads one of the client's own files when it is a plain file no larger than `maxBytes`;
// nullopt when it is missing, too large or anything else.
std::optional<QByteArray> readOwnFile(const QString& path, qint64 maxBytes);
// Makes room for one of the client's own files: whatever is in its place that is not a plain
// file goes. True when the path is free or holds a plain file.
bool clearOwnFilePath(const QString& path);

// Reads a file of the user's or the desktop's (the address book, association lists) only when
// it is a plain file, a link to one included, no larger than `maxBytes`: a pipe, socket or
// device is never waited on, a folder is not a file, and a huge file is not read at all.
// nullopt when it is missing or refused.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

// The same open for what is read as a stream (an archive): a descriptor for reading when the
// path names a plain file, else -1, with errno ENOENT when nothing is there. The caller closes
// it.
int openRegularFile(const QString& path);
// The same below an open folder (AT_FDCWD: the working folder), with the caller's access flags
// (O_CREAT makes an owner-only file).
int openRegularFileAt(int folder, const char* name, int flags);

// Opens a file the client writes bit by bit (a download's part file) as an owner-only plain
// file, appending or emptied, by the rule above. -1 when that cannot be done. The caller closes
// it.
int openRegularFileForWriting(const QString& path, bool append);

// Puts `bytes` at `path` as a new owner-only plain file in one step, by the rule above. False
// when the write fails; whatever was there then stays.
bool replaceFile(const QString& path, const QByteArray& bytes);
// Gives the plain file `from` the name `to` in one step, replacing what is there by the rule
// above.
bool moveIntoPlace(const QString& from, const QString& to);

} // namespace ns

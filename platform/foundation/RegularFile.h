#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace ns {

// Reads a file of the user's data or of the desktop only when it is a plain file no larger
// than `maxBytes`: a pipe, socket or device in its place is never waited on, a folder is not a
// file, and a huge file is not read at all. nullopt when it is missing or refused.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

} // namespace ns

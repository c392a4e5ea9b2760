#pragma once

#include <QByteArray>
#include <QList>
#include <utility>

namespace testsupport {

// A zip holding these files (path, contents), deflated as an archiving tool would.
QByteArray zipOf(const QList<std::pair<QByteArray, QByteArray>>& files);

// The largest archive the client unpacks: `entries` files making `totalBytes` together, below
// a folder named `folder`, in 16 subfolders. The contents are rows of figures, so the archive
// deflates about as a real bundle of data does.
QByteArray largestZip(const QByteArray& folder, int entries, qint64 totalBytes);

} // namespace testsupport

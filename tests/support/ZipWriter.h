#pragma once

#include <QByteArray>

namespace testsupport {

// The largest archive the client unpacks, deflated as an archiving tool would: `entries` files
// making `totalBytes` together, below a folder named `folder`, in 16 subfolders. The contents
// are rows of figures, so the archive deflates about as a real bundle of data does.
QByteArray largestZip(const QByteArray& folder, int entries, qint64 totalBytes);

} // namespace testsupport

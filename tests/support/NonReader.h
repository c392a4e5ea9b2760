#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace testsupport {

// A blocking loopback socket with a tiny receive window that sends its request and then reads
// nothing, as a client that leaves its answer on the server would. Reads give up after
// `patienceSeconds` (0: never). The caller closes the descriptor.
int nonReader(quint16 port, const QByteArray& request, int patienceSeconds = 0);

} // namespace testsupport

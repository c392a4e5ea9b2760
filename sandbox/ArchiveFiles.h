#pragma once

#include <QByteArray>
#include <QString>

class QHttpServerRequest;
class QTcpSocket;

namespace sandbox {

// Zip archives for the client's archive download, at GET /archives/<name>. Each holds a
// folder named like the archive (up to the first "."):
//   good.zip       two files, one in a subfolder, and a link to a sibling
//   dotdot.zip     a good entry, then one that climbs out with "../"
//   absolute.zip   a good entry, then one at an absolute path
//   symlink.zip    a good entry, a link leading out, then a file written through it
//   bomb.zip       one entry of 80 MiB of zeros (built on first request)
//   swarm.zip      4200 empty files
//   truncated.zip  good.zip cut halfway through its entries
//   fake.zip       a web page under an archive's name
//   notes.txt      a text file
//   generated/bytes-<n>.zip  n bytes that begin like a zip, made as they are sent, never
//                            stored; "bytes-endless.zip" never ends; "?declare=<m>" makes
//                            the head announce m bytes whatever follows
//   legacy.zip     a good entry, then a name that is not UTF-8
//   deep.zip       a good entry, then a file below 2000 nested folders
// Every hostile archive aims at escapeName() in the folder above and in the system's
// temporary directory.
class ArchiveFiles {
public:
    static constexpr const char* kPathPrefix = "/archives/";

    static QString escapeName() { return QStringLiteral("tavrix-archive-escape.txt"); }
    // Empty for an unknown name.
    static QByteArray file(const QString& name);
    // Serves GETs below the prefix (404 for an unknown name); false leaves the request.
    static bool handle(const QHttpServerRequest& request, QTcpSocket* socket);
};

} // namespace sandbox

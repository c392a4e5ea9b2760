#pragma once

#include <QString>
#include <QVariantMap>

namespace ns {

// Named pasteboards shared between applications of one user: one owner-only property-list
// file per name in the user's runtime directory (never the system clipboard, which any
// program can read).
class Pasteboard {
public:
    Pasteboard() = delete;

    static QString directory();
    // Names become file names: letters, digits, ".", "_" and "-" only, not starting with ".".
    static bool isValidName(const QString& name);
    // Empty when the pasteboard does not exist, cannot be read or the name is not valid.
    static QVariantMap read(const QString& name);
    static bool write(const QString& name, const QVariantMap& items);
    static void remove(const QString& name);
};

} // namespace ns

#pragma once

#include <QString>
#include <QVariantMap>

// Named pasteboards shared with the Talvo app: one owner-only property-list file per name in
// the user's runtime directory (never the system clipboard, which any program can read).
class TVPasteboard {
public:
    TVPasteboard() = delete;

    static QString directory();
    // Names become file names: letters, digits, ".", "_" and "-" only, not starting with ".".
    static bool isValidName(const QString& name);
    // Empty when the pasteboard does not exist, cannot be read or the name is not valid.
    static QVariantMap read(const QString& name);
    static bool write(const QString& name, const QVariantMap& items);
    static void remove(const QString& name);
};

#pragma once

#include <QMetaType>
#include <QString>
#include <QVariantMap>

// One downloadable item of the home page (an advert or a tile): its remote picture, the local
// file name, its title and what a touch opens.
class FileDO {
public:
    FileDO() = default;
    // An advert item: "image", "name", "data", "forNative", "storyBoardName", "viewName".
    static FileDO initWithDict(const QVariantMap& dict);
    // A home tile: "photo" and "title".
    static FileDO initWithDictOfMainConfig(const QVariantMap& dict);
    // The last path component of the whole address text, its query and escapes as they are
    // ("http://h/pic?id=1" gives "pic?id=1"); trailing slashes are dropped.
    static QString lastPathComponent(const QString& address);
    static constexpr int kMaxFileNameBytes = 251;
    // A file name that stays inside the directory it is joined to: not empty, not "." or
    // "..", no "/", "\" or NUL, and short enough to be written.
    static bool isSafeFileName(const QString& name);

    // The same file name; two records without a file name are never equal.
    bool operator==(const FileDO& other) const;

    QString strLastUpdate;
    QString strDescribeName;
    QString strFileName; // null until known
    QString strPath;
    QString strID;
    QString strLinkURL;
    int type = -1;
    int fileCategory = 0;
    qint64 sizeOfCurrent = 0;
    qint64 sizeOfFile = 0;
    QString forNative;
    QString storyBoardName;
    QString viewName;
};

Q_DECLARE_METATYPE(FileDO)

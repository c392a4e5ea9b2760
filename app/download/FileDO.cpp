#include "app/download/FileDO.h"

#include "app/categories/BFDicUtils.h"

QString FileDO::lastPathComponent(const QString& address) {
    // The address as written, query and escapes included: "pic?id=1" and "pic?id=2" are two
    // pictures. Trailing slashes do not count ("a/b/" gives "b").
    qsizetype end = address.size();
    while (end > 1 && address.at(end - 1) == QLatin1Char('/'))
        --end;
    const QString trimmed = address.left(end);
    return trimmed == QLatin1String("/") ? trimmed : trimmed.section(QLatin1Char('/'), -1);
}

bool FileDO::isSafeFileName(const QString& name) {
    // Room for the ".tmp" of a part file within the file system's 255 bytes.
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0)) && name.toUtf8().size() <= kMaxFileNameBytes;
}

FileDO FileDO::initWithDict(const QVariantMap& dict) {
    FileDO file;
    file.strPath = BFDicUtils::getString(dict, "image");
    file.strDescribeName = BFDicUtils::getString(dict, "name");
    file.strLinkURL = BFDicUtils::getString(dict, "data");
    file.forNative = BFDicUtils::getString(dict, "forNative");
    file.storyBoardName = BFDicUtils::getString(dict, "storyBoardName");
    file.viewName = BFDicUtils::getString(dict, "viewName");
    if (!file.strPath.isEmpty()) file.strFileName = lastPathComponent(file.strPath);
    return file;
}

FileDO FileDO::initWithDictOfMainConfig(const QVariantMap& dict) {
    FileDO file;
    file.strPath = BFDicUtils::getString(dict, "photo");
    file.strDescribeName = BFDicUtils::getString(dict, "title");
    file.strLinkURL = QString();
    file.strFileName = lastPathComponent(file.strPath);
    return file;
}

bool FileDO::operator==(const FileDO& other) const {
    return !strFileName.isNull() && !other.strFileName.isNull() && strFileName == other.strFileName;
}

#include "app/download/FileDO.h"

#include "app/categories/BFDicUtils.h"

#include <QUrl>

QString FileDO::lastPathComponent(const QString& address) {
    const QUrl url(address, QUrl::TolerantMode);
    const QString path = url.isValid() && !url.path().isEmpty() ? url.path() : address;
    return path.section(QLatin1Char('/'), -1);
}

bool FileDO::isSafeFileName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
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

#include "app/download/GroupFileDO.h"

#include "app/categories/BFDicUtils.h"

QString GroupFileDO::fileNameOfPath(const QString& path) {
    return path.section(QLatin1Char('='), -1);
}

GroupFileDO GroupFileDO::initWithDict(const QVariantMap& dict) {
    GroupFileDO group;
    for (FileDO* file : {&group.imgaeFile, &group.docFile}) {
        file->strID = BFDicUtils::getString(dict, "SUBJECTID");
        file->strLastUpdate = BFDicUtils::getString(dict, "UPDATEDT");
        file->strDescribeName = BFDicUtils::getString(dict, "RESOURCENAME");
    }
    group.imgaeFile.strPath = BFDicUtils::getString(dict, "PICPATH");
    group.docFile.strPath = BFDicUtils::getString(dict, "DOCPATH");
    group.imgaeFile.strFileName = fileNameOfPath(group.imgaeFile.strPath);
    group.docFile.strFileName = fileNameOfPath(group.docFile.strPath);
    group.docFile.type = int(BFDicUtils::getInt(dict, "PDF_TYPE"));
    return group;
}

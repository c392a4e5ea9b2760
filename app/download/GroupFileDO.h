#pragma once

#include "app/download/FileDO.h"

// A picture and a document described by one dictionary ("SUBJECTID", "UPDATEDT",
// "RESOURCENAME", "PICPATH", "DOCPATH", "PDF_TYPE").
class GroupFileDO {
public:
    GroupFileDO() = default;
    static GroupFileDO initWithDict(const QVariantMap& dict);
    // The text after the last "=" of a path (the whole path without one).
    static QString fileNameOfPath(const QString& path);

    QString imageFileName() const { return imgaeFile.strFileName; }
    QString docFileName() const { return docFile.strFileName; }
    QString imageDescribeName() const { return imgaeFile.strDescribeName; }
    QString docDescribeName() const { return docFile.strDescribeName; }
    QString imageFileUrlString() const { return imgaeFile.strPath; }
    QString docFileUrlString() const { return docFile.strPath; }
    QString imageID() const { return imgaeFile.strID; }
    QString docID() const { return docFile.strID; }
    int docType() const { return docFile.type; }

    FileDO imgaeFile;
    FileDO docFile;
};

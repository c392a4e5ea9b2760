#pragma once

#include <QString>
#include <QVariantMap>

// One orderable business or package offer of a reply.
class BanliDo {
public:
    BanliDo() = default;
    // Each field from the key of its name ("iconUrl" from "busiicon"); missing, empty or
    // non-text values give "".
    static BanliDo initWithMenuDict(const QVariantMap& dict);

    QString categoryid;
    QString marketid;
    QString sort;
    QString marketname;
    QString markettype;
    QString useflag;
    QString fee;
    QString brand;
    QString shortdesc;
    QString subscribers;
    QString configflag;
    QString iconUrl;
};

#pragma once

#include <QString>

#include "screens/shell/PlaceholderViewController.h"

// The discount activities: the fourth tab's root, and the manage tab's "ManageViewToDiscountView".
class DiscountViewController : public PlaceholderViewController {
    Q_OBJECT
public:
    explicit DiscountViewController(QObject* parent = nullptr);
    // Which screen opened it ("FromManage" from the manage tab).
    QString fromWhere() const { return m_fromWhere; }
    void setFromWhere(const QString& from) { m_fromWhere = from; }

private:
    QString m_fromWhere;
};

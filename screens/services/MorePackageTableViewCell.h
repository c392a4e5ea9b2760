#pragma once

#include "platform/ui/TableViewCell.h"
#include "screens/services/BanliDo.h"

namespace ui {
class ImageView;
class Label;
} // namespace ui

// A row of the offer lists (prototype "PackageChangeTableViewCell"): icon, name, description
// and subscriber count. Its height grows with the description, never below 112 points; the
// lists take the cell's height as the row's.
class MorePackageTableViewCell : public ui::TableViewCell {
    Q_OBJECT
public:
    static constexpr double kMinimumHeight = 112;
    static constexpr const char* kReuseIdentifier = "PackageChangeTableViewCell";

    explicit MorePackageTableViewCell(ui::View* parent = nullptr);

    void setBanliDO(const BanliDo& offer);
    BanliDo banliDO() const { return m_offer; }

    ui::ImageView* iconView() const { return m_icon; }
    ui::Label* nameLabel() const { return m_name; }
    ui::Label* descLabel() const { return m_desc; }
    ui::Label* subscribersLabel() const { return m_subscribers; }

private:
    BanliDo m_offer;
    ui::ImageView* m_icon = nullptr;
    ui::Label* m_name = nullptr;
    ui::Label* m_desc = nullptr;
    ui::Label* m_subscribers = nullptr;
};

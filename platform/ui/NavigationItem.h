#pragma once

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/View.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace ui {

class BarButtonItem;
class View;

// What the navigation bar shows while its screen is on top: title (or a title view), left and
// right buttons, and how the back button looks on the screens pushed above it. Items set here
// without an owner become owned by this item.
class NavigationItem : public QObject {
    Q_OBJECT
public:
    explicit NavigationItem(QObject* parent = nullptr);
    ~NavigationItem() override;

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    View* titleView() const { return m_titleView; }
    void setTitleView(View* view);

    BarButtonItem* leftBarButtonItem() const { return m_left; }
    void setLeftBarButtonItem(BarButtonItem* item, bool animated = false);
    BarButtonItem* rightBarButtonItem() const { return m_right; }
    void setRightBarButtonItem(BarButtonItem* item, bool animated = false);
    // The back button shown to return to this item's screen; its title replaces the default.
    BarButtonItem* backBarButtonItem() const { return m_back; }
    void setBackBarButtonItem(BarButtonItem* item);
    bool hidesBackButton() const { return m_hidesBack; }
    void setHidesBackButton(bool hides, bool animated = false);

signals:
    void changed();

private:
    void adopt(BarButtonItem* item);
    void drop(BarButtonItem* old, BarButtonItem* replacement);

    QString m_title;
    QPointer<View> m_titleView;
    QPointer<BarButtonItem> m_left;
    QPointer<BarButtonItem> m_right;
    QPointer<BarButtonItem> m_back;
    bool m_hidesBack = false;
};

} // namespace ui

#pragma once

#include <QString>

#include "platform/ui/TabBarController.h"

// The four main tabs inside the drawer container: home, query, manage and discounts, each a
// navigation stack whose root comes from storyboard "Main".
class TabBarViewController : public ui::TabBarController, public ui::TabBarControllerDelegate {
    Q_OBJECT
public:
    struct TabFace {
        QString title;
        QString image;
        QString selectedImage;
    };
    // Title and picture names of the tab whose item has this tag; other tags are blank.
    static TabFace faceForTag(int tag);

    explicit TabBarViewController(QObject* parent = nullptr);
    void viewDidLoad() override;
    void tabBarControllerDidSelectViewController(ui::TabBarController* tbc,
                                                 ui::ViewController* vc) override;
};

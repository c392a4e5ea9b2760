#include "screens/shell/TabBarViewController.h"

#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/ui/Image.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarItem.h"
#include "screens/shell/NavbarViewController.h"
#include "screens/shell/TavrixApplicationSpecific.h"

TAVRIX_REGISTER_SCENE("Main", "TabBarViewController", TabBarViewController);

TabBarViewController::TabFace TabBarViewController::faceForTag(int tag) {
    switch (tag) {
    case 0:
        return {"首页", "tabbar_home", "tabbar_homehighlight"};
    case 1:
        return {"查询", "tabbar_search", "tabbar_searchhighlight"};
    case 2:
        return {"办理", "tabbar_manage", "tabbar_managehighlight"};
    case 3:
        return {"优惠", "tabbar_discount", "tabbar_discounthighlight"};
    default:
        return {};
    }
}

TabBarViewController::TabBarViewController(QObject* parent) : ui::TabBarController(parent) {
    // What the storyboard's relationships give: a navigation stack per tab, tagged and titled
    // in order.
    QList<ui::ViewController*> tabs;
    for (int i = 0; i < tavrixConfig::tabRootNames().size(); ++i) {
        auto* nav = new NavbarViewController(
            ui::Storyboard::instantiateViewController("Main", tavrixConfig::tabRootNames()[i]));
        nav->tabBarItem()->setTag(i);
        nav->tabBarItem()->setTitle(faceForTag(i).title);
        tabs << nav;
    }
    setViewControllers(tabs);
    setDelegate(this);
}

void TabBarViewController::viewDidLoad() {
    ui::TabBarController::viewDidLoad();
    tabBar()->setSelectedImageTintColor(TavrixApplicationSpecific::tavrix_blueColor());
    for (ui::ViewController* vc : viewControllers()) {
        ui::TabBarItem* item = vc->tabBarItem();
        const TabFace face = faceForTag(item->tag());
        const QImage image = face.image.isEmpty() ? QImage() : ui::imageNamed(face.image);
        const QImage selected =
            face.selectedImage.isEmpty() ? QImage() : ui::imageNamed(face.selectedImage);
        if (!PublicFunction::isIOS7OrLater()) {
            // The title stays as the storyboard gave it.
            item->setFinishedSelectedImage(selected, image);
            continue;
        }
        item->setTitle(face.title);
        item->setRenderingMode(ui::TabBarItem::RenderingMode::Original);
        item->setImage(image);
        item->setSelectedImage(selected);
    }
}

void TabBarViewController::tabBarControllerDidSelectViewController(ui::TabBarController*,
                                                                   ui::ViewController*) {}

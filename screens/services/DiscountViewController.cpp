#include "screens/services/DiscountViewController.h"

#include "platform/ui/Storyboard.h"

TAVRIX_REGISTER_SCENE("Main", "DiscountViewController", DiscountViewController);
TAVRIX_REGISTER_SEGUE("ManageViewController", "ManageViewToDiscountView", Push, "Main",
                      "DiscountViewController");

DiscountViewController::DiscountViewController(QObject* parent)
    : PlaceholderViewController("优惠", parent) {}

#include "screens/services/SecurenumGuideViewController.h"

#include "platform/ui/Storyboard.h"

TAVRIX_REGISTER_SCENE("SecureNum", "SecurenumGuideViewController", SecurenumGuideViewController);

SecurenumGuideViewController::SecurenumGuideViewController(QObject* parent)
    : PlaceholderViewController("副号", parent) {}

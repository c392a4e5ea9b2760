#include "screens/shell/SkatingRinkViewController.h"

#include <QDebug>
#include <QLinearGradient>

#include "app/core/NotificationNames.h"
#include "app/core/PublicFunction.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/StoryboardSegue.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/View.h"
#include "screens/home/RootViewController.h"
#include "screens/shell/SideSlipViewController.h"
#include "screens/shell/TabBarViewController.h"

TAVRIX_REGISTER_SCENE("Main", "SkatingRinkViewController", SkatingRinkViewController);
TAVRIX_REGISTER_EMBED_SEGUE("SkatingRinkViewController", "SideSlipViewEmbedInSkatingRinkView",
                            "Main", "SideSlipViewController",
                            SkatingRinkViewController::kSideSlipTag);
TAVRIX_REGISTER_EMBED_SEGUE("SkatingRinkViewController", "RootViewEmbedInSkatingRinkView", "Main",
                            "TabBarViewController", SkatingRinkViewController::kRootContainerTag);

namespace {
constexpr double kShadowWidth = 8;
const char* const kAnimationKey = "drawer";
} // namespace

SkatingRinkViewController::SkatingRinkViewController(QObject* parent) : ViewController(parent) {
    m_tap = new ui::TapGestureRecognizer(this);
    m_tap->addTarget(this, [this](ui::GestureRecognizer*) { tapRootView(m_tap); });
    m_tap->setDelegate(this);
    m_pan = new ui::PanGestureRecognizer(this);
    m_pan->addTarget(this, [this](ui::GestureRecognizer*) { panGestureDone(m_pan); });
    m_pan->setDelegate(this);
}

SkatingRinkViewController::~SkatingRinkViewController() {
    ns::NotificationCenter::defaultCenter().removeObserver(this);
}

ui::TabBarController* SkatingRinkViewController::rightViewController() const {
    return m_right;
}

void SkatingRinkViewController::loadView() {
    ViewController::loadView();
    ui::View* root = view();
    // Underneath: the menu; over it, the shadow the tab bar casts; on top, the tab bar.
    m_sideSlipView = new ui::View(root->bounds(), root);
    m_sideSlipView->setTag(kSideSlipTag);
    m_shadowView =
        new ui::View(QRectF(-kShadowWidth, 0, kShadowWidth, root->bounds().height()), root);
    QLinearGradient shade(0, 0, kShadowWidth, 0);
    shade.setColorAt(0, QColor(0, 0, 0, 0));
    shade.setColorAt(1, QColor(0, 0, 0, int(255 * 0.8)));
    m_shadowView->setBackgroundBrush(shade);
    m_shadowView->setUserInteractionEnabled(false);
    m_rootContainerView = new ui::View(root->bounds(), root);
    m_rootContainerView->setTag(kRootContainerTag);
    connect(m_rootContainerView, &ui::View::frameChanged, this, [this] { layoutShadow(); });
}

void SkatingRinkViewController::layoutShadow() {
    const QRectF f = m_rootContainerView->frame();
    m_shadowView->setFrame(QRectF(f.x() - kShadowWidth, f.y(), kShadowWidth, f.height()));
}

void SkatingRinkViewController::prepareForSegue(ui::StoryboardSegue* segue, QObject* sender) {
    ViewController::prepareForSegue(segue, sender);
    if (segue->identifier() == "SideSlipViewEmbedInSkatingRinkView")
        m_left = qobject_cast<SideSlipViewController*>(segue->destinationViewController());
    else if (segue->identifier() == "RootViewEmbedInSkatingRinkView")
        m_right = qobject_cast<TabBarViewController*>(segue->destinationViewController());
}

void SkatingRinkViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    view()->setBackgroundColor(Qt::black);
    m_openState = Closed;
    const QRectF frame = view()->frame();
    m_rootContainerView->setFrame(QRectF(frame.x(), 0, frame.width(), frame.height()));
    m_sideSlipView->setFrame(QRectF(kMenuClosedX, 0, frame.width(), frame.height()));
}

void SkatingRinkViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    auto& center = ns::NotificationCenter::defaultCenter();
    center.removeObserver(this); // never twice
    center.addObserver(this, notification::kHideSideSlipView, nullptr,
                       [this](const ns::Notification&) { hideSideSlipView(); });
    center.addObserver(this, notification::kShowSideSlipView, nullptr,
                       [this](const ns::Notification&) { ShowSideSlipView(); });
    center.addObserver(this, notification::kPushToLoginVeiw, nullptr,
                       [this](const ns::Notification&) { pushToLoginView(); });
    center.addObserver(this, notification::kAddPanGestureToRootView, nullptr,
                       [this](const ns::Notification&) { addPanGestureToRootView(); });
    center.addObserver(this, notification::kRemovePanGestureFromRootView, nullptr,
                       [this](const ns::Notification&) { removePanGestureFromRootView(); });
}

void SkatingRinkViewController::viewWillDisappear(bool animated) {
    ViewController::viewWillDisappear(animated);
    ns::NotificationCenter::defaultCenter().removeObserver(this);
}

void SkatingRinkViewController::showRight(bool show) {
    if (show)
        openingAnimation();
    else
        closingAnimation();
}

void SkatingRinkViewController::tapRootView(QObject*) {
    showRight(false);
}

void SkatingRinkViewController::placeDrawer(double tabBarX, double menuX) {
    QRectF tabBar = m_rootContainerView->frame();
    tabBar.moveLeft(tabBarX);
    m_rootContainerView->setFrame(tabBar);
    QRectF menu = m_sideSlipView->frame();
    menu.moveLeft(menuX);
    m_sideSlipView->setFrame(menu);
}

void SkatingRinkViewController::panGestureDone(ui::PanGestureRecognizer* recognizer) {
    const QPointF location = recognizer->locationInView(view());
    const QPointF velocity = recognizer->velocityInView(view());
    switch (recognizer->state()) {
    case ui::GestureRecognizer::State::Began:
        m_panGestureStartLocation = location;
        if (m_openState == Closed)
            willOpen();
        else
            willClose();
        break;
    case ui::GestureRecognizer::State::Changed: {
        double d = 0;
        if (m_openState == Opening)
            d = location.x() - m_panGestureStartLocation.x();
        else if (m_openState == Closing)
            d = kTabBarOpenX - (m_panGestureStartLocation.x() - location.x());
        if (d > kTabBarOpenX)
            placeDrawer(kTabBarOpenX, kMenuOpenX);
        else if (d < 0)
            placeDrawer(0, kMenuClosedX);
        else
            placeDrawer(d, kMenuClosedX + d * kMenuTravel / kTabBarOpenX);
        break;
    }
    case ui::GestureRecognizer::State::Ended: {
        const double x = m_rootContainerView->frame().x();
        const double width = view()->frame().width();
        if (m_openState == Opening) {
            if (x == kTabBarOpenX) {
                didOpen();
            } else if (x > width / 4 && velocity.x() > 0) {
                openingAnimation();
            } else {
                didOpen();
                willClose();
                closingAnimation();
            }
        } else if (m_openState == Closing) {
            if (x == 0) {
                didClose();
            } else if (x < 2 * width / 3 && velocity.x() < 0) {
                closingAnimation();
            } else {
                didClose();
                willOpen();
                openingAnimation();
            }
        }
        break;
    }
    default:
        break;
    }
}

bool SkatingRinkViewController::gestureRecognizerShouldReceiveTouch(ui::GestureRecognizer*,
                                                                    const ui::Touch& touch) {
    // The screen that owns the touched view's superview decides: drags open the drawer only
    // from the home page, while any screen may move an open (or moving) drawer.
    ui::View* start = touch.view ? touch.view->superview() : nullptr;
    const ui::ViewController* owner = ui::ViewController::enclosingViewController(start);
    if (qobject_cast<const RootViewController*>(owner)) return true;
    return m_openState != Closed;
}

void SkatingRinkViewController::willOpen() {
    m_openState = Opening;
    if (m_right) m_right->view()->setUserInteractionEnabled(true);
}

void SkatingRinkViewController::willClose() {
    m_openState = Closing;
    if (m_right) m_right->view()->setUserInteractionEnabled(false);
}

void SkatingRinkViewController::didOpen() {
    m_openState = Open;
    if (m_right) m_right->view()->setUserInteractionEnabled(false);
    m_rootContainerView->addGestureRecognizer(m_tap);
}

void SkatingRinkViewController::didClose() {
    m_openState = Closed;
    if (m_right) m_right->view()->setUserInteractionEnabled(true);
    m_rootContainerView->removeGestureRecognizer(m_tap);
}

void SkatingRinkViewController::animateDrawer(const QRectF& tabBarTo, const QRectF& menuTo,
                                              bool opening, std::function<void()> completion) {
    const QRectF tabBarFrom = m_rootContainerView->frame();
    const QRectF menuFrom = m_sideSlipView->frame();
    QPointer<ui::View> tabBar = m_rootContainerView;
    QPointer<ui::View> menu = m_sideSlipView;
    auto lerp = [](const QRectF& a, const QRectF& b, double t) {
        return QRectF(a.x() + (b.x() - a.x()) * t, a.y() + (b.y() - a.y()) * t,
                      a.width() + (b.width() - a.width()) * t,
                      a.height() + (b.height() - a.height()) * t);
    };
    auto step = [=, this](double t) {
        if (!tabBar || !menu) return;
        tabBar->setFrame(lerp(tabBarFrom, tabBarTo, t));
        menu->setFrame(lerp(menuFrom, menuTo, t));
        if (opening) view()->layoutIfNeeded();
    };
    // Whether or not it ran to its end: an interrupted animation must still settle the state.
    auto done = [completion](bool) { completion(); };
    if (!PublicFunction::isIOS7OrLater())
        ui::Animation::run(this, kAnimationKey, 0.4, ui::Animation::Curve::EaseInOut, step, done);
    else if (opening)
        ui::Animation::runSpring(this, kAnimationKey, 0.9, 0.8, 10, step, done);
    else
        ui::Animation::runSpring(this, kAnimationKey, 0.7, 1.0, 0.5, step, done);
}

void SkatingRinkViewController::openingAnimation() {
    const QRectF bounds = view()->bounds();
    animateDrawer(bounds.translated(kTabBarOpenX - bounds.x(), 0),
                  bounds.translated(kMenuOpenX - bounds.x(), 0), true, [this] { didOpen(); });
}

void SkatingRinkViewController::closingAnimation() {
    const QRectF bounds = view()->bounds();
    QRectF menu = m_rootContainerView->frame();
    menu.moveLeft(kMenuClosedX);
    animateDrawer(QRectF(QPointF(0, 0), bounds.size()), menu, false, [this] { didClose(); });
    // The drawer is closing for good: the tab bar takes input again now, not when the spring's
    // last, invisible fraction of a point has run out (a click there was taken as another
    // tap on the drawer, and the screen underneath never saw it).
    didClose();
}

void SkatingRinkViewController::hideSideSlipView() {
    const QRectF from = m_rootContainerView->frame();
    QRectF off = from;
    off.moveLeft(view()->frame().width());
    QPointer<ui::View> tabBar = m_rootContainerView;
    ui::Animation::run(
        this, kAnimationKey, 0.2, ui::Animation::Curve::EaseInOut,
        [tabBar, from, off](double t) {
            if (tabBar) tabBar->setFrame(from.translated((off.x() - from.x()) * t, 0));
        },
        [this](bool finished) {
            // When another drawer animation took over, that one settles the state.
            if (finished) closingAnimation();
        });
    // A function was chosen: its screen, pushed meanwhile, answers while the tab bar slides.
    didClose();
}

void SkatingRinkViewController::ShowSideSlipView() {
    showRight(m_openState != Open);
}

void SkatingRinkViewController::pushToLoginView() {
    ui::ViewController* login =
        ui::Storyboard::instantiateViewController("Main", "LoginViewController");
    ui::NavigationController* nav = navigationController();
    if (!login || !nav) {
        qWarning() << "no log-in screen to return to";
        if (login) ui::ViewController::releaseLater(login);
        return;
    }
    nav->setNavigationBarHidden(false);
    nav->pushViewController(login, true);
}

void SkatingRinkViewController::addPanGestureToRootView() {
    m_rootContainerView->addGestureRecognizer(m_pan);
}

void SkatingRinkViewController::removePanGestureFromRootView() {
    m_rootContainerView->removeGestureRecognizer(m_pan);
}

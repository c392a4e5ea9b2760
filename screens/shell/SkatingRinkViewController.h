#pragma once

#include <QPointF>
#include <QPointer>

#include "app/core/DrawerContainer.h"
#include "app/core/ViewController.h"
#include "screens/shell/SideSlipViewController.h"
#include "screens/shell/TabBarViewController.h"
#include "platform/ui/GestureRecognizer.h"

namespace ui {
class PanGestureRecognizer;
class TapGestureRecognizer;
class View;
} // namespace ui

// The main screen after log-in: the drawer menu underneath on the left and the tab bar on top.
// Opening the drawer slides the tab bar right by 200 points and the menu in by 78.
class SkatingRinkViewController : public ViewController,
                                  public DrawerContainer,
                                  public ui::GestureRecognizerDelegate {
    Q_OBJECT
public:
    enum OpenState : quint32 { Closed = 0, Opening = 1, Open = 2, Closing = 3 };
    static constexpr double kTabBarOpenX = 200;
    static constexpr double kMenuClosedX = -88;
    static constexpr double kMenuOpenX = -10;
    static constexpr double kMenuTravel = kMenuOpenX - kMenuClosedX;
    // Tags of the two holder views the embedded screens fill.
    static constexpr int kRootContainerTag = 7001;
    static constexpr int kSideSlipTag = 7002;

    explicit SkatingRinkViewController(QObject* parent = nullptr);
    ~SkatingRinkViewController() override;

    ui::View* rootContainerView() const { return m_rootContainerView; }
    ui::View* sideSlipView() const { return m_sideSlipView; }
    ui::TabBarController* rightViewController() const override;
    SideSlipViewController* leftViewController() const { return m_left; }
    ui::TapGestureRecognizer* tapGestureRecognizer() const { return m_tap; }
    ui::PanGestureRecognizer* panGestureRecognizer() const { return m_pan; }
    quint32 openState() const { return m_openState; }
    QPointF panGestureStartLocation() const { return m_panGestureStartLocation; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void prepareForSegue(ui::StoryboardSegue* segue, QObject* sender) override;

    void showRight(bool show);
    void tapRootView(QObject* sender);
    void panGestureDone(ui::PanGestureRecognizer* recognizer);
    bool gestureRecognizerShouldReceiveTouch(ui::GestureRecognizer* recognizer,
                                             const ui::Touch& touch) override;

    void willOpen();
    void willClose();
    void didOpen();
    void didClose();
    void openingAnimation();
    void closingAnimation() override;

    // Notification handlers.
    void hideSideSlipView();
    void ShowSideSlipView();
    void pushToLoginView();
    void addPanGestureToRootView();
    void removePanGestureFromRootView();

protected:
    void loadView() override;

private:
    // Moves both holders; the menu keeps its own y, width and height.
    void placeDrawer(double tabBarX, double menuX);
    // Animates both holders to their targets; the completion always runs, even when a later
    // animation interrupts this one, so the open-state never stays half-way.
    void animateDrawer(const QRectF& tabBarTo, const QRectF& menuTo, bool opening,
                       std::function<void()> completion);
    void layoutShadow();

    ui::View* m_rootContainerView = nullptr;
    ui::View* m_sideSlipView = nullptr;
    ui::View* m_shadowView = nullptr;
    QPointer<TabBarViewController> m_right;
    QPointer<SideSlipViewController> m_left;
    ui::TapGestureRecognizer* m_tap = nullptr;
    ui::PanGestureRecognizer* m_pan = nullptr;
    quint32 m_openState = Closed;
    QPointF m_panGestureStartLocation;
};

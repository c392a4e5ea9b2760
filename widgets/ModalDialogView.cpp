#include "widgets/ModalDialogView.h"

#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "widgets/InterfaceOrientation.h"
#include "widgets/ModalDialogBox.h"
#include "widgets/QPainterCanvas.h"

#include <QRectF>
#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDuration = 0.2;
constexpr double kDimAlpha = 0.4;
const QSizeF kDefaultContentSize(300, 150);

double g_buttonHeight = 0;
double g_buttonSpacerHeight = 0;

double rotationFor(int orientation, double current) {
    switch (orientation) {
    case InterfaceOrientation::PortraitUpsideDown:
        return kPi - current;
    case InterfaceOrientation::LandscapeRight:
        return kPi / 2 - current;
    case InterfaceOrientation::LandscapeLeft:
        return 3 * kPi / 2 - current;
    default:
        return -current;
    }
}

} // namespace

ModalDialogView::ModalDialogView() : View(nullptr) {
    setFrame(QRectF(0, 0, ns::DeviceInfo::kScreenWidth, ns::DeviceInfo::kScreenHeight));
    m_delegate.reset(this);
    auto& center = ns::NotificationCenter::defaultCenter();
    center.addObserver(this, QStringLiteral("UIDeviceOrientationDidChangeNotification"), nullptr,
                       [this](const ns::Notification&) { deviceOrientationDidChange(); });
    center.addObserver(this, QStringLiteral("UIKeyboardWillShowNotification"), nullptr,
                       [this](const ns::Notification& n) { keyboardWillShow(n.userInfo); });
    center.addObserver(this, QStringLiteral("UIKeyboardWillHideNotification"), nullptr,
                       [this](const ns::Notification&) { keyboardWillHide(); });
}

ModalDialogView::ModalDialogView(View* parentView) : ModalDialogView() {
    if (parentView) {
        setFrame(parentView->frame());
        m_parentView = parentView;
    }
}

ModalDialogView::~ModalDialogView() {
    ns::NotificationCenter::defaultCenter().removeObserver(this);
}

double ModalDialogView::buttonHeight() {
    return g_buttonHeight;
}

double ModalDialogView::buttonSpacerHeight() {
    return g_buttonSpacerHeight;
}

QSizeF ModalDialogView::countScreenSize() {
    const bool hasButtons = !m_buttonTitles.isEmpty();
    g_buttonHeight = hasButtons ? 50 : 0;
    g_buttonSpacerHeight = hasButtons ? 1 : 0;
    double w = ns::DeviceInfo::kScreenWidth;
    double h = ns::DeviceInfo::kScreenHeight;
    if (InterfaceOrientation::isLandscape(InterfaceOrientation::statusBarOrientation()))
        std::swap(w, h);
    return {w, h};
}

QSizeF ModalDialogView::countDialogSize() const {
    const QSizeF content = m_containerView ? m_containerView->frame().size() : kDefaultContentSize;
    return {content.width(), content.height() + g_buttonHeight + g_buttonSpacerHeight};
}

ModalDialogBox* ModalDialogView::createContainerView() {
    if (!m_containerView) m_containerView = new View(QRectF(QPointF(0, 0), kDefaultContentSize));
    const QSizeF screen = countScreenSize();
    const QSizeF dialog = countDialogSize();
    setFrame(QRectF(0, 0, screen.width(), screen.height()));

    auto* box = new ModalDialogBox(QRectF((screen.width() - dialog.width()) / 2,
                                          (screen.height() - dialog.height()) / 2, dialog.width(),
                                          dialog.height()));
    auto* separator =
        new View(QRectF(0, box->frame().height() - g_buttonHeight - g_buttonSpacerHeight,
                        box->frame().width(), g_buttonSpacerHeight),
                 box);
    separator->setBackgroundColor(ModalDialogBox::separatorColor());
    box->addSubview(m_containerView);
    addButtonsToView(box);
    return box;
}

void ModalDialogView::addButtonsToView(View* box) {
    if (!box || m_buttonTitles.isEmpty()) return;
    const double width = box->frame().width() / m_buttonTitles.size();
    const double height = box->frame().height();
    for (int i = 0; i < m_buttonTitles.size(); ++i) {
        auto* button =
            new ui::Button(QRectF(i * width, height - g_buttonHeight, width, g_buttonHeight), box);
        button->setTag(i);
        button->setTitle(m_buttonTitles.at(i), ui::Control::Normal);
        button->setTitleColor(QColor::fromRgbF(0, 0.5, 1, 1), ui::Control::Normal);
        button->setTitleColor(QColor::fromRgbF(0.2, 0.2, 0.2, 0.5), ui::Control::Highlighted);
        button->titleLabel()->setFont(ui::Font::boldSystemFontOfSize(14));
        button->setCornerRadius(ModalDialogBox::kCornerRadius);
        button->addTarget(
            this, [this, button](ui::Control*) { modalDialogButtonTouchUpInside(button); },
            ui::Control::TouchUpInside);
        // The one divider stands at the middle of the box, drawn after the second button.
        if (i == 1) {
            auto* line = new View(
                QRectF(box->frame().width() / 2, height - g_buttonHeight, 1, g_buttonHeight), box);
            line->setBackgroundColor(ModalDialogBox::separatorColor());
        }
    }
}

void ModalDialogView::applyMotionEffects() {
    // A desktop has no tilt sensor: nothing moves the box.
}

void ModalDialogView::setDimming(double alpha) {
    setBackgroundColor(QColor::fromRgbF(0, 0, 0, alpha));
}

void ModalDialogView::show() {
    if (m_dialogView || m_closing) return;
    m_dialogView = createContainerView();
    if (m_useMotionEffects) applyMotionEffects();

    ModalDialogBox* box = m_dialogView;
    box->setAlpha(0.5);
    box->setScale(1.3);
    setDimming(0);
    addSubview(box);

    if (!m_parentView) {
        const int orientation = InterfaceOrientation::statusBarOrientation();
        if (orientation == InterfaceOrientation::PortraitUpsideDown)
            box->setRotation(kPi);
        else if (orientation == InterfaceOrientation::LandscapeRight)
            box->setRotation(kPi / 2);
        else if (orientation == InterfaceOrientation::LandscapeLeft)
            box->setRotation(3 * kPi / 2);
        setFrame(QRectF(QPointF(0, 0), frame().size()));
        if (ui::Window* window = ui::Window::keyWindow(); window && window->rootView())
            window->rootView()->addSubview(this);
    } else {
        m_parentView->addSubview(this);
    }

    QPointer<ModalDialogBox> guard(box);
    ui::Animation::run(this, QStringLiteral("dialog"), kDuration, ui::Animation::Curve::EaseInOut,
                       [this, guard](double p) {
                           setDimming(kDimAlpha * p);
                           if (!guard) return;
                           guard->setAlpha(0.5 + 0.5 * p);
                           guard->setScale(1.3 + (1.0 - 1.3) * p);
                           update();
                       });
}

void ModalDialogView::close() {
    if (m_closing) return;
    m_closing = true;
    ModalDialogBox* box = m_dialogView;
    QPointer<ModalDialogBox> guard(box);
    const double keptScale = box ? box->scale() : 1.0;
    if (box) box->setAlpha(1);
    const double startDim = backgroundColor().alphaF();
    ui::Animation::run(
        this, QStringLiteral("dialog"), kDuration, ui::Animation::Curve::EaseInOut,
        [this, guard, keptScale, startDim](double p) {
            setDimming(startDim * (1 - p));
            if (!guard) return;
            guard->setScale(keptScale * (1 + (0.6 - 1) * p));
            guard->setAlpha(1 - p);
            update();
        },
        [this](bool) {
            for (View* sub : subviews()) {
                sub->removeFromSuperview();
                sub->deleteLater();
            }
            removeFromSuperview();
            deleteLater();
        });
}

void ModalDialogView::modalDialogButtonTouchUpInside(ui::Button* sender) {
    if (!sender) return;
    const int index = sender->View::tag();
    QPointer<ModalDialogView> self(this);
    if (ModalDialogViewDelegate* d = m_delegate.get())
        d->modalDialogButtonTouchUpInside(this, index);
    else if (m_delegateGiven)
        close(); // whoever would have closed it has gone
    // The delegate may have destroyed the dialog.
    if (self && m_onButtonTouchUpInside) m_onButtonTouchUpInside(this, index);
}

void ModalDialogView::closeWithScreen(ui::ViewController* screen) {
    if (!screen) return;
    QPointer<ModalDialogView> self(this);
    screen->keepOverWindowWhileShown(this, [self] {
        if (self) self->close();
    });
}

void ModalDialogView::modalDialogButtonTouchUpInside(ModalDialogView*, int) {
    close();
}

QRectF ModalDialogView::centredBoxFrame(double keyboardHeight) {
    const QSizeF screen = countScreenSize();
    const QSizeF dialog = countDialogSize();
    return {(screen.width() - dialog.width()) / 2,
            (screen.height() - keyboardHeight - dialog.height()) / 2, dialog.width(),
            dialog.height()};
}

void ModalDialogView::deviceOrientationDidChange() {
    if (m_parentView || !m_dialogView) return;
    const double target =
        rotationFor(InterfaceOrientation::statusBarOrientation(), m_dialogView->rotation());
    QPointer<ModalDialogBox> box(m_dialogView);
    const double from = box->rotation();
    ui::Animation::run(box, QStringLiteral("rotation"), kDuration, ui::Animation::Curve::EaseInOut,
                       [box, from, target](double p) {
                           if (box) box->setRotation(from + (target - from) * p);
                       });
}

void ModalDialogView::keyboardWillShow(const QVariantMap& userInfo) {
    if (!m_dialogView) return;
    // The phone reports the keyboard's start frame; ours may carry only the end frame.
    QVariant frameValue = userInfo.value(QStringLiteral("UIKeyboardFrameBeginUserInfoKey"));
    if (!frameValue.isValid())
        frameValue = userInfo.value(QStringLiteral("UIKeyboardFrameEndUserInfoKey"));
    const QSizeF keyboard = frameValue.toRectF().size();
    const bool landscape =
        InterfaceOrientation::isLandscape(InterfaceOrientation::statusBarOrientation());
    const double height = landscape ? keyboard.width() : keyboard.height();
    ui::Animation::animateFrame(m_dialogView, centredBoxFrame(height), kDuration);
}

void ModalDialogView::keyboardWillHide() {
    if (!m_dialogView) return;
    ui::Animation::animateFrame(m_dialogView, centredBoxFrame(0), kDuration);
}

void ModalDialogView::drawRect(QPainter& painter, const QRectF&) {
    if (!m_dialogView || m_dialogView->isHidden()) return;
    QPainterCanvas canvas(painter);
    m_dialogView->drawShadow(canvas);
}

#include "widgets/StatusOverlay.h"

#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"
#include "widgets/FittingLabel.h"
#include "widgets/InterfaceOrientation.h"
#include "widgets/QPainterCanvas.h"
#include "widgets/SpinnerView.h"
#include "widgets/ZoomEffect.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kFade = 0.15;
constexpr double kStatusBarHeight = 20;
const QString kShowKey = QStringLiteral("show");
const QString kDismissKey = QStringLiteral("dismiss");
const QString kMoveKey = QStringLiteral("move");

const QStringList kObserved = {
    QStringLiteral("UIApplicationDidChangeStatusBarOrientationNotification"),
    QStringLiteral("UIKeyboardWillHideNotification"),
    QStringLiteral("UIKeyboardDidHideNotification"),
    QStringLiteral("UIKeyboardWillShowNotification"),
    QStringLiteral("UIKeyboardDidShowNotification")};

QSizeF screenSize() {
    return {ns::DeviceInfo::kScreenWidth, ns::DeviceInfo::kScreenHeight};
}

} // namespace

StatusOverlay::StatusOverlay() : View(QRectF(QPointF(0, 0), screenSize())) {
    setUserInteractionEnabled(false);
    setBackgroundColor(Qt::transparent);
    setAlpha(0);
}

StatusOverlay* StatusOverlay::sharedView() {
    // Lives for the process, like the platform's shared overlay.
    static StatusOverlay* shared = new StatusOverlay;
    return shared;
}

StatusOverlay::Placement StatusOverlay::positionFor(const QSizeF& screen, const QSizeF& statusBar,
                                                    int orientation, double keyboardHeight) {
    QSizeF frame = screen;
    QSizeF bar = statusBar;
    if (InterfaceOrientation::isLandscape(orientation)) {
        frame.transpose();
        bar.transpose();
    }
    double activeHeight = frame.height();
    if (keyboardHeight > 0) activeHeight += 2 * bar.height();
    activeHeight -= keyboardHeight;
    const double posY = std::floor(activeHeight * 0.45);
    const double posX = frame.width() / 2;
    switch (orientation) {
    case InterfaceOrientation::LandscapeLeft:
        return {{posY, posX}, -kPi / 2};
    case InterfaceOrientation::LandscapeRight:
        return {{frame.height() - posY, posX}, kPi / 2};
    case InterfaceOrientation::PortraitUpsideDown:
        return {{posX, frame.height() - posY}, kPi};
    default:
        return {{posX, posY}, 0};
    }
}

StatusOverlay::Layout StatusOverlay::layoutFor(const QSizeF& statusSize, bool hasStatus) {
    Layout l;
    if (!hasStatus) {
        l.boxBounds = QRectF(0, 0, 100, 100);
        l.labelFrame = QRectF();
        l.imageCenter = QPointF(50, 50);
        l.spinnerCenter = QPointF(std::ceil(50.0) + 0.5, std::ceil(50.0) + 0.5);
        return l;
    }
    const double sw = statusSize.width(), sh = statusSize.height();
    const double boxHeight = sh + 80;
    const double textWidth = sw > 100 ? std::ceil(sw / 2) * 2 : 100;
    l.boxBounds = QRectF(0, 0, textWidth + 24, boxHeight);
    // More than one line: inset the text from the box's edges.
    l.labelFrame =
        boxHeight > 100 ? QRectF(12, 66, textWidth, sh) : QRectF(0, 66, textWidth + 24, sh);
    l.imageCenter = QPointF(l.boxBounds.width() / 2, 36);
    l.spinnerCenter = QPointF(std::ceil(l.boxBounds.width() / 2) + 0.5, 40.5);
    return l;
}

QImage StatusOverlay::successImage() {
    return ui::imageNamed(QStringLiteral("StatusOverlay.bundle/success"));
}

QImage StatusOverlay::errorImage() {
    return ui::imageNamed(QStringLiteral("StatusOverlay.bundle/error"));
}

ui::View* StatusOverlay::overlayWindow() {
    if (!m_overlayWindow) {
        m_overlayWindow = new ui::View(QRectF(QPointF(0, 0), screenSize()));
        m_overlayWindow->setBackgroundColor(Qt::transparent);
        m_overlayWindow->setUserInteractionEnabled(false);
        m_overlayWindow->setHidden(true);
        // Above everything the application shows.
        if (ui::Window* window = ui::Window::keyWindow(); window && window->rootView()) {
            window->rootView()->addSubview(m_overlayWindow);
            m_overlayWindow->raise();
        }
    }
    return m_overlayWindow;
}

ui::View* StatusOverlay::hudView() {
    if (!m_hudView) {
        m_hudView = new ui::View(QRectF(), this);
        m_hudView->setCornerRadius(10);
        m_hudView->setBackgroundColor(QColor::fromRgbF(0, 0, 0, 0.8));
    }
    return m_hudView;
}

ui::ImageView* StatusOverlay::imageView() {
    if (!m_imageView) m_imageView = new ui::ImageView(QRectF(0, 0, 28, 28));
    if (!m_imageView->superview()) hudView()->addSubview(m_imageView);
    return m_imageView;
}

SpinnerView* StatusOverlay::spinnerView() {
    if (!m_spinnerView) {
        m_spinnerView = new SpinnerView(SpinnerView::Style::WhiteLarge);
        m_spinnerView->setHidesWhenStopped(true);
    }
    if (!m_spinnerView->superview()) hudView()->addSubview(m_spinnerView);
    return m_spinnerView;
}

FittingLabel* StatusOverlay::stringLabel() {
    if (!m_stringLabel) {
        auto* label = new FittingLabel(QRectF());
        label->setAdjustsFontSizeToFitWidth(true);
        label->setShadowColor(Qt::black);
        label->setShadowOffset(QPointF(0, -1));
        m_stringLabel = label;
        m_stringLabel->setTextColor(Qt::white);
        m_stringLabel->setBackgroundColor(Qt::transparent);
        m_stringLabel->setTextAlignment(ui::TextAlignment::Center);
        m_stringLabel->setFont(ui::Font::boldSystemFontOfSize(12));
        m_stringLabel->setNumberOfLines(0);
    }
    if (!m_stringLabel->superview()) hudView()->addSubview(m_stringLabel);
    return m_stringLabel;
}

void StatusOverlay::applyStatus(const QString& status) {
    const bool has = !status.isNull();
    QSizeF measured;
    if (has)
        measured = ui::Label::boundingRectForText(status, stringLabel()->font(), QSizeF(200, 300));
    const Layout l = layoutFor(measured, has);
    ui::View* box = hudView();
    const QPointF c = box->frame().center();
    box->setFrame(QRectF(c.x() - l.boxBounds.width() / 2, c.y() - l.boxBounds.height() / 2,
                         l.boxBounds.width(), l.boxBounds.height()));
    ui::Label* label = stringLabel();
    label->setHidden(false);
    label->setText(status);
    label->setFrame(l.labelFrame);
    imageView()->setCenter(l.imageCenter);
    spinnerView()->setCenter(l.spinnerCenter);
}

void StatusOverlay::showWithStatusMaskTypeNetworkIndicator(const QString& status, unsigned maskType,
                                                           bool) {
    // A show during the exit ends the exit first; the overlay then comes up afresh.
    ui::Animation::finish(this, kDismissKey);
    ui::View* window = overlayWindow();
    if (superview() != window) window->addSubview(this);
    m_fadeOutTimer.cancel();
    imageView()->setHidden(true);
    m_maskType = maskType;
    applyStatus(status);
    spinnerView()->startAnimating();
    // Mask 1 lets touches through to the application; the others block them.
    window->setUserInteractionEnabled(maskType != None);
    (maskType != None ? static_cast<QWidget*>(this) : hudView())->setAccessibleName(status);
    window->setHidden(false);
    positionHUD();
    if (!m_visible) {
        m_visible = true;
        registerNotifications();
        const double startScale = m_hudScale * 1.3;
        const double startAlpha = alpha();
        setHudScale(startScale);
        ui::Animation::run(this, kShowKey, kFade, ui::Animation::Curve::EaseOut,
                           [this, startScale, startAlpha](double p) {
                               setHudScale(startScale * (1 + (1 / 1.3 - 1) * p));
                               setAlpha(startAlpha + (kShownAlpha - startAlpha) * p);
                           });
    }
    update();
}

void StatusOverlay::showImage(const QImage& image, const QString& status, double duration) {
    if (!m_visible) show();
    showImageNoDuration(image, status, m_maskType);
    setFadeOutTimer(duration);
}

void StatusOverlay::showImage(const QImage& image, const QString& status, double duration,
                              unsigned maskType) {
    showImageNoDuration(image, status, maskType);
    setFadeOutTimer(duration);
}

void StatusOverlay::showImageNoDuration(const QImage& image, const QString& status,
                                        unsigned maskType) {
    if (!m_visible) showWithMaskType(maskType);
    ui::ImageView* view = imageView();
    view->setImage(image);
    view->setHidden(false);
    applyStatus(status);
    spinnerView()->stopAnimating();
}

void StatusOverlay::hideAfterDuration(double duration) {
    setFadeOutTimer(duration);
}

void StatusOverlay::setFadeOutTimer(double seconds) {
    m_fadeOutTimer.start(std::llround(std::max(0.0, seconds) * 1000), this,
                         [this] { dismissSelf(); });
}

void StatusOverlay::dismissSelf() {
    m_visible = false;
    m_fadeOutTimer.cancel();
    ui::Animation::finish(this, kShowKey);
    hudView();
    const double startScale = m_hudScale;
    const double startAlpha = alpha();
    ui::Animation::run(
        this, kDismissKey, kFade, ui::Animation::Curve::EaseIn,
        [this, startScale, startAlpha](double p) {
            setHudScale(startScale * (1 + (0.8 - 1) * p));
            setAlpha(startAlpha * (1 - p));
        },
        [this](bool) {
            // A show since then keeps everything in place.
            if (!m_visible && alpha() == 0) teardown();
        });
}

void StatusOverlay::setHudScale(double scale) {
    m_hudScale = scale;
    ZoomEffect::apply(hudView(), scale);
}

void StatusOverlay::teardown() {
    ns::NotificationCenter::defaultCenter().removeObserver(this);
    m_registered = false;
    // The content survives the box and moves into the next one.
    for (ui::View* v :
         {static_cast<ui::View*>(m_imageView.data()), static_cast<ui::View*>(m_spinnerView.data()),
          static_cast<ui::View*>(m_stringLabel.data())})
        if (v) v->removeFromSuperview();
    delete m_hudView.data();
    m_hudScale = 1;
    m_hudRotation = 0;
    removeFromSuperview();
    delete m_overlayWindow.data();
}

void StatusOverlay::registerNotifications() {
    if (m_registered) return;
    m_registered = true;
    auto& center = ns::NotificationCenter::defaultCenter();
    for (const QString& name : kObserved)
        center.addObserver(this, name, nullptr,
                           [this](const ns::Notification& n) { positionHUD(n.name, n.userInfo); });
}

double StatusOverlay::visibleKeyboardHeight() const {
    return ui::Keyboard::frame().height();
}

void StatusOverlay::positionHUD(const QString& notificationName, const QVariantMap& userInfo) {
    const int orientation = InterfaceOrientation::statusBarOrientation();
    const bool landscape = InterfaceOrientation::isLandscape(orientation);
    double keyboardHeight = 0;
    double duration = 0;
    if (notificationName.isEmpty()) {
        keyboardHeight = visibleKeyboardHeight();
    } else {
        QVariant frame = userInfo.value(QStringLiteral("UIKeyboardFrameBeginUserInfoKey"));
        if (!frame.isValid())
            frame = userInfo.value(QStringLiteral("UIKeyboardFrameEndUserInfoKey"));
        duration =
            userInfo.value(QStringLiteral("UIKeyboardAnimationDurationUserInfoKey")).toDouble();
        if (notificationName == QLatin1String("UIKeyboardWillShowNotification") ||
            notificationName == QLatin1String("UIKeyboardDidShowNotification")) {
            const QRectF r = frame.toRectF();
            keyboardHeight = landscape ? r.width() : r.height();
        }
    }
    const double barHeight =
        ui::Application::sharedApplication().isStatusBarHidden() ? 0 : kStatusBarHeight;
    // The bar as the platform reports it: fixed portrait coordinates.
    const QSizeF bar = landscape ? QSizeF(barHeight, screenSize().height())
                                 : QSizeF(screenSize().width(), barHeight);
    const Placement p = positionFor(screenSize(), bar, orientation, keyboardHeight);
    if (notificationName.isEmpty()) {
        moveToPoint(p.center, p.angle);
        return;
    }
    const QPointF from = hudView()->frame().center();
    const double fromAngle = m_hudRotation;
    ui::Animation::run(this, kMoveKey, duration, ui::Animation::Curve::EaseInOut,
                       [this, from, fromAngle, p](double t) {
                           moveToPoint(from + (p.center - from) * t,
                                       fromAngle + (p.angle - fromAngle) * t);
                       });
}

void StatusOverlay::moveToPoint(const QPointF& point, double rotateAngle) {
    m_hudRotation = rotateAngle;
    hudView()->setCenter(point);
}

void StatusOverlay::drawMask(Canvas& canvas) const {
    const QRectF b = bounds();
    if (m_maskType == Gradient) {
        canvas.fillRadialGradient(
            b, b.center(), std::min(b.width(), b.height()),
            {{0.0, QColor::fromRgbF(0, 0, 0, 0)}, {1.0, QColor::fromRgbF(0, 0, 0, 0.7)}});
    } else if (m_maskType == Black) {
        canvas.fillRect(b, QColor::fromRgbF(0, 0, 0, 0.5));
    }
}

void StatusOverlay::drawRect(QPainter& painter, const QRectF&) {
    QPainterCanvas canvas(painter);
    drawMask(canvas);
}

void StatusOverlay::setStatus(const QString& status) {
    sharedView()->applyStatus(status);
}

void StatusOverlay::show() {
    sharedView()->showWithStatusMaskTypeNetworkIndicator(QString(), None, false);
}

void StatusOverlay::showWithStatus(const QString& status) {
    sharedView()->showWithStatusMaskTypeNetworkIndicator(status, None, false);
}

void StatusOverlay::showWithMaskType(unsigned maskType) {
    sharedView()->showWithStatusMaskTypeNetworkIndicator(QString(), maskType, false);
}

void StatusOverlay::showWithStatusMaskType(const QString& status, unsigned maskType) {
    sharedView()->showWithStatusMaskTypeNetworkIndicator(status, maskType, false);
}

void StatusOverlay::showSuccessWithStatus(const QString& status) {
    showImage(successImage(), status);
}

void StatusOverlay::showErrorWithStatus(const QString& status) {
    showImage(errorImage(), status);
}

void StatusOverlay::showSuccessWithStatusDuration(const QString& status, double duration) {
    show();
    sharedView()->showImage(successImage(), status, duration);
}

void StatusOverlay::showErrorWithStatusDuration(const QString& status, double duration) {
    show();
    sharedView()->showImage(errorImage(), status, duration);
}

void StatusOverlay::showImage(const QImage& image, const QString& status) {
    sharedView()->showImage(image, status, 1.0);
}

void StatusOverlay::dismiss() {
    sharedView()->dismissSelf();
}

void StatusOverlay::dismissWithSuccess(const QString& status) {
    showSuccessWithStatus(status);
}

void StatusOverlay::dismissWithError(const QString& status) {
    showErrorWithStatus(status);
}

void StatusOverlay::dismissWithSuccessAfterDelay(const QString& status, double delay) {
    sharedView()->showImage(successImage(), status, delay);
}

void StatusOverlay::dismissWithErrorAfterDelay(const QString& status, double delay) {
    sharedView()->showImage(errorImage(), status, delay);
}

bool StatusOverlay::isVisible() {
    return sharedView()->m_visible;
}

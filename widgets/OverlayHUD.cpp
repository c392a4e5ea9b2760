#include "widgets/OverlayHUD.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Font.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/Window.h"
#include "widgets/BarProgressView.h"
#include "widgets/InterfaceOrientation.h"
#include "widgets/OverlayHUDSpinner.h"
#include "widgets/RoundProgressView.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QThread>
#include <QThreadPool>
#include <cmath>
#include <memory>

namespace {

const char* const kAnimationKey = "OverlayHUD.visibility";
const char* const kRotationKey = "OverlayHUD.rotation";
constexpr double kPi = 3.141592653589793;
// The platform's default animation length, which the turn takes.
constexpr double kDefaultAnimationDuration = 0.2;
const char* const kOrientationNotification = "UIDeviceOrientationDidChangeNotification";

qint64 toMs(double seconds) {
    return qint64(std::llround(seconds * 1000.0));
}

// An empty text measures 0 by 0, so an empty title takes no line and no spacing.
QSizeF titleSize(const QString& text, const QFont& font, double maxWidth) {
    if (text.isEmpty() || maxWidth <= 0) return {0, 0};
    const QSizeF s =
        ui::TextLayout::boundingSize(text, font, QSizeF(0, 0), ui::LineBreakMode::Clipping);
    return {std::min(s.width(), maxWidth), s.height()};
}

QSizeF detailsSize(const QString& text, const QFont& font, double maxWidth, double maxHeight) {
    if (text.isEmpty() || maxWidth <= 0 || maxHeight <= 0) return {0, 0};
    const QSizeF s = ui::TextLayout::boundingSize(text, font, QSizeF(maxWidth, maxHeight),
                                                  ui::LineBreakMode::WordWrapping);
    return {std::min(s.width(), maxWidth), std::min(s.height(), maxHeight)};
}

void drawText(QPainter& painter, const QString& text, const QFont& font, const QRectF& frame,
              ui::LineBreakMode mode) {
    ui::TextLayout::Options options;
    options.font = font;
    options.color = Qt::white;
    options.alignment = ui::TextAlignment::Center;
    options.lineBreakMode = mode;
    ui::TextLayout layout(ui::AttributedString(text), options);
    layout.layout(frame.width(), frame.height());
    layout.draw(painter, frame.topLeft(), frame.width());
}

bool isQuarterTurn(double radians) {
    return std::abs(std::sin(radians)) > 0.5;
}

} // namespace

OverlayHUD::OverlayHUD(const QRectF& frame)
    : ui::View(frame), m_labelFont(ui::Font::boldSystemFontOfSize(16)),
      m_detailsLabelFont(ui::Font::boldSystemFontOfSize(12)) {
    setAttribute(Qt::WA_TranslucentBackground);
    setBackgroundColor(Qt::transparent);
    setAlpha(0);
    updateIndicators();
    connect(this, &ui::View::movedToSuperview, this, [this] {
        setNeedsLayout();
        didMoveToSuperview();
    });
    ns::NotificationCenter::defaultCenter().addObserver(
        this, kOrientationNotification, nullptr,
        [this](const ns::Notification&) { deviceOrientationDidChange(); });
}

OverlayHUD::OverlayHUD(ui::View* view) : OverlayHUD(view ? view->bounds() : QRectF()) {}

OverlayHUD::OverlayHUD(ui::Window* window) : OverlayHUD(window ? window->rootView() : nullptr) {}

OverlayHUD::~OverlayHUD() {
    ns::NotificationCenter::defaultCenter().removeObserver(this);
}

// --- Operations on a host view ---

OverlayHUD* OverlayHUD::showHUDAddedTo(ui::View* view, bool animated) {
    auto* hud = new OverlayHUD(view);
    if (view) view->addSubview(hud);
    hud->show(animated);
    return hud;
}

QList<OverlayHUD*> OverlayHUD::allHUDsForView(ui::View* view) {
    QList<OverlayHUD*> huds;
    if (!view) return huds;
    // Stacking order: the last child widget is the topmost.
    for (QWidget* w : view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (auto* hud = qobject_cast<OverlayHUD*>(w)) huds.append(hud);
    return huds;
}

OverlayHUD* OverlayHUD::HUDForView(ui::View* view) {
    const QList<OverlayHUD*> huds = allHUDsForView(view);
    return huds.isEmpty() ? nullptr : huds.last();
}

bool OverlayHUD::hideHUDForView(ui::View* view, bool animated) {
    OverlayHUD* hud = HUDForView(view);
    if (!hud) return false;
    hud->setRemoveFromSuperViewOnHide(true);
    hud->hide(animated);
    return true;
}

unsigned OverlayHUD::hideAllHUDsForView(ui::View* view, bool animated) {
    QList<QPointer<OverlayHUD>> huds;
    for (OverlayHUD* hud : allHUDsForView(view))
        huds.append(hud);
    for (const QPointer<OverlayHUD>& hud : huds) {
        // A delegate told of one hiding may have deleted another.
        if (!hud) continue;
        hud->setRemoveFromSuperViewOnHide(true);
        hud->hide(animated);
    }
    return unsigned(huds.size());
}

// --- Showing ---

void OverlayHUD::show(bool animated) {
    m_useAnimation = animated;
    m_minShowTimer.cancel();
    if (m_graceTime > 0) {
        m_state = State::WaitingForGrace;
        m_graceTimer.start(toMs(m_graceTime), this, [this] { handleGraceTimer(); });
        return;
    }
    setNeedsDisplay();
    showUsingAnimation(m_useAnimation);
}

void OverlayHUD::handleGraceTimer() {
    // Only a task still running earns the overlay; otherwise it never shows.
    if (!m_taskInProgress || m_state != State::WaitingForGrace) return;
    setNeedsDisplay();
    showUsingAnimation(m_useAnimation);
}

void OverlayHUD::showUsingAnimation(bool animated) {
    m_state = State::Shown;
    ++m_generation;
    m_showStarted = ns::Clock::current().nowMs();
    if (auto* spinner = qobject_cast<OverlayHUDSpinner*>(m_indicator.data()))
        spinner->startAnimating();
    if (!animated) {
        ui::Animation::finish(this, kAnimationKey);
        applyScale(1.0);
        setAlpha(kShownAlpha);
        return;
    }
    double fromScale = m_scale;
    if (m_animationType == kAnimationZoomFromLarge) fromScale = 1.5;
    if (m_animationType == kAnimationZoomFromSmall) fromScale = 0.5;
    const bool zoom =
        m_animationType == kAnimationZoomFromLarge || m_animationType == kAnimationZoomFromSmall;
    applyScale(fromScale);
    const double fromAlpha = alpha();
    ui::Animation::run(this, kAnimationKey, kAnimationDuration, ui::Animation::Curve::EaseInOut,
                       [this, fromAlpha, fromScale, zoom](double p) {
                           setAlpha(fromAlpha + (kShownAlpha - fromAlpha) * p);
                           if (zoom) applyScale(fromScale + (1.0 - fromScale) * p);
                       });
}

// --- Hiding ---

void OverlayHUD::hide(bool animated) {
    if (m_state == State::Hiding || m_state == State::Hidden) return;
    // Whoever stopped the host's scrolling for the overlay, hiding gives it back.
    if (auto* scroll = qobject_cast<ui::ScrollView*>(superview())) scroll->setScrollEnabled(true);
    m_removeFromSuperViewOnHide = true;
    m_useAnimation = animated;
    // An overlay asked to hide never shows later.
    m_graceTimer.cancel();
    if (m_minShowTime > 0 && m_showStarted >= 0) {
        const qint64 elapsed = ns::Clock::current().nowMs() - m_showStarted;
        const qint64 minimum = toMs(m_minShowTime);
        if (elapsed < minimum) {
            m_state = State::WaitingForMinShow;
            m_minShowTimer.start(minimum - elapsed, this, [this] { handleMinShowTimer(); });
            return;
        }
    }
    hideUsingAnimation(m_useAnimation);
}

void OverlayHUD::hideAfterDelay(bool animated, double delay) {
    ns::performAfter(toMs(delay), this, [this, animated] { hide(animated); });
}

void OverlayHUD::handleMinShowTimer() {
    if (m_state != State::WaitingForMinShow) return;
    hideUsingAnimation(m_useAnimation);
}

void OverlayHUD::hideUsingAnimation(bool animated) {
    m_minShowTimer.cancel();
    const bool wasShown = m_showStarted >= 0;
    m_showStarted = -1;
    if (!animated || !wasShown) {
        ui::Animation::finish(this, kAnimationKey);
        setAlpha(0);
        done();
        return;
    }
    m_state = State::Hiding;
    const quint64 generation = ++m_generation;
    double toScale = m_scale;
    if (m_animationType == kAnimationZoomFromLarge) toScale = 0.5;
    if (m_animationType == kAnimationZoomFromSmall) toScale = 1.5;
    const double fromScale = m_scale;
    const double fromAlpha = alpha();
    // The completion may delete the overlay: nothing touches it after this call.
    ui::Animation::run(
        this, kAnimationKey, kAnimationDuration, ui::Animation::Curve::EaseInOut,
        [this, fromAlpha, fromScale, toScale](double p) {
            setAlpha(fromAlpha + (kFadedAlpha - fromAlpha) * p);
            applyScale(fromScale + (toScale - fromScale) * p);
        },
        [this, generation](bool) { animationFinished(generation); });
}

void OverlayHUD::animationFinished(quint64 generation) {
    // A show that interrupted this hide owns the overlay now.
    if (m_state != State::Hiding || generation != m_generation) return;
    done();
}

void OverlayHUD::done() {
    if (m_state == State::Hidden) return;
    m_state = State::Hidden;
    m_graceTimer.cancel();
    m_minShowTimer.cancel();
    setAlpha(0);
    applyScale(1.0);
    for (OverlayHUDSpinner* spinner : findChildren<OverlayHUDSpinner*>())
        spinner->stopAnimating();

    // Either callback may delete the overlay.
    QPointer<OverlayHUD> self(this);
    if (OverlayHUDDelegate* d = m_delegate.get()) d->hudWasHidden(this);
    if (!self) return;
    if (m_completionBlock) {
        const std::function<void()> block = std::move(m_completionBlock);
        m_completionBlock = nullptr;
        block();
        if (!self) return;
    }
    if (m_removeFromSuperViewOnHide && superview()) {
        removeFromSuperview();
        deleteLater();
    }
}

// --- Tasks ---

void OverlayHUD::showWhileExecuting(std::function<void()> task, bool animated) {
    m_taskInProgress = true;
    QThread* thread = QThread::create([task = std::move(task)] {
        if (task) task();
    });
    connect(thread, &QThread::finished, this, [this] { cleanUp(); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
    show(animated);
}

void OverlayHUD::showAnimatedWhileExecutingBlock(bool animated, std::function<void()> block) {
    showAnimatedWhileExecutingBlockOnQueueCompletionBlock(animated, std::move(block), nullptr, {});
}

void OverlayHUD::showAnimatedWhileExecutingBlockCompletionBlock(bool animated,
                                                                std::function<void()> block,
                                                                std::function<void()> completion) {
    showAnimatedWhileExecutingBlockOnQueueCompletionBlock(animated, std::move(block), nullptr,
                                                          std::move(completion));
}

void OverlayHUD::showAnimatedWhileExecutingBlockOnQueue(bool animated, std::function<void()> block,
                                                        QThreadPool* queue) {
    showAnimatedWhileExecutingBlockOnQueueCompletionBlock(animated, std::move(block), queue, {});
}

void OverlayHUD::showAnimatedWhileExecutingBlockOnQueueCompletionBlock(
    bool animated, std::function<void()> block, QThreadPool* queue,
    std::function<void()> completion) {
    m_taskInProgress = true;
    m_completionBlock = std::move(completion);
    // The guard is read on the main thread only; the worker merely carries it back.
    auto guard = std::make_shared<QPointer<OverlayHUD>>(this);
    QThreadPool* pool = queue ? queue : QThreadPool::globalInstance();
    pool->start([block = std::move(block), guard]() mutable {
        if (block) block();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard] {
                if (OverlayHUD* hud = guard->data()) hud->cleanUp();
            },
            Qt::QueuedConnection);
    });
    show(animated);
}

void OverlayHUD::cleanUp() {
    m_taskInProgress = false;
    // The indicator stays on screen while the overlay fades; only the reference goes.
    m_indicator = nullptr;
    hide(m_useAnimation);
}

// --- Properties ---

void OverlayHUD::onMain(std::function<void()> fn) {
    if (QThread::currentThread() == thread())
        fn();
    else
        QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

void OverlayHUD::relayout() {
    setNeedsLayout();
    setNeedsDisplay();
}

void OverlayHUD::setMode(int mode) {
    m_mode = mode;
    onMain([this] {
        updateIndicators();
        relayout();
    });
}

void OverlayHUD::setCustomView(ui::View* view) {
    QPointer<ui::View> old = m_customView;
    m_customView = view;
    // Kept (out of sight until its mode shows it) so it goes with the overlay.
    if (view && !view->parent()) view->setParent(this);
    // The overlay owns its custom view: one it no longer shows or keeps goes.
    if (old && old != view && old != m_indicator && old->parent() == this) delete old.data();
    updateIndicators();
    relayout();
}

QString OverlayHUD::labelText() const {
    QMutexLocker lock(&m_textLock);
    return m_labelText;
}

void OverlayHUD::setLabelText(const QString& text) {
    {
        QMutexLocker lock(&m_textLock);
        m_labelText = text;
    }
    onMain([this] {
        m_shownLabelText = labelText();
        relayout();
    });
}

QString OverlayHUD::detailsLabelText() const {
    QMutexLocker lock(&m_textLock);
    return m_detailsLabelText;
}

void OverlayHUD::setDetailsLabelText(const QString& text) {
    {
        QMutexLocker lock(&m_textLock);
        m_detailsLabelText = text;
    }
    onMain([this] {
        m_shownDetailsText = detailsLabelText();
        relayout();
    });
}

void OverlayHUD::setProgress(float progress) {
    m_progress = progress;
    onMain([this] {
        const float value = m_progress.load();
        if (auto* round = qobject_cast<RoundProgressView*>(m_indicator.data()))
            round->setProgress(value);
        else if (auto* bar = qobject_cast<BarProgressView*>(m_indicator.data()))
            bar->setProgress(value);
    });
}

void OverlayHUD::setOpacity(float opacity) {
    m_opacity = opacity;
    setNeedsDisplay();
}

void OverlayHUD::setColor(const QColor& color) {
    m_color = color;
    setNeedsDisplay();
}

void OverlayHUD::setXOffset(float offset) {
    m_xOffset = offset;
    relayout();
}

void OverlayHUD::setYOffset(float offset) {
    m_yOffset = offset;
    relayout();
}

void OverlayHUD::setMargin(float margin) {
    m_margin = margin;
    relayout();
}

void OverlayHUD::setDimBackground(bool dim) {
    m_dimBackground = dim;
    setNeedsDisplay();
}

void OverlayHUD::setLabelFont(const QFont& font) {
    m_labelFont = font;
    relayout();
}

void OverlayHUD::setDetailsLabelFont(const QFont& font) {
    m_detailsLabelFont = font;
    relayout();
}

void OverlayHUD::setMinSize(const QSizeF& size) {
    m_minSize = size;
    relayout();
}

void OverlayHUD::setSquare(bool square) {
    m_square = square;
    relayout();
}

// --- Indicator ---

void OverlayHUD::dropIndicator() {
    ui::View* old = m_indicator;
    m_indicator = nullptr;
    if (!old) return;
    if (old == m_customView) {
        // Kept for a later switch back to the custom mode.
        old->setHidden(true);
        return;
    }
    delete old;
}

void OverlayHUD::updateIndicators() {
    switch (m_mode.load()) {
    case kModeSpinner:
        if (!qobject_cast<OverlayHUDSpinner*>(m_indicator.data())) {
            dropIndicator();
            auto* spinner = new OverlayHUDSpinner;
            addSubview(spinner);
            spinner->startAnimating();
            m_indicator = spinner;
        }
        break;
    case kModePie:
    case kModeRing: {
        auto* round = qobject_cast<RoundProgressView*>(m_indicator.data());
        if (!round) {
            dropIndicator();
            round = new RoundProgressView;
            addSubview(round);
            m_indicator = round;
        }
        // A ring stays a ring when the mode goes back to the pie: only the ring mode sets it.
        if (m_mode.load() == kModeRing) round->setAnnular(true);
        break;
    }
    case kModeBar: {
        dropIndicator();
        auto* bar = new BarProgressView;
        addSubview(bar);
        m_indicator = bar;
        break;
    }
    case kModeCustomView:
        if (m_customView != m_indicator) {
            dropIndicator();
            if (m_customView) {
                addSubview(m_customView);
                m_customView->setHidden(false);
            }
            m_indicator = m_customView;
        }
        break;
    case kModeText:
        dropIndicator();
        break;
    default:
        break;
    }
}

// --- Layout and drawing ---

void OverlayHUD::applyScale(double scale) {
    if (scale == m_scale) return;
    m_scale = scale;
    if (m_indicator && !m_indicatorFrame.isNull()) m_indicator->setFrame(placedIndicatorFrame());
    setNeedsDisplay();
}

void OverlayHUD::setDrawnRotation(double radians) {
    if (radians == m_drawnRotation) return;
    m_drawnRotation = radians;
    if (m_indicator && !m_indicatorFrame.isNull()) m_indicator->setFrame(placedIndicatorFrame());
    setNeedsDisplay();
}

QSizeF OverlayHUD::layoutSize() const {
    const QSizeF size = bounds().size();
    return isQuarterTurn(m_rotationTransform) ? size.transposed() : size;
}

QRectF OverlayHUD::placedIndicatorFrame() const {
    if (m_scale == 1.0 && m_drawnRotation == 0) return m_indicatorFrame;
    // The indicator is a view of its own: it moves with the zoom and turn of the box and
    // grows with the zoom; a spinner or a round progress looks the same turned.
    const QSizeF logical = layoutSize();
    const QPointF fromCentre =
        m_indicatorFrame.center() - QPointF(logical.width() / 2, logical.height() / 2);
    const double c = std::cos(m_drawnRotation), sn = std::sin(m_drawnRotation);
    const QPointF turned(fromCentre.x() * c - fromCentre.y() * sn,
                         fromCentre.x() * sn + fromCentre.y() * c);
    const QPointF centre = bounds().center() + turned * m_scale;
    const QSizeF size = m_indicatorFrame.size() * m_scale;
    return {centre - QPointF(size.width() / 2, size.height() / 2), size};
}

void OverlayHUD::layoutSubviews() {
    if (ui::View* host = superview()) setFrame(host->bounds());
    const double m = m_margin;
    const double W = layoutSize().width();
    const double H = layoutSize().height();
    const double maxWidth = W - 4 * m;
    double totalW = 0;
    double totalH = 0;

    QSizeF indicatorSize(0, 0);
    if (m_indicator) {
        // While zoomed the indicator's frame is scaled; its own size is the one laid out.
        indicatorSize = m_scale != 1.0 && !m_indicatorFrame.isNull() ? m_indicatorFrame.size()
                                                                     : m_indicator->bounds().size();
        indicatorSize.setWidth(std::min(indicatorSize.width(), maxWidth));
    }
    totalW = std::max(totalW, indicatorSize.width());
    totalH += indicatorSize.height();

    const QSizeF title = titleSize(m_shownLabelText, m_labelFont, maxWidth);
    totalW = std::max(totalW, title.width());
    totalH += title.height();
    if (title.height() > 0 && indicatorSize.height() > 0) totalH += kPadding;

    const double remainingHeight = H - totalH - kPadding - 4 * m;
    const QSizeF details =
        detailsSize(m_shownDetailsText, m_detailsLabelFont, maxWidth, remainingHeight);
    totalW = std::max(totalW, details.width());
    totalH += details.height();
    if (details.height() > 0 && (indicatorSize.height() > 0 || title.height() > 0))
        totalH += kPadding;

    totalW += 2 * m;
    totalH += 2 * m;

    const auto centredX = [&](double width) { return std::round((W - width) / 2) + m_xOffset; };
    double y = m + std::round((H - totalH) / 2) + m_yOffset;
    m_indicatorFrame = QRectF(QPointF(centredX(indicatorSize.width()), y), indicatorSize);
    if (m_indicator) m_indicator->setFrame(placedIndicatorFrame());
    y += indicatorSize.height();
    if (title.height() > 0 && indicatorSize.height() > 0) y += kPadding;
    m_labelFrame = QRectF(QPointF(centredX(title.width()), y), title);
    y += title.height();
    if (details.height() > 0 && (indicatorSize.height() > 0 || title.height() > 0)) y += kPadding;
    m_detailsLabelFrame = QRectF(QPointF(centredX(details.width()), y), details);

    if (m_square) {
        const double s = std::max(totalW, totalH);
        if (s <= W - 2 * m) totalW = s;
        if (s <= H - 2 * m) totalH = s;
    }
    totalW = std::max(totalW, m_minSize.width());
    totalH = std::max(totalH, m_minSize.height());
    m_size = QSizeF(totalW, totalH);
    setNeedsDisplay();
}

QRectF OverlayHUD::boxRect() const {
    const double W = layoutSize().width();
    const double H = layoutSize().height();
    return {std::round((W - m_size.width()) / 2) + m_xOffset,
            std::round((H - m_size.height()) / 2) + m_yOffset, m_size.width(), m_size.height()};
}

void OverlayHUD::drawRect(QPainter& painter, const QRectF&) {
    const double W = layoutSize().width();
    const double H = layoutSize().height();
    painter.save();
    if (m_scale != 1.0 || m_drawnRotation != 0) {
        // The content is laid out upright in the turned bounds; it turns and zooms about the
        // overlay's centre.
        painter.translate(bounds().width() / 2, bounds().height() / 2);
        painter.rotate(m_drawnRotation * 180 / kPi);
        painter.scale(m_scale, m_scale);
        painter.translate(-W / 2, -H / 2);
    }
    if (m_dimBackground) {
        QRadialGradient gradient(QPointF(W / 2, H / 2), std::min(W, H));
        gradient.setColorAt(0, QColor::fromRgbF(0, 0, 0, 0));
        gradient.setColorAt(1, QColor::fromRgbF(0, 0, 0, float(kDimAlpha)));
        gradient.setSpread(QGradient::PadSpread);
        painter.fillRect(QRectF(0, 0, W, H), gradient);
    }
    const QColor fill = m_color.isValid() ? m_color : QColor::fromRgbF(0, 0, 0, m_opacity);
    QPainterPath box;
    box.addRoundedRect(boxRect(), kCornerRadius, kCornerRadius);
    painter.fillPath(box, fill);

    if (!m_labelFrame.isEmpty())
        drawText(painter, m_shownLabelText, m_labelFont, m_labelFrame,
                 ui::LineBreakMode::TruncatingTail);
    if (!m_detailsLabelFrame.isEmpty())
        drawText(painter, m_shownDetailsText, m_detailsLabelFont, m_detailsLabelFrame,
                 ui::LineBreakMode::WordWrapping);
    painter.restore();
}

bool OverlayHUD::isHostedOnWindow() const {
    ui::View* host = superview();
    const ui::Window* window = ui::Window::windowForView(host);
    return window && window->rootView() == host;
}

void OverlayHUD::didMoveToSuperview() {
    if (isHostedOnWindow()) setTransformForCurrentOrientation(false);
}

void OverlayHUD::deviceOrientationDidChange() {
    ui::View* host = superview();
    if (!host) return;
    if (isHostedOnWindow()) {
        setTransformForCurrentOrientation(true);
        return;
    }
    setFrame(host->bounds());
    setNeedsDisplay();
}

void OverlayHUD::setTransformForCurrentOrientation(bool animated) {
    if (ui::View* host = superview()) {
        setFrame(host->bounds());
        setNeedsDisplay();
    }
    double angle = 0;
    switch (InterfaceOrientation::statusBarOrientation()) {
    case InterfaceOrientation::LandscapeRight:
        angle = kPi / 2;
        break;
    case InterfaceOrientation::LandscapeLeft:
        angle = -kPi / 2;
        break;
    case InterfaceOrientation::PortraitUpsideDown:
        angle = kPi;
        break;
    default:
        break;
    }
    // The content is laid out at once in the turned bounds; the drawing follows the turn.
    m_rotationTransform = angle;
    setNeedsLayout();
    if (!animated) {
        ui::Animation::finish(this, kRotationKey);
        setDrawnRotation(angle);
        return;
    }
    const double from = m_drawnRotation;
    ui::Animation::run(
        this, kRotationKey, kDefaultAnimationDuration, ui::Animation::Curve::EaseInOut,
        [this, from, angle](double p) { setDrawnRotation(from + (angle - from) * p); });
}

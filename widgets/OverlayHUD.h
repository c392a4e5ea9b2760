#pragma once

#include "platform/foundation/Clock.h"
#include "platform/foundation/Weak.h"
#include "platform/ui/View.h"
#include "widgets/OverlayHUDDelegate.h"

#include <QFont>
#include <QMutex>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <atomic>
#include <functional>

class QThreadPool;

namespace ui {
class Window;
}

// The loading and message overlay laid over a host view: a dimmed, transparent layer with a
// dark rounded box in its centre holding an indicator above a one-line title and a details
// text. It fades (or zooms) in and out, can wait a grace time before showing, stays up for a
// minimum time once shown, can hide itself when a task ends, and tells its delegate and its
// completion block once it has hidden.
//
// Ownership: an overlay on a host is the host's child. Hiding always takes it off its host,
// and one that leaves its host that way deletes itself (later), so hold it through a QPointer.
// Timers and delayed hides never outlive it.
class OverlayHUD : public ui::View {
    Q_OBJECT
public:
    // What the indicator area shows.
    static constexpr int kModeSpinner = 0;
    static constexpr int kModePie = 1;
    static constexpr int kModeBar = 2;
    static constexpr int kModeRing = 3;
    static constexpr int kModeCustomView = 4;
    static constexpr int kModeText = 5;
    // How the box comes and goes.
    static constexpr int kAnimationFade = 0;
    static constexpr int kAnimationZoomFromLarge = 1; // in from 1.5x, out to 0.5x
    static constexpr int kAnimationZoomFromSmall = 2; // in from 0.5x, out to 1.5x

    static constexpr double kShownAlpha = 0.65;
    static constexpr double kFadedAlpha = 0.02;
    static constexpr double kAnimationDuration = 0.3;
    static constexpr double kCornerRadius = 10;
    static constexpr double kPadding = 4;
    static constexpr double kDimAlpha = 0.75;

    explicit OverlayHUD(const QRectF& frame = QRectF());
    // Sized to the view's bounds; not added to it (the caller does that).
    explicit OverlayHUD(ui::View* view);
    // The same over the window's content.
    explicit OverlayHUD(ui::Window* window);
    ~OverlayHUD() override;

    // --- Operations on a host view ---
    // A new overlay added on top of the view and shown.
    static OverlayHUD* showHUDAddedTo(ui::View* view, bool animated);
    // The topmost overlay among the view's direct subviews, or nullptr.
    static OverlayHUD* HUDForView(ui::View* view);
    // Every overlay among the view's direct subviews, bottom first.
    static QList<OverlayHUD*> allHUDsForView(ui::View* view);
    // Hides the topmost overlay and answers whether there was one.
    static bool hideHUDForView(ui::View* view, bool animated);
    // Hides every overlay and answers how many there were.
    static unsigned hideAllHUDsForView(ui::View* view, bool animated);

    // --- Showing and hiding ---
    void show(bool animated);
    // Takes the overlay off its host when hidden. A hide while hiding, or after the overlay
    // has hidden, is ignored; during the minimum-show wait it replaces the pending one.
    void hide(bool animated);
    void hideAfterDelay(bool animated, double delay);

    // --- Tasks shown while they run; the overlay hides when they return ---
    // Runs the task on a new thread.
    void showWhileExecuting(std::function<void()> task, bool animated);
    // Run the block on the pool (the global one when null); completion runs after hiding.
    void showAnimatedWhileExecutingBlock(bool animated, std::function<void()> block);
    void showAnimatedWhileExecutingBlockCompletionBlock(bool animated, std::function<void()> block,
                                                        std::function<void()> completion);
    void showAnimatedWhileExecutingBlockOnQueue(bool animated, std::function<void()> block,
                                                QThreadPool* queue);
    void showAnimatedWhileExecutingBlockOnQueueCompletionBlock(bool animated,
                                                               std::function<void()> block,
                                                               QThreadPool* queue,
                                                               std::function<void()> completion);

    // --- Properties ---
    // mode, labelText, detailsLabelText and progress may be set from a task's thread: the
    // view follows on the main thread. Everything else belongs to the main thread.
    std::function<void()> completionBlock() const { return m_completionBlock; }
    void setCompletionBlock(std::function<void()> block) { m_completionBlock = std::move(block); }
    int mode() const { return m_mode.load(); }
    void setMode(int mode);
    int animationType() const { return m_animationType; }
    void setAnimationType(int type) { m_animationType = type; }
    ui::View* customView() const { return m_customView; }
    void setCustomView(ui::View* view);
    OverlayHUDDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(OverlayHUDDelegate* delegate) { m_delegate.reset(delegate); }
    QString labelText() const;
    void setLabelText(const QString& text);
    QString detailsLabelText() const;
    void setDetailsLabelText(const QString& text);
    float opacity() const { return m_opacity; }
    void setOpacity(float opacity);
    // Invalid (the default) means black at `opacity`.
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    float xOffset() const { return m_xOffset; }
    void setXOffset(float offset);
    float yOffset() const { return m_yOffset; }
    void setYOffset(float offset);
    float margin() const { return m_margin; }
    void setMargin(float margin);
    bool dimBackground() const { return m_dimBackground; }
    void setDimBackground(bool dim);
    float graceTime() const { return m_graceTime; }
    void setGraceTime(float seconds) { m_graceTime = seconds; }
    float minShowTime() const { return m_minShowTime; }
    void setMinShowTime(float seconds) { m_minShowTime = seconds; }
    bool taskInProgress() const { return m_taskInProgress.load(); }
    void setTaskInProgress(bool running) { m_taskInProgress = running; }
    bool removeFromSuperViewOnHide() const { return m_removeFromSuperViewOnHide; }
    void setRemoveFromSuperViewOnHide(bool remove) { m_removeFromSuperViewOnHide = remove; }
    QFont labelFont() const { return m_labelFont; }
    void setLabelFont(const QFont& font);
    QFont detailsLabelFont() const { return m_detailsLabelFont; }
    void setDetailsLabelFont(const QFont& font);
    float progress() const { return m_progress.load(); }
    void setProgress(float progress);
    QSizeF minSize() const { return m_minSize; }
    void setMinSize(const QSizeF& size);
    bool isSquare() const { return m_square; }
    void setSquare(bool square);
    ui::View* indicator() const { return m_indicator; }

    // --- State, for the screens and tests ---
    // The box size of the last layout.
    QSizeF size() const { return m_size; }
    // Where the box is drawn, in the overlay's coordinates.
    QRectF boxRect() const;
    QRectF labelFrame() const { return m_labelFrame; }
    QRectF detailsLabelFrame() const { return m_detailsLabelFrame; }
    // Clock milliseconds when the last show began; -1 once hiding has begun or before.
    qint64 showStarted() const { return m_showStarted; }
    // The box's zoom while it comes and goes (1 when at rest).
    double scale() const { return m_scale; }
    // Hosted on a window, the overlay turns with the status bar: the turn it goes to (radians)
    // and the one drawn now, which differs while the turn animates. Elsewhere both are 0.
    double rotationTransform() const { return m_rotationTransform; }
    double drawnRotation() const { return m_drawnRotation; }
    // Whether the host is a window's content view.
    bool isHostedOnWindow() const;
    void setTransformForCurrentOrientation(bool animated);
    bool isGraceTimerActive() const { return m_graceTimer.isActive(); }
    bool isMinShowTimerActive() const { return m_minShowTimer.isActive(); }
    // Whether hiding has run to its end (alpha 0, delegate and completion told).
    bool isFinished() const { return m_state == State::Hidden; }

    void layoutSubviews() override;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    enum class State { Idle, WaitingForGrace, Shown, WaitingForMinShow, Hiding, Hidden };

    void handleGraceTimer();
    void handleMinShowTimer();
    void showUsingAnimation(bool animated);
    void hideUsingAnimation(bool animated);
    void animationFinished(quint64 generation);
    void done();
    void cleanUp();
    void updateIndicators();
    void dropIndicator();
    void applyScale(double scale);
    void setDrawnRotation(double radians);
    // The size the content is laid out in: the bounds, turned with a quarter turn.
    QSizeF layoutSize() const;
    // Where the indicator widget goes for its laid-out frame under the zoom and turn.
    QRectF placedIndicatorFrame() const;
    void didMoveToSuperview();
    void deviceOrientationDidChange();
    // Runs fn now on the main thread, else queues it there.
    void onMain(std::function<void()> fn);
    void relayout();

    std::function<void()> m_completionBlock;
    std::atomic<int> m_mode{kModeSpinner};
    int m_animationType = kAnimationFade;
    QPointer<ui::View> m_customView;
    ns::Weak<OverlayHUDDelegate> m_delegate;
    mutable QMutex m_textLock; // the texts may be set from a task's thread
    QString m_labelText;
    QString m_detailsLabelText;
    float m_opacity = 0.8f;
    QColor m_color;
    float m_xOffset = 0;
    float m_yOffset = 0;
    float m_margin = 20;
    bool m_dimBackground = false;
    float m_graceTime = 0;
    float m_minShowTime = 0;
    std::atomic<bool> m_taskInProgress{false};
    bool m_removeFromSuperViewOnHide = false;
    QFont m_labelFont;
    QFont m_detailsLabelFont;
    std::atomic<float> m_progress{0};
    QSizeF m_minSize;
    bool m_square = false;
    QPointer<ui::View> m_indicator;

    State m_state = State::Idle;
    bool m_useAnimation = false;
    qint64 m_showStarted = -1;
    quint64 m_generation = 0;
    double m_scale = 1.0;
    double m_rotationTransform = 0;
    double m_drawnRotation = 0;
    QSizeF m_size;
    QRectF m_indicatorFrame; // before the zoom is applied
    QRectF m_labelFrame;
    QRectF m_detailsLabelFrame;
    QString m_shownLabelText; // the texts as last applied on the main thread
    QString m_shownDetailsText;
    ns::DelayedCall m_graceTimer;
    ns::DelayedCall m_minShowTimer;
};

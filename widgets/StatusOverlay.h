#pragma once

#include "platform/foundation/Clock.h"
#include "platform/ui/View.h"

#include <QImage>
#include <QPointer>

class Canvas;
class FittingLabel;
class SpinnerView;

namespace ui {
class ImageView;
class Label;
} // namespace ui

// The status overlay: one shared instance in an overlay layer above everything, a dark
// rounded box holding a spinner or an image above a status text. Its mask type lets touches
// through (1) or blocks them, shading the screen (3) or with a radial gradient (4). It moves
// up while the keyboard shows and turns with the status bar.
class StatusOverlay : public ui::View {
    Q_OBJECT
public:
    enum MaskType : unsigned { None = 1, Clear = 2, Black = 3, Gradient = 4 };
    static constexpr double kShownAlpha = 0.6;

    // Where the box goes for a screen and status bar (portrait sizes), an orientation and a
    // keyboard height.
    struct Placement {
        QPointF center;
        double angle;
    };
    static Placement positionFor(const QSizeF& screen, const QSizeF& statusBar, int orientation,
                                 double keyboardHeight);
    // The box and content layout for a measured status size (empty: no status).
    struct Layout {
        QRectF boxBounds;
        QRectF labelFrame;
        QPointF imageCenter;
        QPointF spinnerCenter;
    };
    static Layout layoutFor(const QSizeF& statusSize, bool hasStatus);

    static StatusOverlay* sharedView();

    static void setStatus(const QString& status);
    static void show();
    static void showWithStatus(const QString& status);
    static void showWithMaskType(unsigned maskType);
    static void showWithStatusMaskType(const QString& status, unsigned maskType);
    static void showSuccessWithStatus(const QString& status);
    static void showErrorWithStatus(const QString& status);
    static void showSuccessWithStatusDuration(const QString& status, double duration);
    static void showErrorWithStatusDuration(const QString& status, double duration);
    static void showImage(const QImage& image, const QString& status);
    static void dismiss();
    static void dismissWithSuccess(const QString& status);
    static void dismissWithError(const QString& status);
    static void dismissWithSuccessAfterDelay(const QString& status, double delay);
    static void dismissWithErrorAfterDelay(const QString& status, double delay);
    // Shown and not dismissed since.
    static bool isVisible();

    static QImage successImage();
    static QImage errorImage();

    // Instance operations (on the shared instance).
    void showWithStatusMaskTypeNetworkIndicator(const QString& status, unsigned maskType,
                                                bool networkIndicator);
    void showImage(const QImage& image, const QString& status, double duration);
    void showImage(const QImage& image, const QString& status, double duration, unsigned maskType);
    void showImageNoDuration(const QImage& image, const QString& status, unsigned maskType);
    // A later timed hide replaces an earlier one.
    void hideAfterDuration(double duration);
    void positionHUD(const QString& notificationName = QString(), const QVariantMap& userInfo = {});
    void moveToPoint(const QPointF& point, double rotateAngle);
    void registerNotifications();
    double visibleKeyboardHeight() const;
    void drawMask(Canvas& canvas) const;

    unsigned maskType() const { return m_maskType; }
    ui::View* overlayWindow();
    bool hasOverlayWindow() const { return !m_overlayWindow.isNull(); }
    ui::View* hudView();
    bool hasHudView() const { return !m_hudView.isNull(); }
    ui::ImageView* imageView();
    SpinnerView* spinnerView();
    FittingLabel* stringLabel();
    // The box's turn and scale, as the animations leave them.
    double hudRotation() const { return m_hudRotation; }
    double hudScale() const { return m_hudScale; }
    bool hasPendingFadeOut() const { return m_fadeOutTimer.isActive(); }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    StatusOverlay();
    void applyStatus(const QString& status);
    void dismissSelf();
    void setFadeOutTimer(double seconds);
    // Drawn: the box and its content zoom about the box's centre.
    void setHudScale(double scale);
    void teardown();

    unsigned m_maskType = None;
    bool m_visible = false;
    bool m_registered = false;
    double m_hudRotation = 0;
    double m_hudScale = 1;
    QPointer<ui::View> m_overlayWindow;
    QPointer<ui::View> m_hudView;
    QPointer<ui::ImageView> m_imageView;
    QPointer<SpinnerView> m_spinnerView;
    QPointer<FittingLabel> m_stringLabel;
    ns::DelayedCall m_fadeOutTimer;
};

#pragma once

#include <QBrush>
#include <QColor>
#include <QList>
#include <QPointer>
#include <QRectF>
#include <QWidget>

namespace ui {

class GestureRecognizer;

// A view in points. The frame is kept in floating point so layout arithmetic stays exact;
// the widget geometry is its rounding (one point is one device-independent pixel).
class View : public QWidget {
    Q_OBJECT
public:
    explicit View(View* parent = nullptr);
    explicit View(const QRectF& frame, View* parent = nullptr);
    ~View() override;

    QRectF frame() const { return m_frame; }
    virtual void setFrame(const QRectF& frame);
    // The origin is (0, 0) except where a view scrolls its content (the scroll view's offset).
    QRectF bounds() const { return {m_boundsOrigin, m_frame.size()}; }
    QPointF center() const { return m_frame.center(); }
    void setCenter(const QPointF& c);

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    // Searched depth-first, this view first, then each subview's subtree bottom-most first:
    // the first view carrying the tag wins, so a tag reused further down stays hidden.
    View* viewWithTag(int tag);

    View* superview() const;
    // Virtual so containers (a scroll view's content) can redirect them.
    virtual QList<View*> subviews() const;
    virtual void addSubview(View* view);
    void insertSubviewAtIndex(View* view, int index);
    void insertSubviewBelow(View* view, View* sibling);
    void bringSubviewToFront(View* view);
    void sendSubviewToBack(View* view);
    // Detaches the view; the caller owns it from then on. A detached view is never shown,
    // so it cannot turn into a top-level window.
    void removeFromSuperview();
    bool isDescendantOf(const View* view) const;
    // The top-most View ancestor (the window's content view when on screen).
    View* rootView();
    QPointF convertPointToView(const QPointF& p, const View* to) const;
    QRectF convertRectToView(const QRectF& r, const View* to) const;

    QColor backgroundColor() const { return m_backgroundColor; }
    // A pattern (tiled image) background; drawn instead of the colour while set.
    QBrush backgroundBrush() const { return m_backgroundBrush; }
    void setBackgroundBrush(const QBrush& brush);
    void setBackgroundColor(const QColor& c);
    double alpha() const { return m_alpha; }
    void setAlpha(double a);
    // Hidden as the view itself says, whether or not its window is on screen (QWidget's own
    // flag also reports views of a window that was never shown).
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden);
    bool userInteractionEnabled() const { return m_interaction; }
    void setUserInteractionEnabled(bool on);
    bool clipsToBounds() const { return m_clips; }
    void setClipsToBounds(bool on) {
        m_clips = on;
        update();
    }

    // Layer look: corner radius, border.
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double r);
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double w);
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor& c);

    // Effective opacity: own alpha times every ancestor's.
    double effectiveAlpha() const;
    // Called after the frame changes size and on setNeedsLayout (coalesced).
    virtual void layoutSubviews() {}
    void setNeedsLayout();
    void layoutIfNeeded();
    void setNeedsDisplay() { update(); }

    // Paint this view and its subtree into an image (for screenshots and tests).
    QImage renderToImage(double scale = 1.0);

    // Recognizers are not owned; one that is destroyed drops out of the list.
    void addGestureRecognizer(GestureRecognizer* recognizer);
    void removeGestureRecognizer(GestureRecognizer* recognizer);
    QList<GestureRecognizer*> gestureRecognizers() const;

    // Ends editing of the text field or text view being edited inside this view (this view
    // included); returns whether editing ended. force is kept for the platform's signature.
    bool endEditing(bool force);

signals:
    void frameChanged();
    void movedToSuperview();

protected:
    // Shifts what the subviews show: a subview's frame is in coordinates whose top-left is
    // this origin (scrolling moves it).
    void setBoundsOrigin(const QPointF& origin);

    // Subclasses draw their content here, in points, over the background.
    virtual void drawRect(QPainter& painter, const QRectF& rect);
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void applyGeometry();
    QRectF m_frame;
    int m_tag = 0;
    QColor m_backgroundColor = Qt::transparent;
    QBrush m_backgroundBrush;
    double m_alpha = 1.0;
    bool m_hidden = false;
    bool m_interaction = true;
    bool m_clips = false;
    double m_cornerRadius = 0;
    double m_borderWidth = 0;
    QColor m_borderColor = Qt::black;
    bool m_layoutPending = false;
    QPointF m_boundsOrigin;
    QList<QPointer<QObject>> m_gestureRecognizers;
};

} // namespace ui

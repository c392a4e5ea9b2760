#include "platform/ui/View.h"

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace ui {

namespace {
const QEvent::Type kLayoutEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
}

View::View(View* parent) : View(QRectF(), parent) {}

View::View(const QRectF& frame, View* parent) : QWidget(parent), m_frame(frame) {
    setAttribute(Qt::WA_NoSystemBackground);
    applyGeometry();
    if (parent) setVisible(true);
}

View::~View() {
    // Recognizers may outlive the view (or die with it as its children): either way they
    // must not reach back into a view being destroyed.
    for (const QPointer<QObject>& o : m_gestureRecognizers)
        if (auto* g = qobject_cast<GestureRecognizer*>(o.data())) g->m_view = nullptr;
}

void View::applyGeometry() {
    QPointF origin = m_frame.topLeft();
    if (const View* s = superview()) origin -= s->m_boundsOrigin;
    const QRect r(int(std::lround(origin.x())), int(std::lround(origin.y())),
                  int(std::lround(m_frame.width())), int(std::lround(m_frame.height())));
    if (r != geometry()) setGeometry(r);
}

void View::setFrame(const QRectF& frame) {
    if (frame == m_frame) return;
    const bool resized = frame.size() != m_frame.size();
    m_frame = frame;
    applyGeometry();
    if (resized) setNeedsLayout();
    emit frameChanged();
}

void View::setCenter(const QPointF& c) {
    QRectF f = m_frame;
    f.moveCenter(c);
    setFrame(f);
}

View* View::viewWithTag(int tag) {
    if (m_tag == tag) return this;
    for (View* v : subviews())
        if (View* found = v->viewWithTag(tag)) return found;
    return nullptr;
}

View* View::superview() const { return qobject_cast<View*>(parentWidget()); }

QList<View*> View::subviews() const {
    QList<View*> out;
    for (QObject* o : children())
        if (auto* v = qobject_cast<View*>(o); v && v->parentWidget() == this) out.append(v);
    return out;
}

void View::addSubview(View* view) {
    if (!view || view == this) return;
    if (view->parentWidget() != this) view->setParent(this);
    view->raise();
    view->applyGeometry();
    view->setVisible(!view->m_hidden);
    emit view->movedToSuperview();
}

void View::insertSubviewAtIndex(View* view, int index) {
    addSubview(view);
    const QList<View*> subs = subviews();
    // Stacking follows children order; lowering below the index-th sibling places it there.
    if (index >= 0 && index < subs.size() - 1 && subs.at(index) != view)
        view->stackUnder(subs.at(index));
}

void View::insertSubviewBelow(View* view, View* sibling) {
    addSubview(view);
    if (sibling && sibling->parentWidget() == this) view->stackUnder(sibling);
}

void View::bringSubviewToFront(View* view) {
    if (view && view->parentWidget() == this) view->raise();
}

void View::sendSubviewToBack(View* view) {
    if (view && view->parentWidget() == this) view->lower();
}

void View::removeFromSuperview() {
    if (!parentWidget()) return;
    setParent(nullptr);
    emit movedToSuperview();
}

bool View::isDescendantOf(const View* view) const {
    for (const QWidget* w = this; w; w = w->parentWidget())
        if (w == view) return true;
    return false;
}

View* View::rootView() {
    View* v = this;
    while (View* s = v->superview()) v = s;
    return v;
}

QPointF View::convertPointToView(const QPointF& p, const View* to) const {
    // Frames are exact; walk them rather than the rounded widget geometry.
    QPointF global = p;
    for (const View* v = this; v; v = v->superview())
        global += v->m_frame.topLeft() - v->m_boundsOrigin;
    if (!to) return global;
    for (const View* v = to; v; v = v->superview()) global -= v->m_frame.topLeft() - v->m_boundsOrigin;
    return global;
}

QRectF View::convertRectToView(const QRectF& r, const View* to) const {
    return {convertPointToView(r.topLeft(), to), r.size()};
}

void View::setBackgroundColor(const QColor& c) {
    m_backgroundColor = c;
    update();
}

void View::setBackgroundBrush(const QBrush& brush) {
    m_backgroundBrush = brush;
    update();
}

void View::setAlpha(double a) {
    a = std::clamp(a, 0.0, 1.0);
    if (a == m_alpha) return;
    m_alpha = a;
    update();
    for (View* v : findChildren<View*>()) v->update();
}

void View::setHidden(bool hidden) {
    m_hidden = hidden;
    if (parentWidget()) setVisible(!hidden);
}

void View::setUserInteractionEnabled(bool on) {
    m_interaction = on;
    setAttribute(Qt::WA_TransparentForMouseEvents, !on);
}

void View::setCornerRadius(double r) {
    m_cornerRadius = r;
    update();
}

void View::setBorderWidth(double w) {
    m_borderWidth = w;
    update();
}

void View::setBorderColor(const QColor& c) {
    m_borderColor = c;
    update();
}

double View::effectiveAlpha() const {
    double a = m_alpha;
    for (const View* v = superview(); v; v = v->superview()) a *= v->m_alpha;
    return a;
}

void View::setNeedsLayout() {
    if (m_layoutPending) return;
    m_layoutPending = true;
    QCoreApplication::postEvent(this, new QEvent(kLayoutEvent));
}

void View::layoutIfNeeded() {
    if (!m_layoutPending) return;
    m_layoutPending = false;
    layoutSubviews();
}

bool View::event(QEvent* event) {
    if (event->type() == kLayoutEvent) {
        layoutIfNeeded();
        return true;
    }
    return QWidget::event(event);
}

void View::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    setNeedsLayout();
}

void View::setBoundsOrigin(const QPointF& origin) {
    if (origin == m_boundsOrigin) return;
    m_boundsOrigin = origin;
    for (View* v : View::subviews()) v->applyGeometry();
    update();
}

void View::addGestureRecognizer(GestureRecognizer* recognizer) {
    if (!recognizer) return;
    if (View* old = recognizer->view(); old && old != this) old->removeGestureRecognizer(recognizer);
    m_gestureRecognizers.removeAll(nullptr);
    if (!m_gestureRecognizers.contains(recognizer)) m_gestureRecognizers.append(recognizer);
    recognizer->setView(this);
}

void View::removeGestureRecognizer(GestureRecognizer* recognizer) {
    if (!recognizer || !m_gestureRecognizers.removeAll(recognizer)) return;
    if (recognizer->view() == this) recognizer->setView(nullptr);
}

QList<GestureRecognizer*> View::gestureRecognizers() const {
    QList<GestureRecognizer*> out;
    for (const QPointer<QObject>& o : m_gestureRecognizers)
        if (auto* g = qobject_cast<GestureRecognizer*>(o.data())) out.append(g);
    return out;
}

bool View::endEditing(bool) {
    if (TextView* text = TextView::firstResponder(); text && text->isDescendantOf(this))
        return text->resignFirstResponder();
    TextField* field = TextField::firstResponder();
    if (!field || !field->isDescendantOf(this)) return true;
    return field->resignFirstResponder();
}

void View::drawRect(QPainter&, const QRectF&) {}

void View::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(effectiveAlpha());
    const QRectF b(QPointF(0, 0), m_frame.size());
    if (m_backgroundBrush.style() != Qt::NoBrush) {
        QPainterPath path;
        path.addRoundedRect(b, m_cornerRadius, m_cornerRadius);
        p.fillPath(path, m_backgroundBrush);
    } else if (m_backgroundColor.alpha() > 0) {
        if (m_cornerRadius > 0) {
            QPainterPath path;
            path.addRoundedRect(b, m_cornerRadius, m_cornerRadius);
            p.fillPath(path, m_backgroundColor);
        } else {
            p.fillRect(b, m_backgroundColor);
        }
    }
    drawRect(p, b);
    if (m_borderWidth > 0) {
        const double h = m_borderWidth / 2;
        p.setPen(QPen(m_borderColor, m_borderWidth));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(b.adjusted(h, h, -h, -h), m_cornerRadius, m_cornerRadius);
    }
}

QImage View::renderToImage(double scale) {
    layoutIfNeeded();
    QImage img((m_frame.size() * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(scale);
    img.fill(Qt::transparent);
    const bool wasVisible = isVisible();
    // Qt renders only visible children of a never-shown widget through render flags.
    render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    Q_UNUSED(wasVisible);
    return img;
}

} // namespace ui

#include "platform/ui/Window.h"

#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

#include <QApplication>
#include <QKeyEvent>

#include <QChildEvent>
#include <QPainter>

namespace ui {

namespace {

// A window-sized layer above the root screen. Qt gives a press to the top-most widget under
// the pointer whatever it draws, so a layer that holds nothing is hidden: otherwise it would
// take every press meant for the screen below it.
class Layer : public View {
public:
    using View::View;

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::ChildAdded || e->type() == QEvent::ChildRemoved) {
            const QObject* child = static_cast<QChildEvent*>(e)->child();
            // Children are widgets from their first constructor on (views, cells...).
            if (child->isWidgetType()) setHidden(!holdsWidgets());
        }
        return View::event(e);
    }

private:
    bool holdsWidgets() const {
        for (const QObject* o : children())
            if (o->isWidgetType()) return true;
        return false;
    }
};

} // namespace

Window::Window(QWidget* parent) : QWidget(parent) {
    const QSize size = screenSize().toSize();
    setFixedSize(size);
    setAutoFillBackground(true);
    // The window holds the focus itself until a text field is touched: a phone screen never
    // starts with a field active (and its keyboard bar up) on its own.
    setFocusPolicy(Qt::ClickFocus);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    const QRectF full(QPointF(), screenSize());
    m_rootView = new View(full);
    m_rootView->setParent(this);
    m_rootView->setGeometry(QRect(QPoint(), size));
    m_rootView->setVisible(true);
    m_rootLayer = new View(full, m_rootView);
    m_presentationLayer = new Layer(full, m_rootView);
    m_presentationLayer->setHidden(true);
    m_alertLayer = new Layer(full, m_rootView);
    m_alertLayer->setHidden(true);
    // Escape is seen before the focused field gets it (a field would swallow it).
    qApp->installEventFilter(this);
}

Window::~Window() {
    if (s_key == this) s_key = nullptr;
    // The root screen owns its view: let it go first, then the layers.
    delete m_root.data();
}

void Window::setRootViewController(ViewController* vc) {
    if (vc == m_root) return;
    ViewController* old = m_root;
    const bool shown = isVisible();
    if (old) {
        if (shown) {
            old->beginAppearanceTransition(false, false);
            old->endAppearanceTransition();
        }
        if (old->isViewLoaded()) old->view()->removeFromSuperview();
        old->setParent(nullptr);
        ViewController::releaseLater(old);
    }
    m_root = vc;
    if (!vc) return;
    if (ViewController* parent = vc->parentViewController()) {
        Q_UNUSED(parent);
        vc->removeFromParentViewController(); // the window holds it now
    }
    vc->setParent(this);
    View* v = vc->view();
    v->setFrame(m_rootLayer->bounds());
    m_rootLayer->addSubview(v);
    if (shown) {
        vc->beginAppearanceTransition(true, false);
        vc->endAppearanceTransition();
    }
}

void Window::makeKeyWindow() {
    s_key = this;
}

void Window::makeKeyAndVisible() {
    makeKeyWindow();
    const bool wasShown = isVisible();
    show();
    if (!focusWidget()) setFocus(Qt::OtherFocusReason);
    if (!wasShown && m_root) {
        m_root->beginAppearanceTransition(true, false);
        m_root->endAppearanceTransition();
    }
}

Window* Window::windowForView(const View* view) {
    return view ? qobject_cast<Window*>(view->window()) : nullptr;
}

bool Window::eventFilter(QObject* watched, QEvent* event) {
    // Only a plain Escape is looked at before the object it goes to: the web engine sends a
    // focus key to an item of a page it is destroying.
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier || !isKeyWindow())
        return false;
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this) return false;
    return cancelTopmost();
}

bool Window::cancelTopmost() {
    // A desktop's Escape is the cancel button of whatever asks for a choice on top.
    if (AlertView* alert = AlertCenter::topAlert()) {
        if (alert->cancelButtonIndex() >= 0) alert->pressButtonAtIndex(alert->cancelButtonIndex());
        return true;
    }
    if (ActionSheet* sheet = AlertCenter::topActionSheet()) {
        if (sheet->cancelButtonIndex() >= 0) sheet->pressButtonAtIndex(sheet->cancelButtonIndex());
        return true;
    }
    const QList<View*> presented = m_presentationLayer->subviews();
    for (auto it = presented.rbegin(); it != presented.rend(); ++it) {
        auto* composer =
            qobject_cast<MessageComposeViewController*>(ViewController::viewControllerForView(*it));
        if (composer && !composer->isFinished()) {
            composer->cancel();
            return true;
        }
        if (composer) continue; // one already going
        break;                  // another screen is on top
    }
    return false;
}

void Window::updateAlertLayer() {
    m_alertLayer->setHidden(m_alertLayer->subviews().isEmpty());
    m_alertLayer->raise();
}

QImage Window::renderToImage(double scale) {
    QImage img((QSizeF(size()) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(scale);
    img.fill(Qt::white);
    render(&img);
    return img;
}

bool Window::saveScreenshot(const QString& path, double scale) {
    return renderToImage(scale).save(path, "PNG");
}

} // namespace ui

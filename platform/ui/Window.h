#pragma once

#include "platform/ui/ViewController.h"

#include <QImage>
#include <QPointer>
#include <QSizeF>
#include <QWidget>

namespace ui {

class View;
class ViewController;

// The phone-sized application window: 320 x 568 points, white. Its root view holds three
// layers from bottom to top: the root screen, presented screens, and alerts and sheets.
class Window : public QWidget {
    Q_OBJECT
public:
    static QSizeF screenSize() { return {320, 568}; }

    explicit Window(QWidget* parent = nullptr);
    ~Window() override;

    ViewController* rootViewController() const { return m_root; }
    // Takes ownership; the old root is released. The new root appears when the window is
    // visible.
    void setRootViewController(ViewController* vc);
    // Shows the window and makes it the key window; the root screen appears.
    void makeKeyAndVisible();
    void makeKeyWindow();
    bool isKeyWindow() const { return s_key == this; }
    static Window* keyWindow() { return s_key; }
    // The window holding view, if any.
    static Window* windowForView(const View* view);

    // The full-screen view everything is laid in.
    View* rootView() const { return m_rootView; }
    // Where presented screens go (below alerts); hidden while empty so presses reach the root
    // screen.
    View* presentationLayer() const { return m_presentationLayer; }
    // Where alerts and sheets go (always on top); hidden while empty so presses pass.
    View* alertLayer() const { return m_alertLayer; }
    void updateAlertLayer();

    // What Escape does while this is the key window: presses the cancel button of the top
    // alert or action sheet, or cancels a message composer on top. Returns whether Escape
    // was taken (an alert without a cancel button takes it and stays).
    bool cancelTopmost();

    QImage renderToImage(double scale = 1.0);
    bool saveScreenshot(const QString& path, double scale = 1.0);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutRoot();
    static inline Window* s_key = nullptr;
    View* m_rootView = nullptr;
    View* m_rootLayer = nullptr;
    View* m_presentationLayer = nullptr;
    View* m_alertLayer = nullptr;
    QPointer<ViewController> m_root;
};

} // namespace ui

#pragma once

#include "platform/ui/NavigationItem.h"
#include "platform/ui/View.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <functional>

namespace ui {

class BarButtonItem;
class NavigationItem;

// The bar across the top of a navigation stack: 64 points, the upper 20 under the status bar.
// It shows the top item's title and buttons, and a back button when there is a screen below.
class NavigationBar : public View {
    Q_OBJECT
public:
    enum class BarStyle { Default, Black };
    static constexpr double kHeight = 64;
    static constexpr double kStatusBarHeight = 20;

    explicit NavigationBar(View* parent = nullptr);
    ~NavigationBar() override;

    // The look. Before system 7 the bar takes its colour from tintColor, as that system did.
    QColor barTintColor() const { return m_barTint; }
    void setBarTintColor(const QColor& c);
    QColor tintColor() const { return m_tint; }
    void setTintColor(const QColor& c);
    QColor titleTextColor() const { return m_titleColor; }
    void setTitleTextColor(const QColor& c);
    QFont titleFont() const { return m_titleFont; }
    void setTitleFont(const QFont& f);
    QImage backgroundImage() const { return m_backgroundImage; }
    void setBackgroundImage(const QImage& image);
    QImage backIndicatorImage() const { return m_backIndicator; }
    void setBackIndicatorImage(const QImage& image);
    BarStyle barStyle() const { return m_barStyle; }
    void setBarStyle(BarStyle style);
    bool isTranslucent() const { return m_translucent; }
    void setTranslucent(bool on) { m_translucent = on; }

    // What is shown: the top item and the item below it (whose screen the back button returns
    // to; nullptr on the root screen). The fallback title is used while the item has none.
    void setItems(NavigationItem* top, NavigationItem* back, const QString& fallbackTitle = {});
    NavigationItem* topItem() const { return m_top; }
    NavigationItem* backItem() const { return m_backItem; }
    // Called when the back button is touched.
    void setBackAction(std::function<void()> action) { m_backAction = std::move(action); }

    // What the bar shows now (for tests and screenshots).
    QString displayedTitle() const;
    bool isBackButtonShown() const;
    // The views of the left, right and back buttons; nullptr when not shown.
    View* leftButtonView() const { return m_leftView; }
    View* rightButtonView() const { return m_rightView; }
    View* backButtonView() const { return m_backView; }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    void layoutSubviews() override;

private:
    void rebuild();
    void clearButtons();
    View* makeButton(BarButtonItem* item, bool back);

    QColor m_barTint = QColor(247, 247, 247);
    QColor m_tint = QColor(0, 122, 255);
    QColor m_titleColor = Qt::black;
    QFont m_titleFont;
    QImage m_backgroundImage;
    QImage m_backIndicator;
    BarStyle m_barStyle = BarStyle::Default;
    bool m_translucent = true;
    QPointer<NavigationItem> m_top;
    QPointer<NavigationItem> m_backItem;
    QString m_fallbackTitle;
    std::function<void()> m_backAction;
    QPointer<View> m_leftView;
    QPointer<View> m_rightView;
    QPointer<View> m_backView;
    QPointer<View> m_titleView;
    QPointer<View> m_leftCustom;
    QPointer<View> m_rightCustom;
};

} // namespace ui

#pragma once

#include "platform/ui/View.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

namespace ui {

class View;

// A button of a navigation bar or toolbar: a title, an image or a custom view, and an action.
class BarButtonItem : public QObject {
    Q_OBJECT
public:
    enum class Style { Plain, Bordered, Done };
    enum class SystemItem { FlexibleSpace, FixedSpace };

    explicit BarButtonItem(const QString& title = {}, Style style = Style::Plain,
                           std::function<void()> action = {}, QObject* parent = nullptr);
    BarButtonItem(const QImage& image, Style style, std::function<void()> action = {},
                  QObject* parent = nullptr);
    // Takes ownership of the view; it receives the touches itself.
    explicit BarButtonItem(View* customView, QObject* parent = nullptr);
    static BarButtonItem* systemItem(SystemItem item, QObject* parent = nullptr);
    ~BarButtonItem() override;

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    QImage image() const { return m_image; }
    void setImage(const QImage& image);
    Style style() const { return m_style; }
    void setStyle(Style style);
    View* customView() const { return m_customView; }
    void setCustomView(View* view);
    bool isSpace() const { return m_space; }
    double width() const { return m_width; }
    void setWidth(double w);
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    void setAction(std::function<void()> action) { m_action = std::move(action); }

    // What a touch on the item does: runs the action and emits triggered().
    void trigger();

signals:
    void triggered();
    void changed();

private:
    QString m_title;
    QImage m_image;
    Style m_style = Style::Plain;
    QPointer<View> m_customView;
    bool m_space = false;
    double m_width = 0;
    int m_tag = 0;
    bool m_enabled = true;
    std::function<void()> m_action;
};

} // namespace ui

#pragma once

#include "platform/ui/View.h"

#include <QColor>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>

// A multi-line text view with a grey placeholder: it shows either the user's text in
// realTextColor or, when that is empty, the placeholder in light grey, both through the
// view's own text. Beginning and ending an edit are posted as the platform's text-view
// notifications, with the view as their object.
class RRTextView : public ui::View {
    Q_OBJECT
public:
    static QColor placeholderColor(); // light grey

    explicit RRTextView(View* parent = nullptr);
    explicit RRTextView(const QRectF& frame, View* parent = nullptr);
    ~RRTextView() override;

    // The user's text: empty while the placeholder shows.
    QString text() const;
    void setText(const QString& text);
    // The shown text as it is, placeholder included.
    QString realText() const;
    QString placeholder() const { return m_placeholder; }
    void setPlaceholder(const QString& placeholder);
    QColor realTextColor() const { return m_realTextColor; }
    void setRealTextColor(const QColor& color) { m_realTextColor = color; }
    // The colour the text is drawn in now.
    QColor textColor() const;
    void setTextColor(const QColor& color);
    bool isShowingPlaceholder() const;

    void awakeFromNib();
    void beginEditing();
    void endEditing();

    // The editor inside (for focus and typing).
    QPlainTextEdit* editor() const { return m_editor; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void show(const QString& text, const QColor& color);
    QPointer<QPlainTextEdit> m_editor;
    QString m_placeholder;
    QColor m_realTextColor = Qt::black;
};

#pragma once

#include "platform/ui/View.h"

#include <QString>

// A layer-like view that shows one string in one font size and colour, laid over other views
// (the count-down over a switch's knob).
class TextLayer : public ui::View {
    Q_OBJECT
public:
    explicit TextLayer(View* parent = nullptr);

    QString string() const { return m_string; }
    void setString(const QString& text);
    double fontSize() const { return m_fontSize; }
    void setFontSize(double size);
    QColor foregroundColor() const { return m_foregroundColor; }
    void setForegroundColor(const QColor& color);
    // "natural", "left", "right", "center" or "justified".
    QString alignmentMode() const { return m_alignmentMode; }
    void setAlignmentMode(const QString& mode);
    double contentsScale() const { return m_contentsScale; }
    void setContentsScale(double scale) { m_contentsScale = scale; }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    QString m_string;
    double m_fontSize = 36;
    QColor m_foregroundColor = Qt::white;
    QString m_alignmentMode = QStringLiteral("natural");
    double m_contentsScale = 1;
};

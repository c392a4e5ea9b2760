#include "widgets/RecordingCanvas.h"

void RecordingCanvas::setLineDash(double phase, const QList<double>& lengths) {
    m_dashPhase = phase;
    m_dash = lengths;
}

void RecordingCanvas::moveTo(const QPointF& p) {
    m_path.append({Segment::Move, p});
}

void RecordingCanvas::addLineTo(const QPointF& p) {
    m_path.append({Segment::Line, p});
}

void RecordingCanvas::addArc(const QPointF& center, double radius, double startAngle,
                             double endAngle, bool clockwise) {
    m_path.append({Segment::Arc, center, radius, startAngle, endAngle, clockwise});
}

void RecordingCanvas::strokePath() {
    if (m_path.isEmpty()) return;
    m_strokes.append({m_path, m_stroke, m_width, m_dashPhase, m_dash, m_cap});
    m_ops.append(Op::Stroke);
    m_path.clear();
}

void RecordingCanvas::fillRect(const QRectF& rect, const QColor& color) {
    m_fills.append({Fill::Plain, rect, color, 0, {}, {}});
    m_ops.append(Op::Fill);
}

void RecordingCanvas::fillRoundedRect(const QRectF& rect, double radius, const QColor& color) {
    m_fills.append({Fill::Rounded, rect, color, radius, {}, {}});
    m_ops.append(Op::Fill);
}

void RecordingCanvas::fillLinearGradient(const QRectF& rect, double radius,
                                         const GradientStops& stops) {
    m_fills.append({Fill::Linear, rect, {}, radius, {}, stops});
    m_ops.append(Op::Fill);
}

void RecordingCanvas::fillRadialGradient(const QRectF& rect, const QPointF& center, double radius,
                                         const GradientStops& stops) {
    m_fills.append({Fill::Radial, rect, {}, radius, center, stops});
    m_ops.append(Op::Fill);
}

void RecordingCanvas::drawImage(const QString& name, const QRectF& rect) {
    m_images.append({name, rect});
    m_ops.append(Op::Image);
}

double RecordingCanvas::firstGlyphAdvance(const QString& text, const QString&, double size) {
    return text.isEmpty() ? 0 : size * m_advancePerPoint;
}

void RecordingCanvas::drawText(const QString& text, const QString& fontName, double size,
                               const QColor& color, const QPointF& origin) {
    m_texts.append({text, fontName, size, color, origin});
    m_ops.append(Op::Text);
}

const RecordingCanvas::Text* RecordingCanvas::findText(const QString& text) const {
    for (const Text& t : m_texts)
        if (t.text == text) return &t;
    return nullptr;
}

QList<RecordingCanvas::Image> RecordingCanvas::imagesNamed(const QString& name) const {
    QList<Image> out;
    for (const Image& i : m_images)
        if (i.name == name) out.append(i);
    return out;
}

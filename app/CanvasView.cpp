#include "app/CanvasView.h"

#include "canvas/Canvas.h"

#include <QMouseEvent>
#include <QPainter>

CanvasView::CanvasView(Canvas* canvas, QWidget* parent) : QWidget(parent), m_canvas(canvas) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
}

void CanvasView::setUnits(double unitsWide, double unitsHigh) {
    m_unitsWide = unitsWide;
    m_unitsHigh = unitsHigh;
    update();
}

void CanvasView::setDisplayPixelUnits() {
    m_unitsWide = m_unitsHigh = 0;
    update();
}

QPointF CanvasView::toUnits(const QPointF& p) const {
    if (measuresDisplayPixels() || width() <= 0 || height() <= 0)
        return p;
    return {p.x() * m_unitsWide / width(), p.y() * m_unitsHigh / height()};
}

void CanvasView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QImage& image = std::as_const(*m_canvas).image(); // reading must not count as a change
    if (measuresDisplayPixels())
        painter.drawImage(0, 0, image);
    else
        painter.drawImage(QRectF(rect()), image, QRectF(0, 0, m_unitsWide, m_unitsHigh));
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    const QPointF u = toUnits(event->position());
    emit mouseDown(event->button(), event->modifiers(), u.x(), u.y());
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF u = toUnits(event->position());
    emit mouseMove(event->buttons(), event->modifiers(), u.x(), u.y());
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF u = toUnits(event->position());
    emit mouseUp(event->button(), event->modifiers(), u.x(), u.y());
}

#include "app/CanvasView.h"

#include "canvas/Canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>

namespace {
// Light enough that black pixels stay black to the eye and white ones read as white.
const QColor GridColour(150, 160, 175, 110);
} // namespace

CanvasView::CanvasView(Canvas* canvas, QWidget* parent) : QWidget(parent), m_canvas(canvas) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    // A click on the canvas takes the keyboard from a text box, so Ctrl+Z then undoes drawing.
    setFocusPolicy(Qt::ClickFocus);
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

void CanvasView::setBoxSize(const QSize& x1Size) {
    m_boxSize = x1Size;
    applySize();
}

void CanvasView::setZoom(int zoom) {
    if (m_boxSize.isEmpty())
        m_boxSize = size() / m_zoom;
    m_zoom = std::max(1, zoom);
    applySize();
}

void CanvasView::applySize() {
    resize(m_boxSize * m_zoom);
    update();
}

double CanvasView::scaleX() const {
    if (measuresDisplayPixels() || width() <= 0)
        return 1.0 / m_zoom;
    return m_unitsWide / width();
}

double CanvasView::scaleY() const {
    if (measuresDisplayPixels() || height() <= 0)
        return 1.0 / m_zoom;
    return m_unitsHigh / height();
}

QPointF CanvasView::toUnits(const QPointF& p) const {
    return {p.x() * scaleX(), p.y() * scaleY()};
}

void CanvasView::updatePixels(const QRect& pixels) {
    if (pixels.isEmpty())
        return;
    const double sx = scaleX(), sy = scaleY();
    // Outward to whole widget pixels, one more for rounding in the scaled drawing.
    const QRect area(
        QPoint(int(std::floor(pixels.left() / sx)) - 1, int(std::floor(pixels.top() / sy)) - 1),
        QPoint(int(std::ceil((pixels.right() + 1) / sx)) + 1,
               int(std::ceil((pixels.bottom() + 1) / sy)) + 1));
    update(area.intersected(rect()));
}

void CanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    const QImage& image = std::as_const(*m_canvas).image(); // reading must not count as a change
    const double sx = scaleX(), sy = scaleY();
    // Only the canvas pixels under the exposed part are drawn: at x8 a 320x200 box is
    // 2560x1600 screen pixels, and a pen movement changes a few of them.
    QRect source(QPoint(int(std::floor(exposed.left() * sx)), int(std::floor(exposed.top() * sy))),
                 QPoint(int(std::ceil((exposed.right() + 1) * sx)),
                        int(std::ceil((exposed.bottom() + 1) * sy))));
    source = source.adjusted(0, 0, -1, -1);
    painter.fillRect(exposed, Qt::white);
    const QRect shown = source.intersected(image.rect());
    if (!shown.isEmpty()) {
        const QRectF target(shown.left() / sx, shown.top() / sy, shown.width() / sx,
                            shown.height() / sy);
        painter.drawImage(target, image, QRectF(shown));
    }
    if (m_zoom < GridFromZoom)
        return;
    // The grid: one line on the left and top edge of every pixel square in view.
    QVarLengthArray<QLineF, 512> lines;
    const int columnEnd = std::min(source.right() + 1, int(std::ceil(width() * sx)));
    const int rowEnd = std::min(source.bottom() + 1, int(std::ceil(height() * sy)));
    for (int column = std::max(0, source.left()); column <= columnEnd; ++column) {
        const double x = column / sx + 0.5;
        lines.append(QLineF(x, exposed.top(), x, exposed.bottom() + 1));
    }
    for (int row = std::max(0, source.top()); row <= rowEnd; ++row) {
        const double y = row / sy + 0.5;
        lines.append(QLineF(exposed.left(), y, exposed.right() + 1, y));
    }
    painter.setPen(QPen(GridColour, 1));
    painter.drawLines(lines.constData(), int(lines.size()));
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

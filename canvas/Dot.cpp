#include "canvas/Dot.h"

#include "canvas/Canvas.h"

#include <algorithm>
#include <cmath>

namespace {
// Well outside the largest panel yet far from the int limits.
constexpr double FarAway = 1.0e6;

double wholePart(double value) {
    if (!(value > -FarAway)) // also catches NaN
        return -FarAway;
    if (!(value < FarAway))
        return FarAway;
    return std::floor(value);
}
} // namespace

QPoint pixelAt(const QPointF& position) {
    return {static_cast<int>(wholePart(position.x())), static_cast<int>(wholePart(position.y()))};
}

QVector<QPoint> dotOffsets(int diameter) {
    const qint64 d = std::max(1, diameter);
    // A pixel belongs to the dot when its centre lies within d/2 of the dot's centre. An odd dot
    // is centred on the middle of the pointer pixel; an even one on that pixel's top-left corner,
    // so it reaches d/2 pixels left and up and d/2 - 1 right and down. Measured in half pixels to
    // stay in integers: (2dx + 1 - d%2)^2 + (2dy + 1 - d%2)^2 <= d^2.
    const qint64 shift = 1 - d % 2;
    QVector<QPoint> offsets;
    for (qint64 dy = -d; dy <= d; ++dy) {
        for (qint64 dx = -d; dx <= d; ++dx) {
            const qint64 u = 2 * dx + shift;
            const qint64 v = 2 * dy + shift;
            if (u * u + v * v <= d * d)
                offsets.append(QPoint(static_cast<int>(dx), static_cast<int>(dy)));
        }
    }
    return offsets;
}

namespace {
QRect offsetsBounds(const QVector<QPoint>& offsets) {
    QRect bounds;
    for (const QPoint& offset : offsets)
        bounds |= QRect(offset, QSize(1, 1));
    return bounds;
}

void stamp(Canvas& canvas, const QPoint& centre, const QVector<QPoint>& offsets) {
    for (const QPoint& offset : offsets)
        canvas.setPixel(centre.x() + offset.x(), centre.y() + offset.y(), canvas.penColour);
}

// Keeps the walk along a line to the canvas and a pen's reach around it: a far-away end (the
// pointer is bound to the canvas while a button is held) must not cost a million steps.
QPoint pulledIn(const QPoint& p, const Canvas& canvas, int reach) {
    return {std::clamp(p.x(), -reach - 1, canvas.width() + reach),
            std::clamp(p.y(), -reach - 1, canvas.height() + reach)};
}
} // namespace

QRect plotDot(Canvas& canvas, const QPointF& position) {
    const QPoint centre = pixelAt(position);
    const QVector<QPoint> offsets = dotOffsets(canvas.penWidth);
    stamp(canvas, centre, offsets);
    canvas.currentPosition = position;
    return offsetsBounds(offsets).translated(centre);
}

QRect plotLine(Canvas& canvas, const QPointF& from, const QPointF& to) {
    const QVector<QPoint> offsets = dotOffsets(canvas.penWidth);
    const QRect reach = offsetsBounds(offsets);
    const QPoint a = pixelAt(from);
    const QPoint b = pixelAt(to);
    const QRect covered = (reach.translated(a) | reach.translated(b));
    canvas.currentPosition = to;

    // Bresenham's walk between the two pixels. An end beyond the canvas is moved along the
    // line towards the other end until it is close to the canvas, so the walk stays short.
    const int margin = canvas.penWidth + 1;
    QPointF p0(a), p1(b);
    const QRectF near(-margin, -margin, canvas.width() + 2.0 * margin,
                      canvas.height() + 2.0 * margin);
    if (!near.contains(p0) || !near.contains(p1)) {
        // Parametric clipping of the segment against the enlarged canvas (Liang-Barsky).
        double t0 = 0, t1 = 1;
        const double dx = p1.x() - p0.x(), dy = p1.y() - p0.y();
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {p0.x() - near.left(), near.right() - p0.x(), p0.y() - near.top(),
                             near.bottom() - p0.y()};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0)
                    return covered; // parallel to an edge and outside it
                continue;
            }
            const double t = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
        }
        if (t0 > t1)
            return covered; // the line passes by the canvas
        const QPointF start = p0 + (p1 - p0) * t0;
        const QPointF stop = p0 + (p1 - p0) * t1;
        p0 = start;
        p1 = stop;
    }
    QPoint s = pulledIn(QPoint(int(std::lround(p0.x())), int(std::lround(p0.y()))), canvas, margin);
    const QPoint e =
        pulledIn(QPoint(int(std::lround(p1.x())), int(std::lround(p1.y()))), canvas, margin);
    const int dx = std::abs(e.x() - s.x()), sx = s.x() < e.x() ? 1 : -1;
    const int dy = -std::abs(e.y() - s.y()), sy = s.y() < e.y() ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        stamp(canvas, s, offsets);
        if (s == e)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            s.rx() += sx;
        }
        if (twice <= dx) {
            error += dx;
            s.ry() += sy;
        }
    }
    return covered;
}

QString penPositionCaption(const QPointF& position) {
    // Adding 0.0 turns the -0 that floor(-0.0) gives into 0, so no "X:-0" appears.
    auto whole = [](double v) { return QString::number(std::floor(v) + 0.0, 'f', 0); };
    return QStringLiteral("X:%1 Y:%2").arg(whole(position.x()), whole(position.y()));
}

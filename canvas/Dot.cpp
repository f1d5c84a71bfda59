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

void plotDot(Canvas& canvas, const QPointF& position) {
    const QPoint centre = pixelAt(position);
    for (const QPoint& offset : dotOffsets(canvas.penWidth))
        canvas.setPixel(centre.x() + offset.x(), centre.y() + offset.y(), canvas.penColour);
    canvas.currentPosition = position;
}

QString penPositionCaption(const QPointF& position) {
    // Adding 0.0 turns the -0 that floor(-0.0) gives into 0, so no "X:-0" appears.
    auto whole = [](double v) { return QString::number(std::floor(v) + 0.0, 'f', 0); };
    return QStringLiteral("X:%1 Y:%2").arg(whole(position.x()), whole(position.y()));
}

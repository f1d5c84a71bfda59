#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QVector>

class Canvas;

// The canvas pixel whose cell holds a real position: (floor(x), floor(y)). Positions far outside
// any panel are pulled in to a range that still lies outside every canvas, so the conversion to
// int cannot overflow.
QPoint pixelAt(const QPointF& position);

// Offsets from the pixel under the pointer that a round pen dot of the given diameter covers.
QVector<QPoint> dotOffsets(int diameter);

// One pen dot of canvas.penWidth in canvas.penColour on the pixel under `position`; the part
// outside the canvas is dropped. currentPosition becomes `position` itself, not the pixel.
// Returns the canvas pixels the dot covers (also those outside the canvas), for repainting.
QRect plotDot(Canvas& canvas, const QPointF& position);

// A straight stroke: pen dots on every pixel of the 8-connected line from the pixel under
// `from` to the pixel under `to` (both ends included), so no gap shows at any pen width.
// currentPosition becomes `to`. Returns the pixels covered, like plotDot.
QRect plotLine(Canvas& canvas, const QPointF& from, const QPointF& to);

// The pointer caption of the pen, "X:12 Y:7": the largest whole number not above each
// coordinate, so x = -2.5 reads X:-3.
QString penPositionCaption(const QPointF& position);

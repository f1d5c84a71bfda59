#pragma once

#include <QPoint>
#include <QPointF>
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
void plotDot(Canvas& canvas, const QPointF& position);

// The pointer caption of the pen, "X:12 Y:7": the largest whole number not above each
// coordinate, so x = -2.5 reads X:-3.
QString penPositionCaption(const QPointF& position);

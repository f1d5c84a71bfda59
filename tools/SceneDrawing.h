#pragma once

// The picture both window screenshots start from: a one-pixel frame round the canvas and the
// program's name stamped in bold, as a user would with Text.
#include "app/Main.h"

#include <QFont>
#include <QLineEdit>

inline void drawFramedTitle(Main& w, int pointSize, const QPointF& at) {
    Canvas& canvas = w.canvas;
    for (int x = 0; x < canvas.width(); ++x) {
        canvas.setPixel(x, 0, Canvas::Black);
        canvas.setPixel(x, canvas.height() - 1, Canvas::Black);
    }
    for (int y = 0; y < canvas.height(); ++y) {
        canvas.setPixel(0, y, Canvas::Black);
        canvas.setPixel(canvas.width() - 1, y, Canvas::Black);
    }
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(pointSize);
    font.setBold(true);
    canvas.font = font;
    canvas.currentPosition = at;
    w.pictxt->setText(QStringLiteral("Quorvel"));
    w.cmdtext_Click();
}

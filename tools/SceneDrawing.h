#pragma once

// Drawing on the window the way a user does, for the screenshot scenes: strokes of the pen on the
// canvas box, Font, Text. The scenes both start from the same picture: a one-pixel frame round
// the canvas and the program's name stamped on it.
#include "app/CanvasView.h"
#include "app/Main.h"
#include "support/Controls.h"
#include "support/Modals.h"

#include <QFont>
#include <QFontDialog>
#include <QLineEdit>
#include <QList>
#include <QPointF>

// One stroke of the pen through `points`, in canvas units: pressed at the first, moved with
// Shift held to each of the others (a straight line of dots from the one before), released at
// the last. What the canvas box reports for the mouse, at exact positions.
inline void penStroke(Main& w, const QList<QPointF>& points) {
    auto* box = findControl<CanvasView>(&w, QStringLiteral("Picture1"));
    emit box->mouseDown(Qt::LeftButton, {}, points.front().x(), points.front().y());
    for (qsizetype i = 1; i < points.size(); ++i)
        emit box->mouseMove(Qt::LeftButton, Qt::ShiftModifier, points[i].x(), points[i].y());
    emit box->mouseUp(Qt::LeftButton, {}, points.back().x(), points.back().y());
}

// The next text goes where the pen was last: a dot of the eraser there leaves no mark on white.
inline void placeText(Main& w, const QPointF& at) {
    clickControl(&w, QStringLiteral("Command6")); // Erase
    penStroke(w, {at});
    clickControl(&w, QStringLiteral("Command7")); // Draw
}

// Font, the dialog answered with `font` (the window takes its name and size).
inline void chooseFont(Main& w, const QFont& font) {
    Modals modals;
    modals.whenShown<QFontDialog>([font](QFontDialog* dialog) {
        dialog->setCurrentFont(font);
        dialog->accept();
    });
    clickControl(&w, QStringLiteral("cmdfont"));
}

// `text` typed into the text box and stamped with Text.
inline void stampText(Main& w, const QString& text) {
    typeInto(findControl<QLineEdit>(&w, QStringLiteral("pictxt")), text);
    clickControl(&w, QStringLiteral("cmdtext"));
}

inline void drawFramedTitle(Main& w, int pointSize, const QPointF& at) {
    // Through the middle of the edge pixels, with the pen at its start-up size of one pixel.
    const double right = w.state().canvas.width() - 0.5;
    const double bottom = w.state().canvas.height() - 0.5;
    penStroke(w, {{0.5, 0.5}, {right, 0.5}, {right, bottom}, {0.5, bottom}, {0.5, 0.5}});
    chooseFont(w, QFont(QStringLiteral("DejaVu Sans"), pointSize));
    placeText(w, at);
    stampText(w, QStringLiteral("Quorvel"));
}

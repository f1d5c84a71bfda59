#pragma once

// What the drawing tests read back from a canvas, and the files they hand to the window.
#include "canvas/Canvas.h"

#include <QByteArray>
#include <QFile>
#include <QPoint>
#include <QString>
#include <QVector>
#include <algorithm>
#include <initializer_list>

// Positions of the black pixels, row by row.
inline QVector<QPoint> blackPixels(const Canvas& canvas) {
    QVector<QPoint> set;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.isSet(x, y))
                set << QPoint(x, y);
    return set;
}

inline int blackCount(const Canvas& canvas) {
    return static_cast<int>(blackPixels(canvas).size());
}

// Every pixel is exactly one of `allowed`.
inline bool onlyColours(const Canvas& canvas, std::initializer_list<QRgb> allowed) {
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (std::find(allowed.begin(), allowed.end(), canvas.pixel(x, y)) == allowed.end())
                return false;
    return true;
}

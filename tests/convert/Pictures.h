#pragma once

#include "canvas/Canvas.h"
#include "convert/ByteMatrix.h"

#include <QString>

// Test pictures shared by the byte matrix and output text tests.

// Column 0 of rows 0..7, row 7 of columns 0..7 and (3, 2): a corner whose bytes are easy to read.
inline Canvas cornerPicture(int width, int height) {
    Canvas canvas(width, height);
    for (int i = 0; i < 8; ++i) {
        canvas.setPixel(0, i, Canvas::Black);
        canvas.setPixel(i, 7, Canvas::Black);
    }
    canvas.setPixel(3, 2, Canvas::Black);
    return canvas;
}

// What a BMP row holds for the canvas (palette 0 black, 1 white), captured the way Load does.
inline HorzMatrix capturedFrom(const Canvas& canvas, bool inverted) {
    HorzMatrix matrix;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int c = 0; c < canvas.width() / 8; ++c) {
            quint8 byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if (!canvas.isSet(8 * c + bit, y))
                    byte |= quint8(0x80 >> bit);
            }
            captureHorizontalByte(matrix, y, c, byte, inverted);
        }
    }
    return matrix;
}

// Byte y * 7 + c at row y, column c, so that a slip of row or column shows.
inline HorzMatrix countingMatrix(int width, int height) {
    HorzMatrix matrix;
    for (int y = 0; y < height; ++y)
        for (int c = 0; c < width / 8; ++c)
            captureHorizontalByte(matrix, y, c, quint8(y * 7 + c), false);
    return matrix;
}

inline QString hexOf(int byte) {
    return QStringLiteral("%1").arg(byte & 255, 2, 16, QLatin1Char('0'));
}

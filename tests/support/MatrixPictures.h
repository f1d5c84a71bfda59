#pragma once

#include "canvas/Bmp.h"
#include "canvas/Canvas.h"
#include "convert/ByteMatrix.h"
#include "convert/HorizontalCapture.h"

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

// What a Load captures of `picture` saved as the tool's BMP file for a width x height panel: our
// writer, our row reader and the capture of Load. Nothing is captured when the reader refuses the
// file.
inline HorzMatrix loadCapture(const QImage& picture, int width, int height, bool inverted) {
    HorzMatrix matrix;
    const BmpRows rows = readMonochromeBmpRows(writeMonochromeBmp(picture), width, height);
    if (rows.ok())
        captureBmpRows(matrix, rows.bytes, width, height, inverted);
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

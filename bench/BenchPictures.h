#pragma once

// The pictures the benchmarks convert. About half the pixels are black, scattered so that no
// byte repeats for long: a branch on "is this pixel black" is guessed wrong as often as in a
// drawn picture, or more often.
#include "canvas/Canvas.h"
#include "convert/ByteMatrix.h"
#include "convert/HorizontalCapture.h"
#include "support/TestPictures.h"

#include <QImage>

inline bool halfBlackPixel(int x, int y) {
    quint32 h = quint32(x) * 0x9E3779B1u ^ quint32(y) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    return (h >> 13) & 1u;
}

// Canvas colours (0xffRRGGBB, as the canvas keeps them): pure black or white.
inline QImage halfBlackImage(int width, int height) {
    return pictureOf(width, height, halfBlackPixel);
}

// The same picture as a BMP load captures it: bit 7 is the leftmost pixel, black is 1.
inline HorzMatrix halfBlackCapture(int width, int height) {
    HorzMatrix matrix;
    captureBmpRows(matrix, horizontalBytesOf(width, height, halfBlackPixel), width, height, false);
    return matrix;
}

#pragma once

#include "canvas/Bmp.h"
#include "convert/ByteMatrix.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// What Load makes of a file's bytes: the picture the canvas shows (any format the platform
// reads) and, for the horizontal capture, the pixel rows of a 1-bit BMP of the panel's size.
struct LoadedPicture {
    QImage picture;  // null when the bytes are no picture the platform reads
    BmpRows rows;    // rows.failure says why they cannot be captured
    QString failure; // why the picture cannot be shown; empty when it can
};

// 4096 x 4096: far beyond any panel, and 64 MB on the canvas.
constexpr qint64 LargestPicturePixels = 4096 * 4096;

// `suffix` is the file name's, tried first: a few formats cannot be told by their content.
LoadedPicture decodeLoadedPicture(const QByteArray& bytes, const QByteArray& suffix, int width,
                                  int height);

// Hands every pixel byte of the rows (pad bytes dropped: width / 8 a row) to the capture of one
// horizontal byte, row by row. The rows must have come back whole from decodeLoadedPicture.
void captureLoadedRows(HorzMatrix& matrix, const BmpRows& rows, int width, int height,
                       bool inverted);

#pragma once

// The obvious, slow way to convert, kept beside the program's own code so that each run of the
// benchmark says how much the faster code buys: one QImage::pixel() call per pixel, one small
// string per byte appended to a growing text. Same results as convert/, byte for byte.
#include "convert/ByteMatrix.h"
#include "convert/OutputText.h"

VertMatrix naiveVerticalMatrix(const QImage& image, int width, int height);
QString naiveVerticalText(const VertMatrix& matrix, const OutputFormat& format);
QString naiveHorizontalText(const HorzMatrix& matrix, int width, int height,
                            const OutputFormat& format);

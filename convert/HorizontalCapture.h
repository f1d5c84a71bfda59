#pragma once

#include <QByteArray>

class HorzMatrix;
class QImage;

// Horizontal bytes (T6963C, SED1330): row by row from the top, width / 8 bytes a row, bit 7 the
// leftmost of 8 pixels side by side. Two sources give them: the pixel rows of a loaded BMP file
// and the canvas itself; both follow the same bit rule, so a picture captures the same from
// either.

// The horizontal bytes of a width x height panel taken from the canvas picture, exactly as
// saving the canvas as a 1-bit BMP (black at palette entry 0, only pure black a 0 bit) and
// loading that file back would capture them: a 1 bit for every pixel that is not pure black,
// every byte complemented when `inverted` ("Inverted" ticked, so a 1 bit is a black pixel).
// Pixels the picture does not cover (a picture smaller than the panel) read as white, as
// everywhere on the canvas. No closing "00": the output text adds it. width / 8 x height bytes;
// a width that is not a multiple of 8 drops its last pixels, as the capture of a file does.
QByteArray horizontalBytes(const QImage& canvas, int width, int height, bool inverted);

// The bytes a BMP load captured into the matrix for a width x height panel, in the same order
// as horizontalBytes; cells never captured are left out, as the output text leaves out their
// digits.
QByteArray capturedBytes(const HorzMatrix& matrix, int width, int height);

// The capture of a BMP load: the pixel rows readMonochromeBmpRows gave for a width x height
// panel ((width + 7) / 8 bytes a row), width / 8 bytes of each row into the matrix, every byte
// complemented when `inverted` ("Inverted" ticked at the load). Cells outside the panel keep
// what they held.
void captureBmpRows(HorzMatrix& matrix, const QByteArray& rows, int width, int height,
                    bool inverted);

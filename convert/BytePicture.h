#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The way back from bytes to a picture: what a panel shows for the bytes it is sent. A 1 bit is
// a dark pixel, drawn black on white, whatever the picture they were made from looked like.

// The bytes of a width x height panel drawn as a Format_RGB32 picture of pure black and white.
// Vertical (KS0108): page by page, left to right; bit k of byte (x, page) is pixel (x, 8 page + k).
// Horizontal (T6963C, SED1330): row by row; bit 7 of byte c of row y is pixel (8 c, y).
// Bytes missing at the end read as 0 (white); bytes beyond the panel are not drawn.
QImage pictureFromBytes(const QByteArray& bytes, int width, int height, bool horizontal);

// How many bytes a width x height panel takes: one per 8 pixels, in either layout.
int panelByteCount(int width, int height);

// The picture bytes of a table read for a width x height panel, or `failure` saying why they do
// not fit. A horizontal table may end with the closing "00" of the output text, which is taken off.
struct PanelBytes {
    QByteArray bytes;
    QString failure;
    bool ok() const { return failure.isEmpty(); }
};
PanelBytes fitToPanel(const QByteArray& table, int width, int height, bool horizontal);

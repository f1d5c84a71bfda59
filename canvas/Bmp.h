#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Monochrome BMP files: the one-bit form the tool saves, and the pixel rows the T6963C and
// SED1330 conversions capture from a loaded file.

// Bytes of one stored pixel row: one bit per pixel, padded to a multiple of 4 bytes.
int bmpRowLength(int width);

// The picture as a bottom-up 1-bit BMP with the 62-byte header (file header, 40-byte
// information header, palette 0 = black, 1 = white). Only pure black becomes a 0 bit, every
// other colour a 1 bit, because the panel knows no grey. Pad bits and bytes are 0. Empty when the
// picture is too large for one file.
QByteArray writeMonochromeBmp(const QImage& picture);

// The pixel rows of a 1-bit BMP of exactly width x height pixels, top row first, (width + 7) / 8
// bytes a row (the pad bytes of each stored row dropped), leftmost pixel in the most significant
// bit. A 0 bit is the darker of the file's two palette colours and a 1 bit the lighter, as in the
// files the tool saves (black at entry 0): rows of a file whose entry 0 is the lighter one come
// back complemented, so a picture reads the same whichever order its palette uses. A palette
// that is missing or cut short is taken in the usual order. Rows are read from the data offset
// the header declares, in either row order. Any other file gives `failure`, which says what was
// found and what was expected; nothing outside `file` is read.
struct BmpRows {
    QByteArray bytes;
    QString failure;
    bool paletteReversed = false; // entry 0 was the lighter colour, so the bits were complemented
    bool ok() const { return failure.isEmpty(); }
};
BmpRows readMonochromeBmpRows(const QByteArray& file, int width, int height);

// A file given to Load for a width x height panel, checked whole before anything is shown: its
// pixel rows (as readMonochromeBmpRows) and the picture the canvas is to show. Either both are
// there or neither is, with `failure` saying why, so a refused file changes no picture.
struct PanelBmp {
    BmpRows rows;
    QImage picture;
    QString failure;
    bool ok() const { return failure.isEmpty(); }
};
PanelBmp readPanelBmp(const QByteArray& file, int width, int height);

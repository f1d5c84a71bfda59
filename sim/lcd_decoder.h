#pragma once

#include "panel_geometry.h"

#include <QByteArray>
#include <QImage>

// LCD pictures are 1-bit images: index 1 is a set (dark) pixel, index 0 a clear one. The colour
// table is black on white so that a saved PNG reads the same way.
QImage blankLcdImage(int width, int height);

// Page by page, left to right: byte (x, page) bit k is pixel (x, 8*page + k).
QImage decodeVertical(const QByteArray& bytes, int width, int height);

// Row by row, width/8 bytes a row, bit 7 is the leftmost pixel. oneIsDark = false reads the
// bits the other way round (0 = dark), for hosts that load their bitmaps without inversion.
QImage decodeHorizontal(const QByteArray& bytes, int width, int height, bool oneIsDark);

// Missing bytes (a short EEPROM read) decode as 0; extra bytes (the closing byte) are ignored.
QImage decodePanel(const QByteArray& bytes, const PanelGeometry& panel, bool horizontalOneIsDark);

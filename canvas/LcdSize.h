#pragma once

#include <QSizeF>
#include <array>

// The eight panels the tool prepares pictures for, in the order of the size options.
struct LcdSize {
    int width;
    int height;
    const char* label;
};

constexpr int LcdSizeCount = 8;
const std::array<LcdSize, LcdSizeCount>& lcdSizes();

// Outer size of the canvas box for size option `index`, scaled from the laid-out base box so
// that every panel is shown at about one screen pixel per panel pixel. The 128x128 box is
// square: twice the base height both ways.
QSizeF lcdBoxSize(int index, int baseWidth, int baseHeight);

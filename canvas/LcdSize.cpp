#include "canvas/LcdSize.h"

#include <QtGlobal>

const std::array<LcdSize, LcdSizeCount>& lcdSizes() {
    static const std::array<LcdSize, LcdSizeCount> sizes{{
        {240, 64, "240x64"},
        {128, 64, "128x64"},
        {128, 32, "128x32"},
        {256, 128, "256x128"},
        {240, 128, "240x128"},
        {128, 128, "128x128"},
        {256, 64, "256x64"},
        {320, 200, "320x200"},
    }};
    return sizes;
}

QSizeF lcdBoxSize(int index, int baseWidth, int baseHeight) {
    // Doubling stays in whole numbers; the other factors are the panel-to-240x64 ratios.
    const double w = baseWidth;
    const double h = baseHeight;
    const double twiceHeight = 2 * baseHeight;
    switch (index) {
    case 0:
        return {w, h};
    case 1:
        return {w * 0.5333, h};
    case 2:
        return {w * 0.5333, h / 2};
    case 3:
        return {w * 1.0667, twiceHeight};
    case 4:
        return {w, twiceHeight};
    case 5:
        return {twiceHeight, twiceHeight};
    case 6:
        return {w * 1.0667, h};
    case 7:
        return {w * 1.3333, h * 3.125};
    }
    Q_ASSERT(false);
    return {w, h};
}

#pragma once

// A test picture that shows every fault of placement, its bytes in both panel layouts worked out
// from the bit rules alone, and the comparison of a panel picture with the picture meant.
// Header-only on QtGui, so that the black-box tests of the virtual PIC share it with the
// program's own tests.
#include <QByteArray>
#include <QImage>

// No symmetry along either axis or diagonal, so flipped rows, columns or bits all show; black
// pixels in every 8-row page and in both halves of every byte.
inline bool patternPixel(int x, int y) {
    return (x * 3 + y * 5) % 11 == 0 || x == 2 * y + 1;
}

// width x height pixels in pure black where black(x, y), pure white elsewhere.
template <typename Black> QImage pictureOf(int width, int height, Black black) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, black(x, y) ? 0xFF000000u : 0xFFFFFFFFu);
    return picture;
}

// Vertical bytes (KS0108): 8-row pages from the top, in each page one byte a column from the
// left, bit 0 the top pixel of the column. A 1 bit is a black pixel.
template <typename Black> QByteArray verticalBytesOf(int width, int height, Black black) {
    QByteArray bytes;
    for (int page = 0; page < height / 8; ++page)
        for (int x = 0; x < width; ++x) {
            int byte = 0;
            for (int k = 0; k < 8; ++k)
                byte |= black(x, page * 8 + k) ? 1 << k : 0;
            bytes.append(char(byte));
        }
    return bytes;
}

// Horizontal bytes (T6963C, SED1330): rows from the top, in each row one byte for 8 pixels side
// by side, bit 7 the leftmost. A 1 bit is a black pixel. No closing byte.
template <typename Black> QByteArray horizontalBytesOf(int width, int height, Black black) {
    QByteArray bytes;
    for (int y = 0; y < height; ++y)
        for (int left = 0; left + 8 <= width; left += 8) {
            int byte = 0;
            for (int k = 0; k < 8; ++k)
                byte |= black(left + k, y) ? 0x80 >> k : 0;
            bytes.append(char(byte));
        }
    return bytes;
}

// How many pixels of a panel picture differ from want(x, y): a dark pixel is a black one, in
// any format (the virtual PIC's 1-bit LCD, the PNG it writes, a screenshot).
template <typename Want> int pixelsOff(const QImage& lcd, Want want) {
    int wrong = 0;
    for (int y = 0; y < lcd.height(); ++y)
        for (int x = 0; x < lcd.width(); ++x)
            wrong += (qGray(lcd.pixel(x, y)) < 128) != bool(want(x, y));
    return wrong;
}

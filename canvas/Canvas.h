#pragma once

#include <QFont>
#include <QImage>
#include <QPointF>

// The monochrome picture the user prepares for the panel. Pixels are 24-bit colours; a pixel
// counts as set only when it is exactly black, because the panel has no grey and the byte
// conversion reads each pixel as one bit.
class Canvas {
public:
    static constexpr QRgb Black = 0x000000;
    static constexpr QRgb White = 0xFFFFFF;

    explicit Canvas(int width = 240, int height = 64);

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }

    // New size; pixels inside both sizes keep their colours, the rest of the new area is white.
    void resize(int width, int height);
    // All white, current position back to the top-left corner.
    void clear();
    // Shows a picture at its own size (a loaded file); drawing continues on top of it.
    void setPicture(const QImage& picture);

    // 24-bit colour at (x, y); positions outside the canvas read as white.
    QRgb pixel(int x, int y) const;
    bool isSet(int x, int y) const { return pixel(x, y) == Black; }
    void setPixel(int x, int y, QRgb colour);

    // The pixels as 0xffRRGGBB words (QImage::Format_RGB32), read a scanline at a time by the
    // conversion.
    const QImage& image() const { return m_image; }
    QImage& image() { return m_image; }

    QRgb penColour = Black;
    int penWidth = 1;
    QFont font;
    QPointF currentPosition;

private:
    QImage m_image;
};

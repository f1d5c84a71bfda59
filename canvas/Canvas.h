#pragma once

#include <QFont>
#include <QImage>
#include <QPointF>
#include <functional>
#include <utility>

// The monochrome picture the user prepares for the panel. Pixels are 24-bit colours; a pixel
// counts as set only when it is exactly black, because the panel has no grey and the byte
// conversion reads each pixel as one bit.
class Canvas {
public:
    static constexpr QRgb Black = 0x000000;
    static constexpr QRgb White = 0xFFFFFF;

    explicit Canvas(int width = 240, int height = 64);
    // A copy carries the picture, its revision and the drawing attributes, never the change
    // listener: that belongs to the canvas the window shows. Assigning keeps the target's listener
    // and tells it, since the picture may have changed.
    Canvas(const Canvas& other);
    Canvas& operator=(const Canvas& other);

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
    // conversion. The non-const access counts as a change (the caller may draw through it), so
    // code that only reads a non-const canvas should go through std::as_const(canvas).image().
    const QImage& image() const { return m_image; }
    QImage& image() {
        changed();
        return m_image;
    }

    // Which picture the canvas holds: a new value after every change of its pixels or size
    // (setPixel, resize, clear, setPicture, the non-const image()), never a value used before, so
    // two equal revisions mean the same picture. A copy keeps the revision of its original until
    // either is changed. The window compares it with the revision it saw at a BMP load and at
    // Reformat to tell whether what it captured or built then still stands.
    quint64 revision() const { return m_revision; }

    // Called after every change that moves revision(); empty by default.
    void setChangeListener(std::function<void()> listener) { m_listener = std::move(listener); }

    QRgb penColour = Black;
    int penWidth = 1;
    QFont font;
    QPointF currentPosition;

private:
    void changed();

    QImage m_image;
    quint64 m_revision = 0;
    std::function<void()> m_listener;
};

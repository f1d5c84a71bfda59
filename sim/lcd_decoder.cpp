#include "lcd_decoder.h"

namespace {

unsigned byteAt(const QByteArray& bytes, int index) {
    return index < bytes.size() ? static_cast<unsigned char>(bytes.at(index)) : 0u;
}

} // namespace

QImage blankLcdImage(int width, int height) {
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    return image;
}

QImage decodeVertical(const QByteArray& bytes, int width, int height) {
    QImage image = blankLcdImage(width, height);
    for (int page = 0; page < height / 8; ++page) {
        for (int x = 0; x < width; ++x) {
            const unsigned byte = byteAt(bytes, page * width + x);
            for (int bit = 0; bit < 8; ++bit) {
                if (byte & (1u << bit))
                    image.setPixel(x, page * 8 + bit, 1);
            }
        }
    }
    return image;
}

QImage decodeHorizontal(const QByteArray& bytes, int width, int height, bool oneIsDark) {
    QImage image = blankLcdImage(width, height);
    const int bytesPerRow = width / 8;
    for (int y = 0; y < height; ++y) {
        for (int column = 0; column < bytesPerRow; ++column) {
            const unsigned byte = byteAt(bytes, y * bytesPerRow + column);
            for (int bit = 0; bit < 8; ++bit) {
                const bool one = byte & (0x80u >> bit);
                if (one == oneIsDark)
                    image.setPixel(column * 8 + bit, y, 1);
            }
        }
    }
    return image;
}

QImage decodePanel(const QByteArray& bytes, const PanelGeometry& panel, bool horizontalOneIsDark) {
    if (panel.layout == ByteLayout::Vertical)
        return decodeVertical(bytes, panel.width, panel.height);
    return decodeHorizontal(bytes, panel.width, panel.height, horizontalOneIsDark);
}

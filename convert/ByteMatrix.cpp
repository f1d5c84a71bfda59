#include "convert/ByteMatrix.h"

#include <QImage>
#include <algorithm>

VertMatrix verticalMatrix(const QImage& image, int width, int height) {
    VertMatrix matrix;
    matrix.columns = std::max(width, 0);
    matrix.pages = std::max(height, 0) / 8;
    matrix.bytes.assign(static_cast<size_t>(matrix.columns) * matrix.pages, 0);
    if (matrix.bytes.empty())
        return matrix;

    // 0xffRRGGBB words, so a row can be walked as an array instead of one pixel() call per bit.
    const bool words =
        image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
    const QImage source = words ? image : image.convertToFormat(QImage::Format_RGB32);
    const int rows = std::min(matrix.pages * 8, source.height());
    const int columns = std::min(matrix.columns, source.width());
    const size_t pages = static_cast<size_t>(matrix.pages);
    // Row by row keeps the reads sequential; each byte collects its eight bits from eight rows.
    for (int y = 0; y < rows; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        const quint8 bit = static_cast<quint8>(1u << (y & 7));
        quint8* byte = matrix.bytes.data() + (y >> 3);
        for (int x = 0; x < columns; ++x, byte += pages) {
            if ((line[x] & 0xFFFFFFu) == 0)
                *byte |= bit;
        }
    }
    return matrix;
}

bool captureHorizontalByte(HorzMatrix& matrix, int row, int column, quint8 byte, bool inverted) {
    if (row < 0 || row >= HorzMatrix::Size || column < 0 || column >= HorzMatrix::Size)
        return false;
    matrix.set(row, column, inverted ? static_cast<quint8>(255 - byte) : byte);
    return true;
}

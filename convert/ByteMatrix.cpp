#include "convert/ByteMatrix.h"

#include <QImage>
#include <algorithm>

namespace {
// Sets bit k of out[x] for every pure black line[x]. No branch per pixel (a picture of
// scattered dots would mispredict half of them), and runs of a fixed length over buffers that
// never overlap, which the compiler turns into vector code.
void addRowBits(quint8* __restrict out, const QRgb* __restrict line, int count, int k) {
    constexpr int Run = 16;
    int x = 0;
    for (; x + Run <= count; x += Run)
        for (int i = 0; i < Run; ++i)
            out[x + i] |= static_cast<quint8>(((line[x + i] & 0xFFFFFFu) == 0) << k);
    for (; x < count; ++x)
        out[x] |= static_cast<quint8>(((line[x] & 0xFFFFFFu) == 0) << k);
}
} // namespace

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

    // A page at a time: its eight rows are read in order into one byte per column, then the
    // page's bytes go to their column-major places.
    std::vector<quint8> page(static_cast<size_t>(columns));
    for (int p = 0; p * 8 < rows; ++p) {
        std::fill(page.begin(), page.end(), 0);
        for (int k = 0; k < 8 && p * 8 + k < rows; ++k)
            addRowBits(page.data(), reinterpret_cast<const QRgb*>(source.constScanLine(p * 8 + k)),
                       columns, k);
        quint8* byte = matrix.bytes.data() + p;
        for (int x = 0; x < columns; ++x, byte += pages)
            *byte = page[static_cast<size_t>(x)];
    }
    return matrix;
}

bool captureHorizontalByte(HorzMatrix& matrix, int row, int column, quint8 byte, bool inverted) {
    if (row < 0 || row >= HorzMatrix::Size || column < 0 || column >= HorzMatrix::Size)
        return false;
    matrix.set(row, column, inverted ? static_cast<quint8>(255 - byte) : byte);
    return true;
}

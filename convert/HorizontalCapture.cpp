#include "convert/HorizontalCapture.h"

#include "convert/ByteMatrix.h"

#include <QImage>
#include <algorithm>

QByteArray horizontalBytes(const QImage& canvas, int width, int height, bool inverted) {
    const int perRow = std::max(width, 0) / 8;
    const int rows = std::max(height, 0);
    // A saved row holds 1 for white; the loader's "Inverted" complements it to 1 for black.
    const quint8 white = inverted ? 0x00 : 0xFF;
    QByteArray bytes(static_cast<qsizetype>(perRow) * rows, static_cast<char>(white));
    if (bytes.isEmpty())
        return bytes;

    const bool words =
        canvas.format() == QImage::Format_RGB32 || canvas.format() == QImage::Format_ARGB32;
    const QImage source = words ? canvas : canvas.convertToFormat(QImage::Format_RGB32);
    const int coveredRows = std::min(rows, source.height());
    const int coveredColumns = std::min(perRow * 8, source.width());
    for (int y = 0; y < coveredRows; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* out = reinterpret_cast<quint8*>(bytes.data()) + static_cast<qsizetype>(y) * perRow;
        int x = 0;
        // Whole bytes first, eight pixels at a time, then the last partly covered byte.
        for (; x + 8 <= coveredColumns; x += 8) {
            quint8 black = 0;
            for (int bit = 0; bit < 8; ++bit)
                black = static_cast<quint8>(black << 1 | ((line[x + bit] & 0xFFFFFFu) == 0));
            *out++ = inverted ? black : static_cast<quint8>(~black);
        }
        if (x < coveredColumns) {
            quint8 black = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const bool set = x + bit < coveredColumns && (line[x + bit] & 0xFFFFFFu) == 0;
                black = static_cast<quint8>(black << 1 | set);
            }
            *out = inverted ? black : static_cast<quint8>(~black);
        }
    }
    return bytes;
}

QByteArray capturedBytes(const HorzMatrix& matrix, int width, int height) {
    const int perRow = std::clamp(width / 8, 0, HorzMatrix::Size);
    const int rows = std::clamp(height, 0, HorzMatrix::Size);
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(perRow) * rows);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < perRow; ++column) {
            if (!matrix.isEmpty(row, column))
                bytes.append(static_cast<char>(matrix.byte(row, column)));
        }
    }
    return bytes;
}

void captureBmpRows(HorzMatrix& matrix, const QByteArray& rows, int width, int height,
                    bool inverted) {
    const int columns = std::clamp(width / 8, 0, HorzMatrix::Size);
    const qsizetype stride = (std::max(width, 0) + 7) / 8;
    const int rowCount = std::clamp(height, 0, HorzMatrix::Size);
    for (int row = 0; row < rowCount; ++row) {
        for (int column = 0; column < columns; ++column) {
            const qsizetype at = row * stride + column;
            if (at >= rows.size())
                return;
            captureHorizontalByte(matrix, row, column, static_cast<quint8>(rows[at]), inverted);
        }
    }
}

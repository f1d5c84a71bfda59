#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

class QImage;

// Vertical bytes (KS0108): one byte per column and page; bit k is pixel (x, 8p + k), 1 = black.
// Sized to the canvas it was built from.
struct VertMatrix {
    int columns = 0;
    int pages = 0;
    std::vector<quint8> bytes; // column-major: bytes[x * pages + p]

    quint8 at(int x, int page) const { return bytes[static_cast<size_t>(x) * pages + page]; }
    void clear() {
        columns = pages = 0;
        bytes.clear();
    }
};

// Horizontal bytes (T6963C, SED1330) as captured from the last BMP file: 257 x 257 cells indexed
// [row][byte column], each either empty (never captured) or one byte. A capture overwrites the
// cells of its own size and leaves the others as they were.
class HorzMatrix {
public:
    static constexpr int Size = 257;

    bool isEmpty(int row, int column) const { return cell(row, column) < 0; }
    quint8 byte(int row, int column) const { return static_cast<quint8>(cell(row, column)); }
    void set(int row, int column, quint8 value) { m_cells[index(row, column)] = value; }

private:
    static size_t index(int row, int column) {
        Q_ASSERT(row >= 0 && row < Size && column >= 0 && column < Size);
        return static_cast<size_t>(row) * Size + column;
    }
    qint16 cell(int row, int column) const { return m_cells[index(row, column)]; }

    std::vector<qint16> m_cells = std::vector<qint16>(static_cast<size_t>(Size) * Size, -1);
};

// Reads the vertical bytes of a width x height panel from the picture: width columns, height / 8
// pages. A bit is set exactly where the pixel is pure black; positions outside the picture (a
// loaded file may be smaller than the panel) read as white. The matrix is sized to the panel, so
// every panel width converts in full.
VertMatrix verticalMatrix(const QImage& image, int width, int height);

// Stores one pixel byte of a BMP row: bit 7 is the leftmost pixel. With inverted, the byte is
// complemented first, because the panel lights a pixel for a 1 bit while the file's palette may
// have black at index 0. Returns false, storing nothing, for a cell outside the 257 x 257 table.
bool captureHorizontalByte(HorzMatrix& matrix, int row, int column, quint8 byte, bool inverted);

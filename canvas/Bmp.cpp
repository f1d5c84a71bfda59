#include "canvas/Bmp.h"

#include <cstring>
#include <limits>

namespace {
constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;
constexpr int CoreHeaderSize =
    12; // the older header with 16-bit sizes, still written by some tools
constexpr int SavedHeaderSize = FileHeaderSize + InfoHeaderSize + 2 * 4;

// BMP numbers are little-endian whatever the machine; callers check the bounds first.
quint32 u16(const QByteArray& file, qsizetype at) {
    const auto* p = reinterpret_cast<const uchar*>(file.constData()) + at;
    return p[0] | (quint32(p[1]) << 8);
}

quint32 u32(const QByteArray& file, qsizetype at) {
    return u16(file, at) | (u16(file, at + 2) << 16);
}

// Perceived lightness of a palette entry stored blue, green, red.
int lightness(const QByteArray& file, qsizetype at) {
    const auto* p = reinterpret_cast<const uchar*>(file.constData()) + at;
    return 114 * p[0] + 587 * p[1] + 299 * p[2];
}

// True when the two-colour palette after the information header holds the lighter colour at
// entry 0. Entries are 3 bytes after the older header, 4 after the others; a palette that does
// not fit between the headers and the pixel data counts as the usual order.
bool lighterColourFirst(const QByteArray& file, quint32 infoSize, quint32 offset) {
    const qint64 entry = infoSize == CoreHeaderSize ? 3 : 4;
    const qint64 palette = FileHeaderSize + static_cast<qint64>(infoSize);
    if (infoSize != CoreHeaderSize && u32(file, 46) == 1) // a palette of one colour
        return false;
    const qint64 end = palette + 2 * entry;
    if (end > offset || end > file.size())
        return false;
    return lightness(file, palette) > lightness(file, palette + entry);
}

void put(QByteArray& file, qsizetype at, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}
} // namespace

int bmpRowLength(int width) {
    if (width <= 0)
        return 0;
    return static_cast<int>((static_cast<qint64>(width) + 31) / 32 * 4);
}

QByteArray writeMonochromeBmp(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const qint64 rowLength = bmpRowLength(width);
    const qint64 dataSize = rowLength * height;
    if (SavedHeaderSize + dataSize > std::numeric_limits<qint32>::max())
        return {};

    QByteArray file(SavedHeaderSize + dataSize, '\0');
    file[0] = 'B';
    file[1] = 'M';
    put(file, 2, static_cast<quint32>(SavedHeaderSize + dataSize), 4);
    put(file, 10, SavedHeaderSize, 4);
    put(file, 14, InfoHeaderSize, 4);
    put(file, 18, static_cast<quint32>(width), 4);
    put(file, 22, static_cast<quint32>(height), 4); // positive: bottom row first
    put(file, 26, 1, 2);                            // planes
    put(file, 28, 1, 2);                            // bits per pixel
    put(file, 34, static_cast<quint32>(dataSize), 4);
    // Palette entry 0 stays black (all zero); entry 1 is white.
    put(file, 58, 0x00FFFFFF, 4);

    for (int y = 0; y < height; ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        char* row = file.data() + SavedHeaderSize + (height - 1 - y) * rowLength;
        for (int x = 0; x < width; ++x) {
            if ((pixels[x] & 0xFFFFFFu) != 0)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
    }
    return file;
}

BmpRows readMonochromeBmpRows(const QByteArray& file, int width, int height) {
    const QString expected =
        QStringLiteral("expected a 1-bit BMP of %1x%2 pixels, found ").arg(width).arg(height);
    const auto fail = [&expected](const QString& found) {
        BmpRows rows;
        rows.failure = expected + found;
        return rows;
    };
    if (width <= 0 || height <= 0)
        return fail(QStringLiteral("a panel size without pixels"));

    const qint64 size = file.size();
    if (size < 2 || file[0] != 'B' || file[1] != 'M')
        return fail(QStringLiteral("a file that is not a BMP"));
    if (size < FileHeaderSize + 4)
        return fail(QStringLiteral("a BMP whose headers are cut short"));

    const quint32 infoSize = u32(file, 14);
    qint64 fileWidth = 0;
    qint64 fileHeight = 0;
    quint32 bits = 0;
    quint32 compression = 0;
    if (infoSize == CoreHeaderSize) {
        if (size < FileHeaderSize + CoreHeaderSize)
            return fail(QStringLiteral("a BMP whose headers are cut short"));
        fileWidth = u16(file, 18);
        fileHeight = u16(file, 20);
        bits = u16(file, 24);
    } else if (infoSize >= InfoHeaderSize && infoSize <= 1024) {
        if (size < FileHeaderSize + InfoHeaderSize)
            return fail(QStringLiteral("a BMP whose headers are cut short"));
        fileWidth = static_cast<qint32>(u32(file, 18));
        fileHeight = static_cast<qint32>(u32(file, 22));
        bits = u16(file, 28);
        compression = u32(file, 30);
    } else {
        return fail(QStringLiteral("a BMP with an unknown header of %1 bytes").arg(infoSize));
    }

    // A negative height marks a file stored top row first.
    const bool topDown = fileHeight < 0;
    const qint64 rowCount = topDown ? -fileHeight : fileHeight;
    QString found = QStringLiteral("%1-bit %2x%3").arg(bits).arg(fileWidth).arg(rowCount);
    if (compression != 0)
        found += QStringLiteral(" compressed (method %1)").arg(compression);
    if (bits != 1 || compression != 0 || fileWidth != width || rowCount != height)
        return fail(found);

    const quint32 offset = u32(file, 10);
    if (offset < FileHeaderSize + infoSize)
        return fail(
            found +
            QStringLiteral(" whose pixel data offset %1 lies inside its headers").arg(offset));
    const qint64 rowLength = bmpRowLength(width);
    const qint64 end = offset + rowLength * rowCount;
    if (end > size)
        return fail(found + QStringLiteral(" cut short: %1 bytes, its pixel rows end at byte %2")
                                .arg(size)
                                .arg(end));

    const int kept = (width + 7) / 8;
    BmpRows rows;
    rows.bytes.resize(static_cast<qsizetype>(kept) * height);
    for (int y = 0; y < height; ++y) {
        const qint64 stored = topDown ? y : height - 1 - y;
        std::memcpy(rows.bytes.data() + static_cast<qsizetype>(y) * kept,
                    file.constData() + offset + stored * rowLength, static_cast<size_t>(kept));
    }
    rows.paletteReversed = lighterColourFirst(file, infoSize, offset);
    if (rows.paletteReversed) {
        for (char& byte : rows.bytes)
            byte = static_cast<char>(~byte);
    }
    return rows;
}

PanelBmp readPanelBmp(const QByteArray& file, int width, int height) {
    PanelBmp result;
    result.rows = readMonochromeBmpRows(file, width, height);
    if (!result.rows.ok()) {
        result.failure = result.rows.failure;
        return result;
    }
    // The picture comes from the same bytes as the rows, so the canvas shows what is captured.
    result.picture = QImage::fromData(file, "BMP");
    if (result.picture.isNull() || result.picture.width() != width ||
        result.picture.height() != height) {
        result.failure = QStringLiteral("expected a 1-bit BMP of %1x%2 pixels, found one that "
                                        "cannot be shown as a picture")
                             .arg(width)
                             .arg(height);
        result.picture = QImage();
        result.rows = BmpRows{};
    }
    return result;
}

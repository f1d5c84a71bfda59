#pragma once

// Pictures and BMP files for the tests: made by our writer, by Qt's writer or by ImageMagick at
// test time, never checked in.
#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

inline QImage whiteImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(0xFFFFFFFFu);
    return image;
}

// Black and white only, with black and white on every edge; `seed` varies the pattern.
inline QImage patternImage(int width, int height, int seed) {
    QImage image = whiteImage(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if ((x * x + 3 * y + seed * x * y) % 5 == 0 || x == y)
                image.setPixel(x, y, 0xFF000000u);
        }
    }
    return image;
}

inline quint32 le16(const QByteArray& file, qsizetype at) {
    return quint8(file[at]) | quint32(quint8(file[at + 1])) << 8;
}
inline quint32 le32(const QByteArray& file, qsizetype at) {
    return le16(file, at) | le16(file, at + 2) << 16;
}
inline void setLe32(QByteArray& file, qsizetype at, quint32 value) {
    for (int i = 0; i < 4; ++i)
        file[at + i] = char(value >> (8 * i));
}

inline QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Which palette entry of a 1-bit file is white (the other one being black).
inline int paletteIndexOfWhite(const QByteArray& file) {
    const qsizetype palette = 14 + le32(file, 14);
    return file.mid(palette, 3) == QByteArray(3, char(0xFF)) ? 0 : 1;
}

// The pixel rows the capture should hand over: top row first, width / 8 bytes a row, leftmost
// pixel in the top bit, each bit the palette index of its pixel.
inline QByteArray expectedRows(const QImage& picture, int whiteIndex) {
    QByteArray rows;
    for (int y = 0; y < picture.height(); ++y) {
        for (int c = 0; c < picture.width() / 8; ++c) {
            int byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const bool white = (picture.pixel(8 * c + bit, y) & 0xFFFFFFu) != 0;
                byte = byte << 1 | (white ? whiteIndex : 1 - whiteIndex);
            }
            rows += char(byte);
        }
    }
    return rows;
}

// The same file with the older 12-byte header (16-bit sizes, 3-byte palette entries).
inline QByteArray coreHeaderCopy(const QByteArray& file) {
    QByteArray core = file.left(14);
    setLe32(core, 10, 14 + 12 + 6);
    core += QByteArray::fromHex("0c000000") + file.mid(18, 2) + file.mid(22, 2) +
            QByteArray::fromHex("01000100") + QByteArray::fromHex("000000ffffff") + file.mid(62);
    setLe32(core, 2, quint32(core.size()));
    return core;
}

// `picture` written by ImageMagick as a bilevel BMP in `format` (BMP2, BMP3, BMP); empty with a
// reason when ImageMagick is missing or fails.
inline QByteArray imageMagickBilevel(const QImage& picture, const QString& dir,
                                     const QString& format, QString* failure) {
    QString tool = QStandardPaths::findExecutable(QStringLiteral("magick"));
    if (tool.isEmpty())
        tool = QStandardPaths::findExecutable(QStringLiteral("convert"));
    if (tool.isEmpty()) {
        *failure = QStringLiteral("ImageMagick (Debian package imagemagick) is not installed");
        return {};
    }
    const QString source = QDir(dir).filePath(QStringLiteral("source.png"));
    const QString target = QDir(dir).filePath(QStringLiteral("magick-%1.bmp").arg(format));
    picture.save(source, "PNG");
    QProcess process;
    process.start(tool, {source, QStringLiteral("-type"), QStringLiteral("bilevel"),
                         format + QLatin1Char(':') + target});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        *failure = tool + QStringLiteral(" failed: ") +
                   QString::fromLocal8Bit(process.readAllStandardError());
        return {};
    }
    QFile file(target);
    if (!file.open(QIODevice::ReadOnly)) {
        *failure = target + QStringLiteral(": ") + file.errorString();
        return {};
    }
    return file.readAll();
}

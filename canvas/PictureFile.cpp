#include "canvas/PictureFile.h"

#include <QBuffer>
#include <QImageReader>

LoadedPicture decodeLoadedPicture(const QByteArray& bytes, const QByteArray& suffix, int width,
                                  int height) {
    LoadedPicture loaded;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, suffix);
    // The canvas keeps 32 bits a pixel: a small file may claim a picture of gigabytes.
    const QSize size = reader.size();
    if (qint64(size.width()) * size.height() > LargestPicturePixels) {
        loaded.failure = QStringLiteral("the picture is %1x%2 pixels, more than the %3 million "
                                        "the canvas shows")
                             .arg(size.width())
                             .arg(size.height())
                             .arg(LargestPicturePixels / 1000000);
        return loaded;
    }
    loaded.picture = reader.read();
    if (loaded.picture.isNull()) {
        loaded.failure = reader.errorString();
        return loaded;
    }
    loaded.rows = readMonochromeBmpRows(bytes, width, height);
    return loaded;
}

void captureLoadedRows(HorzMatrix& matrix, const BmpRows& rows, int width, int height,
                       bool inverted) {
    const int columns = width / 8;
    const int stride = (width + 7) / 8;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < columns; ++column) {
            const auto byte = static_cast<quint8>(rows.bytes[row * stride + column]);
            captureHorizontalByte(matrix, row, column, byte, inverted);
        }
    }
}

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
    loaded.picture = reader.read();
    if (loaded.picture.isNull()) {
        loaded.failure = reader.errorString();
        return loaded;
    }
    loaded.rows = readMonochromeBmpRows(bytes, width, height);
    return loaded;
}

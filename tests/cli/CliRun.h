#pragma once

#include "cli/Runner.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QStringList>

// quorvel-convert run in the test's own process, with standard input, output and error in
// memory.
struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

inline CliRun runCli(const QStringList& arguments, const QByteArray& input = QByteArray()) {
    QByteArray in = input;
    CliRun run;
    QBuffer inBuffer(&in);
    QBuffer outBuffer(&run.out);
    QBuffer errBuffer(&run.err);
    inBuffer.open(QIODevice::ReadOnly);
    outBuffer.open(QIODevice::WriteOnly);
    errBuffer.open(QIODevice::WriteOnly);
    run.status = runConvert(arguments, inBuffer, outBuffer, errBuffer);
    return run;
}

// Black pixels in every page, both halves of each byte and every byte column, different for
// every size; pure black and white only, so that a picture of the panel's size imports as it is.
inline QImage patternPicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y,
                             (x * 5 + y * 3 + x * y / 7 + width) % 7 < 3 ? 0xff000000 : 0xffffffff);
    return picture;
}

inline QString savedPicture(const QDir& dir, const QString& name, const QImage& picture) {
    const QString path = dir.filePath(name);
    picture.save(path);
    return path;
}

inline QImage asRgb32(const QImage& picture) {
    return picture.convertToFormat(QImage::Format_RGB32);
}

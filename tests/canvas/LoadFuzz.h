#pragma once

// One damaged file through the whole of Load as the window runs it: the picture reader, the
// canvas taking the picture, the row reader and the capture with its text. Shared by the
// fixed-seed fuzz test and the libFuzzer target.
#include "canvas/Bmp.h"
#include "canvas/Canvas.h"
#include "convert/HorizontalCapture.h"
#include "convert/OutputText.h"

#include <QString>
#include <vector>

// Empty when Load handled the file soundly (shown and captured, or refused with a reason);
// otherwise what went wrong. The bytes are copied into a block of exactly their length, so that
// the sanitizer build sees any read past the end.
inline QString loadDamagedFile(const QByteArray& file, int width, int height, bool inverted) {
    const std::vector<char> exact(file.cbegin(), file.cend());
    const QByteArray bytes = QByteArray::fromRawData(exact.data(), qsizetype(exact.size()));
    const PanelBmp loaded = readPanelBmp(bytes, width, height);
    if (!loaded.ok()) {
        // A refusal shows nothing and captures nothing, and says what was expected.
        const QString expected =
            QStringLiteral("expected a 1-bit BMP of %1x%2 pixels, found ").arg(width).arg(height);
        if (!loaded.picture.isNull() || !loaded.rows.bytes.isEmpty())
            return QStringLiteral("refused, but with a picture or rows");
        return loaded.failure.startsWith(expected)
                   ? QString()
                   : QStringLiteral("refused with \"%1\"").arg(loaded.failure);
    }
    if (loaded.picture.size() != QSize(width, height))
        return QStringLiteral("a picture of another size than the panel");
    Canvas canvas;
    canvas.setPicture(loaded.picture);
    if (std::as_const(canvas).image().size() != loaded.picture.size())
        return QStringLiteral("the canvas did not take the picture's size");
    const BmpRows& rows = loaded.rows;
    if (rows.bytes.size() != qsizetype((width + 7) / 8) * height)
        return QStringLiteral("rows of %1 bytes").arg(rows.bytes.size());
    HorzMatrix matrix;
    captureBmpRows(matrix, rows.bytes, width, height, inverted);
    const QString text = rawMatrixText(matrix, width, height);
    if (text.size() != width / 8 * height * 2)
        return QStringLiteral("a captured text of %1 characters").arg(text.size());
    return QString();
}

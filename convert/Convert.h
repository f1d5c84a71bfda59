#pragma once

#include "convert/ByteMatrix.h"
#include "convert/OutputText.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// The picture-to-text step of "Convert", without the window: which bytes, from where, and the
// output text they make. The command header is not part of it (getparam builds that first, and
// a header that cannot be built stops Convert before this step).

struct ConvertInput {
    bool horizontal = true; // the Byte Matrix choice after getparam
    int width = 240;        // the chosen panel
    int height = 64;
    QImage canvas;        // the canvas picture as it is now
    bool inverted = true; // "Inverted" as it is now, for horizontal bytes taken from the canvas
    // The matrix the last BMP load captured, while the canvas still shows that file unchanged
    // (same revision as right after the load); null when nothing was loaded since start-up or
    // the canvas changed since. Only then do horizontal bytes come from the file.
    const HorzMatrix* loaded = nullptr;
    OutputFormat format; // the four "Output Format" boxes
};

enum class ByteSource {
    Vertical,   // vertical bytes read from the canvas
    LoadedFile, // horizontal bytes captured from the loaded BMP file
    Canvas, // horizontal bytes captured from the canvas, as a saved and reloaded file would give
};

// Where the bytes of a conversion come from.
ByteSource byteSource(const ConvertInput& input);

// The bytes Convert takes, in output order and without the closing "00" of a horizontal text
// (a stream terminator for the PIC, not picture data): what an export of the picture writes.
QByteArray pictureBytes(const ConvertInput& input);

struct Conversion {
    ByteSource source = ByteSource::Vertical;
    VertMatrix vertical; // filled by a vertical conversion, empty otherwise
    QByteArray bytes;    // as pictureBytes
    QString text;        // the output text, as Convert shows it
    QString failure;     // why no text could be made; empty when it was
    bool ok() const { return failure.isEmpty(); }
};

// The whole step: bytes from the chosen source and the output text. Fails only when the text
// cannot be held in memory.
Conversion convertPicture(const ConvertInput& input);

#pragma once

#include "cli/Options.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class QIODevice;

// What one input gives: the bytes to write and the panel picture the bytes draw, or why not.
struct Converted {
    QByteArray output;
    QImage drawn; // decoded from the bytes, for --preview and --decode
    QString failure;
    bool ok() const { return failure.isEmpty(); }
};

// A picture read from `source` and converted as Convert or Export would convert the same
// picture on the canvas. `name` is the export's table name when the options give none.
Converted pictureToTable(QIODevice& source, const QString& name, const CliOptions& options);

// A table's contents read back to the picture it draws, written as PNG.
Converted tableToPicture(const QByteArray& contents, const CliOptions& options);

// The picture as a one-bit PNG file.
QByteArray pngFile(const QImage& picture);

// The extension of an output file, with its dot: ".txt", ".h", ".inc", ".bas", ".bin", ".png".
QString outputExtension(const CliOptions& options);

// The line that names an input before its output when several share standard output, written
// as a comment of the output's own language, the name escaped (commentFileName); empty where the
// output has none.
QString nameComment(const CliOptions& options, const QString& name);

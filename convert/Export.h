#pragma once

#include <QByteArray>
#include <QString>

struct VertMatrix;

// Tables for the user's own firmware: the picture's bytes as a C array, an Arduino PROGMEM array,
// assembler db lines, BASIC DATA lines, or the raw bytes. Text formats are plain ASCII, one table
// line per line, ending with a line break.

enum class ExportFormat { C, Progmem, Assembler, Basic, Binary };
constexpr int ExportFormatCount = 5;

struct ExportOptions {
    QString name = QStringLiteral("image"); // made a C identifier before use
    int bytesPerLine = 16;                  // 1-64
};

// What the format list shows: "C array", "C array (Arduino PROGMEM)", "Assembler (db)",
// "BASIC (DATA)", "Binary file".
QString exportFormatLabel(ExportFormat format);
// The file name extension with its dot: ".h", ".h", ".inc", ".bas", ".bin".
QString exportExtension(ExportFormat format);

// `name` as a C identifier, case kept: characters other than ASCII letters, digits and '_'
// become '_', a leading digit gets a '_' in front, a C or C++ keyword gets a '_' behind, and an
// empty name becomes "image".
QString cIdentifier(const QString& name);

// The table of a width x height picture's bytes in the chosen layout (horizontal: T6963C and
// SED1330 rows; vertical: KS0108 pages). Binary gives the bytes unchanged.
QByteArray exportTable(const QByteArray& bytes, int width, int height, bool horizontal,
                       ExportFormat format, const ExportOptions& options);

// What a preview shows of an exported file: the text itself, or for binary a hex dump of 16
// bytes a line, each line opened by its offset ("00000010  ff 80 ...").
QString exportPreview(const QByteArray& table, ExportFormat format);
QString hexDump(const QByteArray& bytes);

// The vertical bytes in the order the panel takes them: page by page, left to right. (Export
// itself takes its bytes from pictureBytes of convert/Convert.h, which follows the Byte Matrix
// choice as Convert does.)
QByteArray verticalBytes(const VertMatrix& matrix);

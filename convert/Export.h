#pragma once

#include <QByteArray>
#include <QString>

struct VertMatrix;

// Tables for the user's own firmware: the picture's bytes as a C array, an Arduino PROGMEM array,
// PIC18 assembler db lines, PIC16 assembler dt lines (retlw) behind a read routine, BASIC DATA
// lines, or the raw bytes. Text formats are plain ASCII, one table line per line, ending with a
// line break.

enum class ExportFormat {
    C,
    Progmem,
    Pic18Assembler, // db lines, read with TBLRD*+ ("pic18asm", formerly "asm")
    Pic16Assembler,
    Basic,
    Binary
};
constexpr int ExportFormatCount = 6;

struct ExportOptions {
    QString name = QStringLiteral("image"); // made an identifier before use (exportName)
    int bytesPerLine = 16;                  // 1-64
    bool uint8Type = false; // C formats: uint8_t from <stdint.h> instead of unsigned char
};

// What the format list shows: "C array", "C array (Arduino PROGMEM)", "PIC18 assembler (db)",
// "PIC16 assembler (dt, retlw)", "BASIC (DATA)", "Binary file".
QString exportFormatLabel(ExportFormat format);
// The command line's name: "c", "progmem", "pic18asm", "pic16asm", "basic", "binary".
QString exportFormatKey(ExportFormat format);
// The file name extension with its dot: ".h", ".h", ".inc", ".inc", ".bas", ".bin".
QString exportExtension(ExportFormat format);
// Whether the format is C source, where the element type can be chosen.
bool isCExport(ExportFormat format);

// `name` as an identifier that compiles wherever a C or C++ compiler meets it, case kept:
// characters other than ASCII letters, digits and '_' become '_' and runs of '_' one; a leading
// '_' before a letter goes (such names belong to the compiler), a leading digit gets a '_' in
// front, and an empty name becomes "image". A name the compiler or the headers an export
// includes already use (a C or C++ keyword up to C23 and C++20, a macro gcc predefines such as
// linux or unix, main, a <stdint.h> or <avr/pgmspace.h> name, or one whose NAME_WIDTH macro
// <stdint.h> or <limits.h> defines) gets a '_' behind.
QString cIdentifier(const QString& name);
// cIdentifier, and a '_' behind: for PROGMEM, a name <avr/pgmspace.h> brings in with <avr/io.h>
// and <inttypes.h> (any name in capitals, digits and '_' alone, as PORTB: the AVR registers and
// bits are macros so named); for the assembler formats, a PIC instruction, an assembler directive
// or operator, or a PIC register (any case); for BASIC, a BASIC keyword (any case). The table,
// its macros and its routines are named after it.
QString exportName(const QString& name, ExportFormat format);

// The table of a width x height picture's bytes in the chosen layout (horizontal: T6963C and
// SED1330 rows; vertical: KS0108 pages). Binary gives the bytes unchanged. A PIC18 table keeps
// an even number of bytes on every line but the last, since db pads each line to whole program
// words.
QByteArray exportTable(const QByteArray& bytes, int width, int height, bool horizontal,
                       ExportFormat format, const ExportOptions& options);

// What a preview shows of an exported file: the text itself, or for binary a hex dump of 16
// bytes a line, each line opened by its offset ("00000010  ff 80 ...").
QString exportPreview(const QByteArray& table, ExportFormat format);
QString hexDump(const QByteArray& bytes);

// Which panels take which layout, for the window beside the format list.
QString layoutControllers(bool horizontal);

// The vertical bytes in the order the panel takes them: page by page, left to right. (Export
// itself takes its bytes from pictureBytes of convert/Convert.h, which follows the Byte Matrix
// choice as Convert does.)
QByteArray verticalBytes(const VertMatrix& matrix);

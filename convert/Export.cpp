#include "convert/Export.h"

#include "convert/ByteMatrix.h"

#include <QList>
#include <algorithm>

namespace {
// Many BASICs stop at line 65529; a table too long for steps of ten is numbered in ones.
constexpr int HighestBasicLine = 65529;

// The picture is the user's, and so is every table made of it.
constexpr char Yours[] = "The table below is yours: use it as you wish.";

constexpr char LowerDigits[] = "0123456789abcdef";
constexpr char UpperDigits[] = "0123456789ABCDEF";

struct Table {
    QByteArray name; // an identifier (exportName)
    QByteArray about;
    int width;
    int height;
    int perLine;
    bool uint8Type;
};

// How one line of bytes is written: "0x00, 0x01," or "0x00,0x01" or "&H00,&H01".
struct ItemStyle {
    const char* prefix;
    const char* suffix;
    const char* separator;
    const char* digits;
};
constexpr ItemStyle CItems{"0x", ",", " ", LowerDigits};
constexpr ItemStyle AssemblerItems{"0x", "", ",", LowerDigits};
constexpr ItemStyle BasicItems{"&H", "", ",", UpperDigits};

// Bytes [start, end) in one line, without the line break.
void appendItems(QByteArray& out, const QByteArray& bytes, qsizetype start, qsizetype end,
                 const ItemStyle& style) {
    for (qsizetype i = start; i < end; ++i) {
        if (i > start)
            out += style.separator;
        const auto value = static_cast<quint8>(bytes[i]);
        out += style.prefix;
        out += style.digits[value >> 4];
        out += style.digits[value & 0x0F];
        out += style.suffix;
    }
}

// Every line of the table: `lead`, the line's bytes, a line break.
void appendLines(QByteArray& out, const QByteArray& bytes, int perLine, const char* lead,
                 const ItemStyle& style) {
    for (qsizetype start = 0; start < bytes.size(); start += perLine) {
        out += lead;
        appendItems(out, bytes, start, std::min(bytes.size(), start + perLine), style);
        out += '\n';
    }
}

// Room for the whole text at once: the longest item is "0x00, ", the longest lead a line
// "65529 DATA ".
QByteArray reserved(const QByteArray& bytes, const Table& table) {
    QByteArray out;
    out.reserve(2048 + table.name.size() * 24 + bytes.size() * 6 +
                (bytes.size() / table.perLine + 1) * 12);
    return out;
}

QByteArray cArray(const QByteArray& bytes, const Table& table, bool progmem) {
    const QByteArray upper = table.name.toUpper();
    QByteArray out = reserved(bytes, table);
    out += "// " + table.about + "\n// " + Yours + '\n';
    if (progmem)
        out += "#include <avr/pgmspace.h>\n";
    if (table.uint8Type)
        out += "#include <stdint.h>\n";
    out += "#define " + upper + "_WIDTH " + QByteArray::number(table.width) + '\n';
    out += "#define " + upper + "_HEIGHT " + QByteArray::number(table.height) + '\n';
    out += QByteArray("const ") + (table.uint8Type ? "uint8_t " : "unsigned char ") + table.name +
           '[' + QByteArray::number(bytes.size()) + ']' + (progmem ? " PROGMEM" : "") + " = {\n";
    // Every byte keeps its comma, the last one too (C allows it), so that all lines look alike.
    appendLines(out, bytes, table.perLine, "    ", CItems);
    out += "};\n";
    return out;
}

// The opening comment lines of an assembler table, each led by "; " (an entry may hold several
// lines).
QByteArray assemblerComment(const QList<QByteArray>& entries) {
    QByteArray out;
    for (const QByteArray& entry : entries)
        for (const QByteArray& line : entry.split('\n'))
            out += (line.isEmpty() ? ";" : "; " + line) + '\n';
    return out;
}

// The lines that point TBLPTR at label n: upper and high byte, then the low byte followed by
// lowByteTail (which stores it, or first adds an index to it).
QByteArray pointAtTable(const QByteArray& n, const QByteArray& lowByteTail) {
    return "    movlw   upper " + n + "\n    movwf   TBLPTRU\n" + "    movlw   high " + n +
           "\n    movwf   TBLPTRH\n" + "    movlw   low " + n + "\n    " + lowByteTail;
}

// PIC18: db lines at label <name>. db pads every line to whole program words, so a line holds an
// even number of bytes; only the last may be odd, its pad byte after the table's end.
QByteArray pic18Assembler(const QByteArray& bytes, const Table& table) {
    const QByteArray& n = table.name;
    const QByteArray last = QByteArray::number(std::max<qsizetype>(bytes.size() - 1, 0));
    QByteArray out = reserved(bytes, table);
    out += assemblerComment({
        table.about,
        Yours,
        "PIC18: the bytes in order from label " + n + ", two a program word, low byte first.",
        "Read them with TBLRD*+, which copies the byte at TBLPTR to TABLAT and steps TBLPTR on:",
        pointAtTable(n, "movwf   TBLPTRL\n") +
            "    tblrd*+                 ; TABLAT = byte 0, the next TBLRD*+ gives byte 1, ...",
        "With " + n + "_routines defined before this file is included (#define " + n + "_routines,",
        "or gpasm -D " + n + "_routines) it also assembles two routines:",
        "    " + n + "_start: TBLPTR at byte 0, for TBLRD*+; changes W and TBLPTR.",
        "    " + n + "_read: W = the byte whose index (0 to " + last + ") is in " + n +
            "_index_l (low",
        "    byte) and " + n + "_index_h (high byte), two file registers in access RAM that your",
        "    program reserves; changes W, STATUS, TBLPTR and TABLAT.",
    });
    out += "    ifdef " + n + "_routines\n";
    out += n + "_start:\n";
    out += pointAtTable(n, "movwf   TBLPTRL\n");
    out += "    return\n";
    out += n + "_read:\n";
    out += pointAtTable(n, "addwf   " + n + "_index_l, w\n    movwf   TBLPTRL\n");
    out += "    movf    " + n + "_index_h, w\n    addwfc  TBLPTRH, f\n";
    out += "    movlw   0\n    addwfc  TBLPTRU, f\n"; // movlw leaves the carry alone
    out += "    tblrd*\n    movf    TABLAT, w\n    return\n";
    out += "    endif\n";
    out += n + ":\n";
    appendLines(out, bytes, table.perLine + table.perLine % 2, "    db ", AssemblerItems);
    return out;
}

// PIC16: a computed jump into retlw lines (dt). The jump writes PCL, which takes the upper bits
// of the new address from PCLATH; the routine sets PCLATH from the whole 16-bit sum, so the table
// may span any number of 256-word pages.
QByteArray pic16Assembler(const QByteArray& bytes, const Table& table) {
    const QByteArray& n = table.name;
    const QByteArray last = QByteArray::number(std::max<qsizetype>(bytes.size() - 1, 0));
    QByteArray out = reserved(bytes, table);
    out += assemblerComment({
        table.about,
        Yours,
        "PIC16 (14-bit core): " + n + "_read returns in W the byte whose index (0 to " + last +
            ") is",
        "in the file registers " + n + "_index_l (low byte) and " + n + "_index_h (high byte).",
        "Your program reserves them where the bank selected at the call reaches them (shared RAM,",
        "0x70-0x7F on most parts, reaches them from every bank):",
        "    cblock 0x70",
        "        " + n + "_index_l, " + n + "_index_h",
        "    endc",
        "Call it with PCLATH set for it, and set PCLATH again for your own goto and call after:",
        "    pagesel " + n + "_read",
        "    call    " + n + "_read      ; W = the byte",
        "    pagesel $",
        n + "_read changes W, STATUS and PCLATH only, and takes one level of the call stack.",
    });
    out += n + "_read:\n";
    out += "    movlw   high " + n + "\n    addwf   " + n + "_index_h, w\n    movwf   PCLATH\n";
    out += "    movlw   low " + n + "\n    addwf   " + n + "_index_l, w\n";
    out += "    btfsc   STATUS, C\n    incf    PCLATH, f\n    movwf   PCL\n";
    out += n + ":\n";
    appendLines(out, bytes, table.perLine, "    dt ", AssemblerItems);
    return out;
}

QByteArray basic(const QByteArray& bytes, const Table& table) {
    const qsizetype dataLines = (bytes.size() + table.perLine - 1) / table.perLine;
    const int count = static_cast<int>(dataLines) + 2;
    const int step = count * 10 <= HighestBasicLine ? 10 : 1;
    int number = step;
    QByteArray out = reserved(bytes, table);
    out += QByteArray::number(number) + " REM " + table.about + '\n';
    number += step;
    out += QByteArray::number(number) + " REM " + Yours + '\n';
    for (qsizetype start = 0; start < bytes.size(); start += table.perLine) {
        number += step;
        out += QByteArray::number(number) + " DATA ";
        appendItems(out, bytes, start, std::min(bytes.size(), start + table.perLine), BasicItems);
        out += '\n';
    }
    return out;
}
} // namespace

namespace {
// What the window's list, the converter's --export and a saved file's name call each format, in
// the order of ExportFormat.
struct FormatNames {
    const char* label;
    const char* key;
    const char* extension;
};
constexpr FormatNames formatNames[ExportFormatCount] = {
    {"C array", "c", ".h"},
    {"C array (Arduino PROGMEM)", "progmem", ".h"},
    {"PIC18 assembler (db)", "pic18asm", ".inc"},
    {"PIC16 assembler (dt, retlw)", "pic16asm", ".inc"},
    {"BASIC (DATA)", "basic", ".bas"},
    {"Binary file", "binary", ".bin"},
};

const FormatNames& namesOf(ExportFormat format) {
    return formatNames[static_cast<int>(format)];
}
} // namespace

QString exportFormatLabel(ExportFormat format) {
    return QString::fromLatin1(namesOf(format).label);
}

QString exportFormatKey(ExportFormat format) {
    return QString::fromLatin1(namesOf(format).key);
}

QString exportExtension(ExportFormat format) {
    return QString::fromLatin1(namesOf(format).extension);
}

bool isCExport(ExportFormat format) {
    return format == ExportFormat::C || format == ExportFormat::Progmem;
}

QByteArray exportTable(const QByteArray& bytes, int width, int height, bool horizontal,
                       ExportFormat format, const ExportOptions& options) {
    if (format == ExportFormat::Binary)
        return bytes;
    Table table;
    table.name = exportName(options.name, format).toLatin1();
    table.width = width;
    table.height = height;
    table.perLine = std::clamp(options.bytesPerLine, 1, 64);
    table.uint8Type = options.uint8Type;
    table.about = table.name + ": " + QByteArray::number(width) + 'x' + QByteArray::number(height) +
                  " pixels, " +
                  (horizontal ? "horizontal bytes (T6963C, SED1330)" : "vertical bytes (KS0108)") +
                  ", " + QByteArray::number(bytes.size()) + " bytes";
    switch (format) {
    case ExportFormat::C:
        return cArray(bytes, table, false);
    case ExportFormat::Progmem:
        return cArray(bytes, table, true);
    case ExportFormat::Pic18Assembler:
        return pic18Assembler(bytes, table);
    case ExportFormat::Pic16Assembler:
        return pic16Assembler(bytes, table);
    case ExportFormat::Basic:
        return basic(bytes, table);
    case ExportFormat::Binary:
        break;
    }
    return bytes;
}

QString hexDump(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size() * 3 + bytes.size() / 16 * 11 + 11);
    for (qsizetype start = 0; start < bytes.size(); start += 16) {
        out += QByteArray::number(start, 16).rightJustified(8, '0') + ' ';
        const qsizetype end = std::min(bytes.size(), start + 16);
        for (qsizetype i = start; i < end; ++i) {
            const auto value = static_cast<quint8>(bytes[i]);
            out += ' ';
            out += LowerDigits[value >> 4];
            out += LowerDigits[value & 0x0F];
        }
        out += '\n';
    }
    return QString::fromLatin1(out);
}

QString exportPreview(const QByteArray& table, ExportFormat format) {
    return format == ExportFormat::Binary ? hexDump(table) : QString::fromUtf8(table);
}

QString layoutControllers(bool horizontal) {
    return horizontal ? QStringLiteral("Horizontal: T6963C, SED1330 rows")
                      : QStringLiteral("Vertical KS0108: KS0108, SSD1306, SH1106, ST7565 pages");
}

QByteArray verticalBytes(const VertMatrix& matrix) {
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(matrix.bytes.size()));
    for (int page = 0; page < matrix.pages; ++page)
        for (int x = 0; x < matrix.columns; ++x)
            bytes += static_cast<char>(matrix.at(x, page));
    return bytes;
}

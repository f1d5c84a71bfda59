#include "convert/Export.h"

#include "convert/ByteMatrix.h"

#include <QList>
#include <QSet>
#include <algorithm>

namespace {
// Many BASICs stop at line 65529; a table too long for steps of ten is numbered in ones.
constexpr int HighestBasicLine = 65529;

QByteArray hex(quint8 value, bool upper) {
    QByteArray digits = QByteArray::number(value, 16).rightJustified(2, '0');
    return upper ? digits.toUpper() : digits;
}

struct Table {
    QByteArray name; // a C identifier
    QByteArray about;
    int width;
    int height;
    int perLine;
};

// The bytes in lines of `perLine`, each byte written by `item` and joined by `separator`.
template <class Item>
QList<QByteArray> lines(const QByteArray& bytes, int perLine, const char* separator, Item item) {
    QList<QByteArray> result;
    for (qsizetype start = 0; start < bytes.size(); start += perLine) {
        QByteArray line;
        const qsizetype end = std::min(bytes.size(), start + perLine);
        for (qsizetype i = start; i < end; ++i) {
            if (i > start)
                line += separator;
            line += item(static_cast<quint8>(bytes[i]));
        }
        result << line;
    }
    return result;
}

QByteArray cArray(const QByteArray& bytes, const Table& table, bool progmem) {
    const QByteArray upper = table.name.toUpper();
    QByteArray out = "// " + table.about + '\n';
    if (progmem)
        out += "#include <avr/pgmspace.h>\n";
    out += "#define " + upper + "_WIDTH " + QByteArray::number(table.width) + '\n';
    out += "#define " + upper + "_HEIGHT " + QByteArray::number(table.height) + '\n';
    out += "const unsigned char " + table.name + '[' + QByteArray::number(bytes.size()) + ']' +
           (progmem ? " PROGMEM" : "") + " = {\n";
    // Every byte keeps its comma, the last one too (C allows it), so that all lines look alike.
    for (const QByteArray& line : lines(bytes, table.perLine, " ", [](quint8 value) {
             return "0x" + hex(value, false) + ',';
         }))
        out += "    " + line + '\n';
    out += "};\n";
    return out;
}

QByteArray assembler(const QByteArray& bytes, const Table& table) {
    QByteArray out = "; " + table.about + '\n';
    out += table.name + ":\n";
    for (const QByteArray& line :
         lines(bytes, table.perLine, ",", [](quint8 value) { return "0x" + hex(value, false); }))
        out += "    db " + line + '\n';
    return out;
}

QByteArray basic(const QByteArray& bytes, const Table& table) {
    const QList<QByteArray> data =
        lines(bytes, table.perLine, ",", [](quint8 value) { return "&H" + hex(value, true); });
    const int count = static_cast<int>(data.size()) + 1;
    const int step = count * 10 <= HighestBasicLine ? 10 : 1;
    int number = step;
    QByteArray out = QByteArray::number(number) + " REM " + table.about + '\n';
    for (const QByteArray& line : data) {
        number += step;
        out += QByteArray::number(number) + " DATA " + line + '\n';
    }
    return out;
}

const QSet<QString>& keywords() {
    // C99 and C++17 keywords and the alternative operator names: none of them can name an array.
    static const QSet<QString> words{
        "alignas",      "alignof",  "and",           "and_eq",
        "asm",          "auto",     "bitand",        "bitor",
        "bool",         "break",    "case",          "catch",
        "char",         "char16_t", "char32_t",      "class",
        "compl",        "const",    "constexpr",     "const_cast",
        "continue",     "decltype", "default",       "delete",
        "do",           "double",   "dynamic_cast",  "else",
        "enum",         "explicit", "export",        "extern",
        "false",        "float",    "for",           "friend",
        "goto",         "if",       "inline",        "int",
        "long",         "mutable",  "namespace",     "new",
        "noexcept",     "not",      "not_eq",        "nullptr",
        "operator",     "or",       "or_eq",         "private",
        "protected",    "public",   "register",      "reinterpret_cast",
        "restrict",     "return",   "short",         "signed",
        "sizeof",       "static",   "static_assert", "static_cast",
        "struct",       "switch",   "template",      "this",
        "thread_local", "throw",    "true",          "try",
        "typedef",      "typeid",   "typename",      "union",
        "unsigned",     "using",    "virtual",       "void",
        "volatile",     "wchar_t",  "while",         "xor",
        "xor_eq",       "_Bool",    "_Complex",      "_Imaginary",
        "PROGMEM",
    };
    return words;
}
} // namespace

QString exportFormatLabel(ExportFormat format) {
    switch (format) {
    case ExportFormat::C:
        return QStringLiteral("C array");
    case ExportFormat::Progmem:
        return QStringLiteral("C array (Arduino PROGMEM)");
    case ExportFormat::Assembler:
        return QStringLiteral("Assembler (db)");
    case ExportFormat::Basic:
        return QStringLiteral("BASIC (DATA)");
    case ExportFormat::Binary:
        return QStringLiteral("Binary file");
    }
    return {};
}

QString exportExtension(ExportFormat format) {
    switch (format) {
    case ExportFormat::C:
    case ExportFormat::Progmem:
        return QStringLiteral(".h");
    case ExportFormat::Assembler:
        return QStringLiteral(".inc");
    case ExportFormat::Basic:
        return QStringLiteral(".bas");
    case ExportFormat::Binary:
        return QStringLiteral(".bin");
    }
    return {};
}

QString cIdentifier(const QString& name) {
    QString id;
    id.reserve(name.size() + 2);
    for (const QChar c : name) {
        const bool plain = c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('_'));
        id += plain ? c : QLatin1Char('_');
    }
    if (id.isEmpty())
        return QStringLiteral("image");
    if (id.front().isDigit())
        id.prepend(QLatin1Char('_'));
    if (keywords().contains(id))
        id += QLatin1Char('_');
    return id;
}

QByteArray exportTable(const QByteArray& bytes, int width, int height, bool horizontal,
                       ExportFormat format, const ExportOptions& options) {
    if (format == ExportFormat::Binary)
        return bytes;
    Table table;
    table.name = cIdentifier(options.name).toLatin1();
    table.width = width;
    table.height = height;
    table.perLine = std::clamp(options.bytesPerLine, 1, 64);
    table.about = table.name + ": " + QByteArray::number(width) + 'x' + QByteArray::number(height) +
                  " pixels, " +
                  (horizontal ? "horizontal bytes (T6963C, SED1330)" : "vertical bytes (KS0108)") +
                  ", " + QByteArray::number(bytes.size()) + " bytes";
    switch (format) {
    case ExportFormat::C:
        return cArray(bytes, table, false);
    case ExportFormat::Progmem:
        return cArray(bytes, table, true);
    case ExportFormat::Assembler:
        return assembler(bytes, table);
    case ExportFormat::Basic:
        return basic(bytes, table);
    case ExportFormat::Binary:
        break;
    }
    return bytes;
}

QString hexDump(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size() * 3 + bytes.size() / 16 * 11 + 11);
    for (qsizetype start = 0; start < bytes.size(); start += 16) {
        out += QStringLiteral("%1 ").arg(start, 8, 16, QLatin1Char('0'));
        const qsizetype end = std::min(bytes.size(), start + 16);
        for (qsizetype i = start; i < end; ++i)
            out += QLatin1Char(' ') + QLatin1String(hex(static_cast<quint8>(bytes[i]), false));
        out += QLatin1Char('\n');
    }
    return out;
}

QString exportPreview(const QByteArray& table, ExportFormat format) {
    return format == ExportFormat::Binary ? hexDump(table) : QString::fromUtf8(table);
}

QByteArray verticalBytes(const VertMatrix& matrix) {
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(matrix.bytes.size()));
    for (int page = 0; page < matrix.pages; ++page)
        for (int x = 0; x < matrix.columns; ++x)
            bytes += static_cast<char>(matrix.at(x, page));
    return bytes;
}

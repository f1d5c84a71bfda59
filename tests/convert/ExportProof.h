#pragma once

// What the proofs of the exports share: every panel's picture and the bytes it stands for, worked
// out from the bit rules alone; names chosen to break a compiler, an assembler or a BASIC; and
// running the platform's own tools.
#include "canvas/LcdSize.h"
#include "convert/Convert.h"
#include "convert/Export.h"
#include "support/TestPictures.h"

#include <QDir>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QStringList>

namespace proof {

// The pattern that shows flipped rows, columns and bits, and a scatter that differs from size to
// size, so that a table of the wrong panel or a slipped row cannot match.
inline bool black(int width, int x, int y) {
    return patternPixel(x, y) || (x * x + 3 * y + width) % 7 == 0;
}

struct PanelTable {
    QString tag; // "320x200 h"
    int width = 0;
    int height = 0;
    bool horizontal = false;
    QByteArray table;    // what Export takes: Convert's bytes of the picture
    QByteArray expected; // the picture's bytes by the bit rules
};

// Every panel in both layouts, the bytes taken as the window's Export takes them (Convert's
// bytes, "Inverted" ticked as at start-up).
inline QList<PanelTable> panelTables() {
    QList<PanelTable> tables;
    for (const LcdSize& size : lcdSizes()) {
        const int w = size.width;
        const auto pixel = [w](int x, int y) { return black(w, x, y); };
        const QImage picture = pictureOf(size.width, size.height, pixel);
        for (const bool horizontal : {false, true}) {
            ConvertInput input;
            input.horizontal = horizontal;
            input.width = size.width;
            input.height = size.height;
            input.canvas = picture;
            input.inverted = true;
            PanelTable t;
            t.tag = QString::fromLatin1(size.label) + (horizontal ? " h" : " v");
            t.width = size.width;
            t.height = size.height;
            t.horizontal = horizontal;
            t.table = pictureBytes(input);
            t.expected = horizontal ? horizontalBytesOf(size.width, size.height, pixel)
                                    : verticalBytesOf(size.width, size.height, pixel);
            tables << t;
        }
    }
    return tables;
}

// The bytes of a 16x8 picture, exported under each hostile name.
inline QByteArray smallTable() {
    return verticalBytesOf(16, 8, [](int x, int y) { return black(16, x, y); });
}

// Names a table may be given that a compiler, an assembler or a BASIC already uses, or that are
// no identifier at all.
inline QStringList hostileNames() {
    return QStringList{
        // C and C++ keywords up to C23 and C++20, and names every program has
        "int", "class", "typeof", "typeof_unqual", "concept", "requires", "co_await", "co_yield",
        "char8_t", "consteval", "constinit", "nullptr", "constexpr", "static_assert",
        "thread_local", "alignas", "alignof", "bool", "true", "false", "export", "module", "import",
        "final", "override", "and", "xor_eq", "not", "asm", "restrict", "inline", "register",
        "auto", "template", "typename", "operator", "new", "delete", "this", "virtual", "namespace",
        "main", "std", "defined", "noreturn", "complex", "wchar_t", "char16_t", "decltype",
        "noexcept", "signed", "volatile",
        // reserved to the compiler
        "_Atomic", "_Bool", "_Generic", "_Noreturn", "_Static_assert", "_Thread_local", "_BitInt",
        "_Complex", "_Imaginary", "_Alignas", "__FILE__", "__LINE__", "__func__", "__attribute__",
        "__int128", "__STDC__", "__cplusplus", "__COUNTER__", "_Pragma", "__x", "_x", "_", "__",
        "x__y", "my  logo",
        // gcc's macros in GNU modes, here and on other targets
        "linux", "unix", "i386", "sun", "sparc", "mips", "vax", "AVR", "WIN32",
        // what <stdint.h>, <limits.h> and <avr/pgmspace.h> declare
        "uint8_t", "size_t", "int16_t", "NULL", "offsetof", "INT8_MAX", "SIZE_MAX", "PROGMEM",
        "PSTR", "PGM_P", "pgm_read_byte", "memcpy_P", "size", "int8", "uint", "long long",
        // no identifier as they are
        "", "!!!", "3d", "0x41", "&H41", "$41", "a-b.c", "gr\u00fcn", "LOGO", "Logo",
        QStringLiteral("very long name ").repeated(8),
        // PIC instructions, directives, operators and registers
        "movlw", "goto", "org", "call", "retlw", "dt", "db", "end", "include", "equ", "cblock",
        "banksel", "pagesel", "high", "low", "upper", "W", "f", "a", "b", "c", "z", "PCL", "PCLATH",
        "STATUS", "TBLPTRL", "TABLAT", "tblrd", "nop", "bra", "PORTB", "LATB", "ff", "dead", "abc",
        "h", "d", "ifdef", "macro", "res", "list", "processor", "__config", "config",
        // BASIC keywords
        "PRINT", "DATA", "READ", "REM", "GOTO", "FOR", "NEXT", "RESTORE", "END", "DIM", "LET", "IF",
        "THEN", "GOSUB", "RETURN", "INPUT", "POKE", "peek", "Print"};
}

// The identifiers of `names` in `format`, each once (two names may make the same one).
inline QStringList distinctIdentifiers(const QStringList& names, ExportFormat format) {
    QStringList ids;
    QSet<QString> seen;
    for (const QString& name : names) {
        const QString id = exportName(name, format);
        if (!seen.contains(id)) {
            seen.insert(id);
            ids << id;
        }
    }
    return ids;
}

// Why a test cannot run without `program`, naming the Debian package; empty when it is there.
inline QString missing(const QString& program, const char* package) {
    if (!QStandardPaths::findExecutable(program).isEmpty())
        return QString();
    return QStringLiteral("%1 is not installed (Debian package %2)")
        .arg(program, QLatin1String(package));
}

struct ToolRun {
    bool ok = false;
    QByteArray output;
    QString failure; // the command and what it said, when it failed
};

// Runs a tool to its end in `folder`; standard input closed.
inline ToolRun runTool(const QString& program, const QStringList& arguments,
                       const QString& folder = QString(), int timeoutMs = 120000) {
    ToolRun run;
    QProcess process;
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    process.start(program, arguments);
    process.closeWriteChannel();
    const QString command = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.failure = command + QStringLiteral(": did not finish");
        return run;
    }
    run.output = process.readAllStandardOutput();
    run.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!run.ok)
        run.failure =
            command + QStringLiteral(":\n") +
            QString::fromLocal8Bit(process.readAllStandardError() + run.output).left(4000);
    return run;
}

// The first difference between two byte strings, for a failure message; empty when equal.
inline QString difference(const QByteArray& got, const QByteArray& want) {
    if (got == want)
        return QString();
    qsizetype i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i])
        ++i;
    return QStringLiteral("%1 bytes read back, %2 meant; first difference at byte %3")
        .arg(got.size())
        .arg(want.size())
        .arg(i);
}

} // namespace proof

// The C, PROGMEM and BASIC exports built by their platforms' own tools, for every panel size and
// both layouts and under names chosen to break them, with the bytes read back from what the tools
// made and compared with the picture's bytes.
#include "ExportProof.h"
#include "support/TestFiles.h"

#include <QHash>
#include <QTemporaryDir>
#include <QtTest>

using namespace proof;

namespace {
// One exported table inside a test program: its file, its identifier, and the bytes it must hold.
struct Entry {
    QString file; // "t12.h"
    QString id;
    QByteArray expected;
};

// Writes `table` as t<n>.h in `dir` and notes it.
bool addTable(const QTemporaryDir& dir, QList<Entry>& entries, const QByteArray& table,
              const QString& id, const QByteArray& expected) {
    const QString file = QStringLiteral("t%1.h").arg(entries.size());
    entries << Entry{file, id, expected};
    return writeFile(dir.filePath(file), table);
}

// The panels' C and PROGMEM tables (the element type alternating) and the small table under
// every hostile name as a C table, all in one program for the host.
QList<Entry> hostTables(const QTemporaryDir& dir, bool* written) {
    QList<Entry> entries;
    *written = true;
    int n = 0;
    for (const PanelTable& panel : panelTables()) {
        for (const ExportFormat format : {ExportFormat::C, ExportFormat::Progmem}) {
            ExportOptions options;
            options.name = QStringLiteral("pic %1 %2").arg(panel.tag).arg(exportFormatKey(format));
            options.bytesPerLine = 5 + n % 40;
            options.uint8Type = n++ % 2 == 1;
            *written &= addTable(dir, entries,
                                 exportTable(panel.table, panel.width, panel.height,
                                             panel.horizontal, format, options),
                                 exportName(options.name, format), panel.expected);
        }
    }
    for (const QString& id : distinctIdentifiers(hostileNames(), ExportFormat::C)) {
        ExportOptions options;
        options.name = id;
        options.uint8Type = n++ % 2 == 1;
        *written &= addTable(dir, entries,
                             exportTable(smallTable(), 16, 8, false, ExportFormat::C, options), id,
                             smallTable());
    }
    return entries;
}

// A program that prints every table: "<index> <hex bytes>" a line. The headers a firmware has
// come first, so that a table name clashing with them shows.
QByteArray hostProgram(const QList<Entry>& entries) {
    QByteArray out = "#include <limits.h>\n#include <stdint.h>\n#include <stdio.h>\n";
    QByteArray list;
    for (const Entry& e : entries) {
        out += "#include \"" + e.file.toLatin1() + "\"\n";
        list += "    {(const unsigned char*)" + e.id.toLatin1() + ", (unsigned long)sizeof " +
                e.id.toLatin1() + ", " + e.id.toUpper().toLatin1() + "_WIDTH * " +
                e.id.toUpper().toLatin1() + "_HEIGHT / 8},\n";
    }
    return out + R"(
struct quorvel_entry {
    const unsigned char* bytes;
    unsigned long size;
    unsigned long pixels;
};
static const struct quorvel_entry quorvel_entries[] = {
)" + list + R"(};
int main(void) {
    unsigned long i, k;
    for (i = 0; i < sizeof quorvel_entries / sizeof quorvel_entries[0]; ++i) {
        if (quorvel_entries[i].pixels != quorvel_entries[i].size)
            printf("size %lu ", quorvel_entries[i].pixels);
        printf("%lu ", i);
        for (k = 0; k < quorvel_entries[i].size; ++k)
            printf("%02x", quorvel_entries[i].bytes[k]);
        printf("\n");
    }
    return 0;
}
)";
}

// An AVR program that reads every table out of flash with pgm_read_byte.
QByteArray avrProgram(const QList<Entry>& entries) {
    QByteArray out;
    QByteArray reads;
    for (const Entry& e : entries) {
        out += "#include \"" + e.file.toLatin1() + "\"\n";
        reads += "    for (i = 0; i < sizeof " + e.id.toLatin1() +
                 "; ++i)\n        quorvel_sink ^= pgm_read_byte(&" + e.id.toLatin1() + "[i]);\n";
    }
    return out + "volatile unsigned char quorvel_sink;\nint main(void) {\n    unsigned int i;\n" +
           reads + "    return 0;\n}\n";
}

// Offsets and sizes of the objects in a section of an object file, by name, from `nm -S -C` (C++
// names internal to their file are decorated).
QHash<QString, std::pair<qsizetype, qsizetype>> symbols(const QByteArray& nmOutput) {
    QHash<QString, std::pair<qsizetype, qsizetype>> found;
    for (const QByteArray& line : nmOutput.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 4)
            found.insert(QString::fromLatin1(fields[3]),
                         {fields[0].toLongLong(nullptr, 16), fields[1].toLongLong(nullptr, 16)});
    }
    return found;
}
} // namespace

class TestExportCompile : public QObject {
    Q_OBJECT
private slots:
    void everySizeAndLayoutCompilesToTheCanvasBytes_data();
    void everySizeAndLayoutCompilesToTheCanvasBytes();
    void progmemBuildsForTheAtmega328p_data();
    void progmemBuildsForTheAtmega328p();
    void basicDataReadsBackInBwbasic();
};

void TestExportCompile::everySizeAndLayoutCompilesToTheCanvasBytes_data() {
    QTest::addColumn<QString>("compiler");
    QTest::addColumn<QStringList>("flags");
    QTest::newRow("C99") << "cc" << QStringList{"-std=c99", "-Wpedantic", "-x", "c"};
    QTest::newRow("GNU C11") << "cc" << QStringList{"-std=gnu11", "-x", "c"};
    QTest::newRow("GNU C23") << "cc" << QStringList{"-std=gnu2x", "-x", "c"};
    QTest::newRow("C++17") << "c++" << QStringList{"-std=c++17", "-Wpedantic", "-x", "c++"};
    QTest::newRow("C++20") << "c++" << QStringList{"-std=c++20", "-x", "c++"};
    QTest::newRow("GNU C++20") << "c++" << QStringList{"-std=gnu++20", "-x", "c++"};
}

void TestExportCompile::everySizeAndLayoutCompilesToTheCanvasBytes() {
    QFETCH(QString, compiler);
    QFETCH(QStringList, flags);
    const QString absent = missing(compiler, compiler == QLatin1String("cc") ? "gcc" : "g++");
    if (!absent.isEmpty())
        QSKIP(qPrintable(absent));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("avr")));
    // The host has no AVR library; the attribute that places a table in flash means nothing here.
    QVERIFY(writeFile(dir.filePath(QStringLiteral("avr/pgmspace.h")), "#define PROGMEM\n"));
    bool written = false;
    const QList<Entry> entries = hostTables(dir, &written);
    QVERIFY(written);
    QVERIFY(writeFile(dir.filePath(QStringLiteral("main.c")), hostProgram(entries)));

    const QString binary = dir.filePath(QStringLiteral("tables"));
    const ToolRun built =
        runTool(compiler, QStringList{"-Wall", "-Wextra", "-Werror", "-I", dir.path()} + flags +
                              QStringList{dir.filePath("main.c"), "-o", binary});
    QVERIFY2(built.ok, qPrintable(built.failure));
    const ToolRun ran = runTool(binary, {});
    QVERIFY2(ran.ok, qPrintable(ran.failure));

    const QList<QByteArray> lines = ran.output.split('\n');
    QCOMPARE(lines.size(), entries.size() + 1); // and the last line break
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split(' ');
        // A table whose _WIDTH and _HEIGHT disagree with its size gets "size <pixels/8>" first.
        QVERIFY2(fields.size() == 2, qPrintable(entries[i].id + ": " + lines[i].left(40)));
        QCOMPARE(fields[0].toLongLong(), i);
        const QString wrong = difference(QByteArray::fromHex(fields[1]), entries[i].expected);
        QVERIFY2(wrong.isEmpty(), qPrintable(entries[i].id + ": " + wrong));
    }
}

void TestExportCompile::progmemBuildsForTheAtmega328p_data() {
    QTest::addColumn<QString>("compiler");
    QTest::addColumn<QStringList>("flags");
    QTest::newRow("avr-gcc") << "avr-gcc" << QStringList{"-x", "c"};
    // An Arduino sketch is C++.
    QTest::newRow("avr-g++") << "avr-g++" << QStringList{"-x", "c++"};
}

void TestExportCompile::progmemBuildsForTheAtmega328p() {
    QFETCH(QString, compiler);
    QFETCH(QStringList, flags);
    for (const QString& tool :
         {compiler, QStringLiteral("avr-objcopy"), QStringLiteral("avr-nm")}) {
        const QString absent =
            missing(tool, tool == compiler ? "gcc-avr and avr-libc" : "binutils-avr");
        if (!absent.isEmpty())
            QSKIP(qPrintable(absent));
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // The panels of one layout fill most of the 32 KiB of flash: one program a layout, and one
    // for the hostile names.
    QList<QList<Entry>> programs(3);
    int n = 0;
    QList<Entry> all;
    for (const PanelTable& panel : panelTables()) {
        ExportOptions options;
        options.name = QStringLiteral("avr %1").arg(panel.tag);
        options.bytesPerLine = 3 + n % 50;
        options.uint8Type = n++ % 2 == 0;
        QVERIFY(addTable(dir, all,
                         exportTable(panel.table, panel.width, panel.height, panel.horizontal,
                                     ExportFormat::Progmem, options),
                         exportName(options.name, ExportFormat::Progmem), panel.expected));
        programs[panel.horizontal ? 1 : 0] << all.last();
    }
    for (const QString& id : distinctIdentifiers(hostileNames(), ExportFormat::Progmem)) {
        ExportOptions options;
        options.name = id;
        options.uint8Type = n++ % 2 == 0;
        QVERIFY(addTable(dir, all,
                         exportTable(smallTable(), 16, 8, false, ExportFormat::Progmem, options),
                         id, smallTable()));
        programs[2] << all.last();
    }

    const QStringList common{"-mmcu=atmega328p", "-Os", "-Wall",   "-Wextra",
                             "-Werror",          "-I",  dir.path()};
    for (qsizetype p = 0; p < programs.size(); ++p) {
        const QString source = dir.filePath(QStringLiteral("main%1.c").arg(p));
        const QString object = dir.filePath(QStringLiteral("main%1.o").arg(p));
        QVERIFY(writeFile(source, avrProgram(programs[p])));
        const ToolRun compiled =
            runTool(compiler, common + flags + QStringList{"-c", source, "-o", object});
        QVERIFY2(compiled.ok, qPrintable(compiled.failure));
        // Linked, so that the tables fit the part's flash with the program that reads them.
        const ToolRun linked = runTool(
            compiler, QStringList{"-mmcu=atmega328p", object, "-o", dir.filePath("main.elf")});
        QVERIFY2(linked.ok, qPrintable(linked.failure));

        const QString flash = dir.filePath(QStringLiteral("progmem%1.bin").arg(p));
        const ToolRun copied = runTool(QStringLiteral("avr-objcopy"),
                                       {"-j", ".progmem.data", "-O", "binary", object, flash});
        QVERIFY2(copied.ok, qPrintable(copied.failure));
        const QByteArray section = readAll(flash);
        const ToolRun listed =
            runTool(QStringLiteral("avr-nm"), {"-S", "-C", "--defined-only", object});
        QVERIFY2(listed.ok, qPrintable(listed.failure));
        const auto found = symbols(listed.output);
        for (const Entry& e : programs[p]) {
            QVERIFY2(found.contains(e.id), qPrintable(e.id + QStringLiteral(" not in flash")));
            const auto [offset, size] = found.value(e.id);
            const QString wrong = difference(section.mid(offset, size), e.expected);
            QVERIFY2(wrong.isEmpty(), qPrintable(e.id + ": " + wrong));
        }
    }
}

void TestExportCompile::basicDataReadsBackInBwbasic() {
    const QString absent = missing(QStringLiteral("bwbasic"), "bwbasic");
    if (!absent.isEmpty())
        QSKIP(qPrintable(absent));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    struct Program {
        QString tag;
        QByteArray table;
        QByteArray expected;
    };
    QList<Program> programs;
    int n = 0;
    for (const PanelTable& panel : panelTables()) {
        ExportOptions options;
        options.bytesPerLine = 8 + n++ % 57;
        programs << Program{panel.tag,
                            exportTable(panel.table, panel.width, panel.height, panel.horizontal,
                                        ExportFormat::Basic, options),
                            panel.expected};
    }
    // The largest table one byte a line: numbered in ones.
    const PanelTable largest = panelTables().last();
    programs << Program{QStringLiteral("320x200, one a line"),
                        exportTable(largest.table, 320, 200, true, ExportFormat::Basic,
                                    {QStringLiteral("image"), 1}),
                        largest.expected};
    for (const QString& name : hostileNames())
        programs << Program{
            QStringLiteral("named '%1'").arg(name),
            exportTable(smallTable(), 16, 8, false, ExportFormat::Basic, {name, 16}), smallTable()};

    for (const Program& program : programs) {
        // A READ loop after the table's last line, printing each byte after a mark.
        const int next = program.table.trimmed().split('\n').last().split(' ').first().toInt() + 1;
        QByteArray source = program.table;
        const QList<QByteArray> loop{"FOR I = 1 TO " + QByteArray::number(program.expected.size()),
                                     "READ B", "PRINT \"=\"; B", "NEXT I", "END"};
        for (int k = 0; k < loop.size(); ++k)
            source += QByteArray::number(next + k) + ' ' + loop[k] + '\n';
        const QString file = dir.filePath(QStringLiteral("t.bas"));
        QVERIFY(writeFile(file, source));
        const ToolRun ran = runTool(QStringLiteral("bwbasic"), {file}, dir.path());
        QVERIFY2(ran.ok, qPrintable(program.tag + ": " + ran.failure));
        QByteArray bytes;
        for (const QByteArray& line : ran.output.split('\n'))
            if (line.startsWith('='))
                bytes += char(line.mid(1).trimmed().toInt());
        const QString wrong = difference(bytes, program.expected);
        QVERIFY2(wrong.isEmpty(),
                 qPrintable(program.tag + ": " + wrong + "\n" + ran.output.right(400)));
    }
}

QTEST_GUILESS_MAIN(TestExportCompile)
#include "test_export_compile.moc"

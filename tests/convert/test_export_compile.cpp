// Exported C tables compile with warnings as errors, in C and C++, and hold the canvas's bytes.
#include "canvas/Canvas.h"
#include "canvas/LcdSize.h"
#include "convert/Convert.h"
#include "convert/Export.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Exported {
    QString name;
    Canvas canvas;
    bool horizontal;
};

// Lines, a diagonal and a scatter that differs from size to size, so that a table of the wrong
// size or a slipped row cannot match.
Canvas pattern(int width, int height) {
    Canvas canvas(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (x == 0 || y == height - 1 || x == y || (x * x + 3 * y + width) % 7 == 0)
                canvas.setPixel(x, y, Canvas::Black);
    return canvas;
}

// The picture the bytes describe, read the way the panel reads them.
bool pixelOf(const QByteArray& bytes, int width, bool horizontal, int x, int y) {
    if (horizontal)
        return (static_cast<quint8>(bytes[y * (width / 8) + x / 8]) >> (7 - x % 8)) & 1;
    return (static_cast<quint8>(bytes[(y / 8) * width + x]) >> (y % 8)) & 1;
}

QString run(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return program + QStringLiteral(" did not finish");
    if (output)
        *output = QString::fromLatin1(process.readAllStandardOutput());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) +
               QStringLiteral(":\n") + QString::fromLocal8Bit(process.readAllStandardError());
    return {};
}
} // namespace

class TestExportCompile : public QObject {
    Q_OBJECT
private slots:
    void everySizeAndLayoutCompilesToTheCanvasBytes_data();
    void everySizeAndLayoutCompilesToTheCanvasBytes();
};

void TestExportCompile::everySizeAndLayoutCompilesToTheCanvasBytes_data() {
    QTest::addColumn<QString>("compiler");
    QTest::addColumn<QStringList>("flags");
    QTest::newRow("C99") << "cc" << QStringList{"-std=c99", "-x", "c"};
    QTest::newRow("C++") << "c++" << QStringList{"-x", "c++"};
}

void TestExportCompile::everySizeAndLayoutCompilesToTheCanvasBytes() {
    QFETCH(QString, compiler);
    QFETCH(QStringList, flags);
    if (QStandardPaths::findExecutable(compiler).isEmpty())
        QSKIP("no host compiler");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("avr")));
    // The host has no AVR library; the attribute that places a table in flash means nothing here.
    QVERIFY(writeFile(dir.filePath(QStringLiteral("avr/pgmspace.h")), "#define PROGMEM\n"));

    QList<Exported> tables;
    QByteArray includes = "#include <stdio.h>\n";
    QByteArray entries;
    for (const LcdSize& size : lcdSizes()) {
        const Canvas canvas = pattern(size.width, size.height);
        for (const bool horizontal : {false, true}) {
            // What Export takes: Convert's bytes, "Inverted" ticked as at start-up.
            ConvertInput input;
            input.horizontal = horizontal;
            input.width = size.width;
            input.height = size.height;
            input.canvas = canvas.image();
            input.inverted = true;
            const QByteArray bytes = pictureBytes(input);
            for (const ExportFormat format : {ExportFormat::C, ExportFormat::Progmem}) {
                ExportOptions options;
                options.name = QStringLiteral("pic %1 %2%3")
                                   .arg(QLatin1String(size.label))
                                   .arg(horizontal ? 'h' : 'v')
                                   .arg(format == ExportFormat::Progmem ? 'p' : 'c');
                const QString name = cIdentifier(options.name);
                options.bytesPerLine = 5 + int(tables.size()) % 40;
                QVERIFY(writeFile(
                    dir.filePath(name + exportExtension(format)),
                    exportTable(bytes, size.width, size.height, horizontal, format, options)));
                tables << Exported{name, canvas, horizontal};
                const QByteArray id = name.toLatin1();
                includes += "#include \"" + id + ".h\"\n";
                entries += "    {\"" + id + "\", " + id.toUpper() + "_WIDTH, " + id.toUpper() +
                           "_HEIGHT, " + id + ", (unsigned long)sizeof " + id + "},\n";
            }
        }
    }
    const QByteArray program = includes + R"(
struct table {
    const char* name;
    int width;
    int height;
    const unsigned char* bytes;
    unsigned long size;
};
static const struct table tables[] = {
)" + entries + R"(};
int main(void) {
    unsigned long i, k;
    for (i = 0; i < sizeof tables / sizeof tables[0]; ++i) {
        printf("%s %d %d %lu ", tables[i].name, tables[i].width, tables[i].height, tables[i].size);
        for (k = 0; k < tables[i].size; ++k)
            printf("%02x", tables[i].bytes[k]);
        printf("\n");
    }
    return 0;
}
)";
    QVERIFY(writeFile(dir.filePath(QStringLiteral("main.c")), program));
    const QString binary = dir.filePath(QStringLiteral("tables"));
    QString failure =
        run(compiler, QStringList{"-Wall", "-Wextra", "-Werror", "-I", dir.path()} + flags +
                          QStringList{dir.filePath(QStringLiteral("main.c")), "-o", binary});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QString output;
    failure = run(binary, {}, &output);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), tables.size());
    for (qsizetype i = 0; i < tables.size(); ++i) {
        const Exported& table = tables[i];
        const QStringList fields = lines[i].split(QLatin1Char(' '));
        QCOMPARE(fields.size(), 5);
        QCOMPARE(fields[0], table.name);
        const int width = table.canvas.width();
        const int height = table.canvas.height();
        QCOMPARE(fields[1].toInt(), width);
        QCOMPARE(fields[2].toInt(), height);
        QCOMPARE(fields[3].toInt(), width * height / 8);
        const QByteArray bytes = QByteArray::fromHex(fields[4].toLatin1());
        QCOMPARE(bytes.size(), width * height / 8);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (pixelOf(bytes, width, table.horizontal, x, y) != table.canvas.isSet(x, y))
                    QFAIL(qPrintable(
                        QStringLiteral("%1: pixel (%2, %3)").arg(table.name).arg(x).arg(y)));
    }
}

QTEST_GUILESS_MAIN(TestExportCompile)
#include "test_export_compile.moc"

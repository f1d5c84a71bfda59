// quorvel-convert: what it writes for pictures and tables, batches, standard input and every way
// a command line can be wrong.
#include "CliRun.h"
#include "canvas/Import.h"
#include "canvas/LcdSize.h"
#include "convert/ByteMatrix.h"
#include "convert/Export.h"
#include "convert/OutputText.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <QtTest>

Q_DECLARE_METATYPE(ExportFormat)

namespace {
// Horizontal bytes by their definition: bit 7 the leftmost pixel; with Inverted, 1 is black.
QByteArray referenceHorizontal(const QImage& picture, bool inverted) {
    return horizontalBytesOf(picture.width(), picture.height(), [&](int x, int y) {
        return (picture.pixel(x, y) == 0xff000000) == inverted;
    });
}

QString sizeText(const LcdSize& size) {
    return QString::fromLatin1(size.label);
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exportEqualsExport_data();
    void exportEqualsExport();
    void exportChoicesAsTheWindowHasThem();
    void decodeRoundTrips_data();
    void decodeRoundTrips();
    void pictureOptionsReachTheImport_data();
    void pictureOptionsReachTheImport();
    void previewIsWhatTheBytesDraw();
    void batchWithBadFiles();
    void batchToStandardOutputNamesEachPicture();
    void decodeRefusesWrongCount();
    void outputThroughALinkKeepsTheLink();
    void standardInput();
    void usageErrors_data();
    void usageErrors();
    void helpListsEveryOptionAndVersion();
    void runsWithoutDisplay();

private:
    QTemporaryDir tmp;
    QDir dir;
};

void TestCli::initTestCase() {
    QVERIFY(tmp.isValid());
    dir = QDir(tmp.path());
}

void TestCli::exportEqualsExport_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<ExportFormat>("format");
    const ExportFormat formats[] = {ExportFormat::C,
                                    ExportFormat::Progmem,
                                    ExportFormat::Pic18Assembler,
                                    ExportFormat::Pic16Assembler,
                                    ExportFormat::Basic,
                                    ExportFormat::Binary};
    const char* names[] = {"c", "progmem", "pic18asm", "pic16asm", "basic", "binary"};
    for (int size = 0; size < LcdSizeCount; ++size)
        for (bool horizontal : {false, true})
            for (int f = 0; f < 6; ++f)
                QTest::addRow("%s %s %s", lcdSizes()[size].label,
                              horizontal ? "horizontal" : "vertical", names[f])
                    << size << horizontal << formats[f];
}

void TestCli::exportEqualsExport() {
    QFETCH(int, size);
    QFETCH(bool, horizontal);
    QFETCH(ExportFormat, format);
    const LcdSize panel = lcdSizes()[size];
    const QImage picture = patternPicture(panel.width, panel.height);
    const QString path = savedPicture(dir, QStringLiteral("my logo.png"), picture);
    const char* names[] = {"c", "progmem", "pic18asm", "pic16asm", "basic", "binary"};
    const CliRun run =
        runCli({QStringLiteral("--panel"), sizeText(panel), QStringLiteral("--layout"),
                horizontal ? QStringLiteral("horizontal") : QStringLiteral("vertical"),
                QStringLiteral("--export"), QString::fromLatin1(names[static_cast<int>(format)]),
                QStringLiteral("--bytes-per-line"), QStringLiteral("12"), path});
    QCOMPARE(run.status, 0);
    QVERIFY(run.err.isEmpty());
    const QByteArray bytes =
        horizontal ? referenceHorizontal(picture, true)
                   : verticalBytes(verticalMatrix(picture, panel.width, panel.height));
    // The table is named after the picture when no --name is given.
    QCOMPARE(run.out, exportTable(bytes, panel.width, panel.height, horizontal, format,
                                  {QStringLiteral("my logo"), 12}));
}

void TestCli::exportChoicesAsTheWindowHasThem() {
    const QImage picture = patternPicture(128, 64);
    const QString path = savedPicture(dir, QStringLiteral("logo.png"), picture);
    const QByteArray bytes = verticalBytes(verticalMatrix(picture, 128, 64));
    // "asm" stays the PIC18 table's name; uint8_t reaches the C table.
    const CliRun asm18 = runCli({QStringLiteral("--export"), QStringLiteral("asm"), path});
    QCOMPARE(asm18.status, 0);
    QCOMPARE(asm18.out, exportTable(bytes, 128, 64, false, ExportFormat::Pic18Assembler,
                                    {QStringLiteral("logo"), 16}));
    const CliRun uint8 = runCli({QStringLiteral("--export"), QStringLiteral("progmem"),
                                 QStringLiteral("--c-type"), QStringLiteral("uint8_t"), path});
    QCOMPARE(uint8.status, 0);
    QCOMPARE(uint8.out, exportTable(bytes, 128, 64, false, ExportFormat::Progmem,
                                    {QStringLiteral("logo"), 16, true}));
}

void TestCli::decodeRoundTrips_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QStringList>("output");
    const QList<std::pair<const char*, QStringList>> outputs{
        {"bare text", {}},
        {"0x and comma", {"--format", "0x", "--delimiter", ","}},
        {"C table text",
         {"--format", "0X", "--delimiter", ", ", "--header", "unsigned char a[2] = {", "--footer",
          "};"}},
        {"dollar, DATA", {"--format", "$", "--delimiter", ", ", "--header", "DATA "}},
        {"&H, line number", {"--format", "&H", "--delimiter", ",", "--header", "10 DATA "}},
        {"bare, comma", {"--delimiter", ","}},
        {"C export", {"--export", "c"}},
        {"PROGMEM export", {"--export", "progmem", "--bytes-per-line", "7"}},
        {"assembler export", {"--export", "asm"}},
        {"PIC18 export, odd bytes a line", {"--export", "pic18asm", "--bytes-per-line", "7"}},
        {"PIC16 export", {"--export", "pic16asm"}},
        {"C export of uint8_t", {"--export", "c", "--c-type", "uint8_t"}},
        {"BASIC export", {"--export", "basic", "--bytes-per-line", "64"}},
        {"binary export", {"--export", "binary"}},
    };
    for (int size = 0; size < LcdSizeCount; ++size)
        for (bool horizontal : {false, true})
            for (const auto& [name, options] : outputs)
                QTest::addRow("%s %s, %s", lcdSizes()[size].label,
                              horizontal ? "horizontal" : "vertical", name)
                    << size << horizontal << options;
}

void TestCli::decodeRoundTrips() {
    QFETCH(int, size);
    QFETCH(bool, horizontal);
    QFETCH(QStringList, output);
    const LcdSize panel = lcdSizes()[size];
    const QImage picture = patternPicture(panel.width, panel.height);
    const QString path = savedPicture(dir, QStringLiteral("round.png"), picture);
    const QStringList common{QStringLiteral("--panel"), sizeText(panel), QStringLiteral("--layout"),
                             horizontal ? QStringLiteral("horizontal")
                                        : QStringLiteral("vertical")};
    const QString table = dir.filePath(QStringLiteral("round.table"));
    const CliRun made = runCli(common + output + QStringList{path, QStringLiteral("-o"), table});
    QCOMPARE(made.status, 0);

    const QString decoded = dir.filePath(QStringLiteral("round-decoded.png"));
    const CliRun back = runCli(
        common + QStringList{QStringLiteral("--decode"), table, QStringLiteral("-o"), decoded});
    QVERIFY2(back.status == 0, back.err.constData());
    QCOMPARE(asRgb32(QImage(decoded)), picture);
}

void TestCli::pictureOptionsReachTheImport_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("dither");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<bool>("invert");
    using S = ImportScale;
    using D = ImportDither;
    QTest::newRow("defaults") << QStringList{} << int(S::Fit) << int(D::Threshold) << 128 << false;
    QTest::newRow("fill") << QStringList{"--scale", "fill"} << int(S::Fill) << int(D::Threshold)
                          << 128 << false;
    QTest::newRow("stretch") << QStringList{"--scale", "Stretch"} << int(S::Stretch)
                             << int(D::Threshold) << 128 << false;
    QTest::newRow("none") << QStringList{"--scale", "none"} << int(S::None) << int(D::Threshold)
                          << 128 << false;
    QTest::newRow("floyd-steinberg") << QStringList{"--dither", "floyd-steinberg"} << int(S::Fit)
                                     << int(D::FloydSteinberg) << 128 << false;
    QTest::newRow("ordered, threshold 90")
        << QStringList{"--dither", "ordered", "--threshold", "90"} << int(S::Fit) << int(D::Ordered)
        << 90 << false;
    QTest::newRow("atkinson, invert") << QStringList{"--dither", "atkinson", "--invert"}
                                      << int(S::Fit) << int(D::Atkinson) << 128 << true;
    QTest::newRow("threshold 0") << QStringList{"--threshold", "0"} << int(S::Fit)
                                 << int(D::Threshold) << 0 << false;
    QTest::newRow("threshold 255")
        << QStringList{"--threshold", "255"} << int(S::Fit) << int(D::Threshold) << 255 << false;
}

void TestCli::pictureOptionsReachTheImport() {
    QFETCH(QStringList, arguments);
    QFETCH(int, scale);
    QFETCH(int, dither);
    QFETCH(int, threshold);
    QFETCH(bool, invert);
    // A grey ramp twice as wide as tall with a dark disc: every option changes its bytes.
    QImage photo(300, 150, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x) {
            const int grey = (x * 255 / 299 + y) % 256;
            const bool disc = (x - 200) * (x - 200) + (y - 70) * (y - 70) < 1600;
            photo.setPixel(x, y, disc ? qRgb(20, 40, 60) : qRgb(grey, grey, grey));
        }
    const QString path = savedPicture(dir, QStringLiteral("photo.png"), photo);
    const CliRun run =
        runCli(arguments + QStringList{QStringLiteral("--panel"), QStringLiteral("128x128"), path});
    QCOMPARE(run.status, 0);
    const ImportOptions options{ImportScale(scale), ImportDither(dither), threshold, invert};
    const QImage canvas = importPicture(QImage(path), 128, 128, options);
    QCOMPARE(QString::fromUtf8(run.out),
             verticalOutputText(verticalMatrix(canvas, 128, 128), OutputFormat()));
}

void TestCli::previewIsWhatTheBytesDraw() {
    const QImage picture = patternPicture(240, 64);
    const QString path = savedPicture(dir, QStringLiteral("preview.png"), picture);
    const QString preview = dir.filePath(QStringLiteral("preview-drawn.png"));
    // Inverted ticked: the panel draws the picture. Unticked: a black pixel is a 0 bit, so the
    // panel draws the negative, and the preview must say so.
    for (bool inverted : {true, false}) {
        QStringList arguments{QStringLiteral("--panel"),
                              QStringLiteral("240x64"),
                              QStringLiteral("--layout"),
                              QStringLiteral("horizontal"),
                              QStringLiteral("--preview"),
                              preview,
                              path};
        if (!inverted)
            arguments << QStringLiteral("--no-invert");
        QCOMPARE(runCli(arguments).status, 0);
        QImage expected = picture;
        if (!inverted)
            expected.invertPixels();
        QCOMPARE(asRgb32(QImage(preview)), expected);
    }
}

void TestCli::batchWithBadFiles() {
    const QString good1 = savedPicture(dir, QStringLiteral("one.png"), patternPicture(128, 64));
    const QString good2 = savedPicture(dir, QStringLiteral("two.bmp"), patternPicture(128, 64));
    const QString bad = dir.filePath(QStringLiteral("bad.png"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG\r\n\x1a\n truncated");
    file.close();
    const QString missing = dir.filePath(QStringLiteral("missing.png"));
    const QString same = QDir(tmp.path()).filePath(QStringLiteral("sub"));
    QVERIFY(QDir().mkpath(same));
    const QString twin = savedPicture(QDir(same), QStringLiteral("one.bmp"), patternPicture(8, 8));
    const QString out = dir.filePath(QStringLiteral("batch")) + QLatin1Char('/');
    const QString previews = dir.filePath(QStringLiteral("batch-previews")) + QLatin1Char('/');

    const CliRun run =
        runCli({QStringLiteral("--export"), QStringLiteral("c"), good1, bad, missing, good2, twin,
                QStringLiteral("-o"), out, QStringLiteral("--preview"), previews});
    QCOMPARE(run.status, 1);
    QVERIFY(run.out.isEmpty());
    const QStringList lines =
        QString::fromUtf8(run.err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines[0].startsWith(QStringLiteral("quorvel-convert: ") + bad + ": not a picture"),
             qPrintable(lines[0]));
    QVERIFY2(lines[1].startsWith(QStringLiteral("quorvel-convert: ") + missing + ": cannot read"),
             qPrintable(lines[1]));
    QVERIFY2(lines[2].contains(QStringLiteral("would overwrite")), qPrintable(lines[2]));
    QCOMPARE(QDir(out).entryList(QDir::Files), (QStringList{"one.h", "two.h"}));
    QCOMPARE(QDir(previews).entryList(QDir::Files), (QStringList{"one.png", "two.png"}));
    QVERIFY(readAll(out + "one.h").contains("const unsigned char one[1024] = {"));
    QCOMPARE(asRgb32(QImage(previews + "two.png")), patternPicture(128, 64));
}

void TestCli::batchToStandardOutputNamesEachPicture() {
    const QString a = savedPicture(dir, QStringLiteral("a.png"), patternPicture(128, 32));
    const QString c = savedPicture(dir, QStringLiteral("c.png"), patternPicture(64, 32));
    struct Case {
        QStringList options;
        QString comment;
    };
    const QList<Case> cases{{{"--format", "0x", "--delimiter", ","}, "// "},
                            {{"--format", "$", "--delimiter", ","}, "; "},
                            {{"--format", "&H", "--delimiter", ","}, "REM "},
                            {{"--export", "asm"}, "; "},
                            {{"--export", "pic16asm"}, "; "},
                            {{"--export", "basic"}, "REM "},
                            {{"--export", "progmem"}, "// "}};
    for (const Case& each : cases) {
        const QStringList common =
            QStringList{QStringLiteral("--panel"), QStringLiteral("128x32")} + each.options;
        const CliRun run = runCli(common + QStringList{a, c});
        QCOMPARE(run.status, 0);
        const QByteArray alone = runCli(common + QStringList{a}).out;
        const QByteArray second = runCli(common + QStringList{c}).out;
        const auto withBreak = [](QByteArray text) {
            return text.endsWith('\n') ? text : text + '\n';
        };
        QCOMPARE(QString::fromUtf8(run.out), each.comment + a + '\n' + withBreak(alone) +
                                                 each.comment + c + '\n' + withBreak(second));
        // What the batch wrote still reads back as the two tables, file names ignored.
        const CliRun back = runCli({QStringLiteral("--panel"), QStringLiteral("128x64"),
                                    QStringLiteral("--decode"), QStringLiteral("-")},
                                   run.out);
        QVERIFY2(back.status == 0, back.err.constData());
    }
}

void TestCli::decodeRefusesWrongCount() {
    const QString table = dir.filePath(QStringLiteral("short.txt"));
    QFile file(table);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(1000 * 2, 'f'));
    file.close();
    const QString png = dir.filePath(QStringLiteral("short.png"));
    const CliRun run = runCli({QStringLiteral("--decode"), table, QStringLiteral("-o"), png});
    QCOMPARE(run.status, 1);
    QCOMPARE(QString::fromUtf8(run.err),
             QStringLiteral("quorvel-convert: %1: wrong byte count: 1000 bytes, but a 128x64 "
                            "panel needs 1024; 1000 bytes fit none of the eight panels\n")
                 .arg(table));
    QVERIFY(!QFile::exists(png));
}

void TestCli::outputThroughALinkKeepsTheLink() {
    // A link (like /dev/stdout) or a device is written into, never renamed over.
    const QString path = savedPicture(dir, QStringLiteral("link.png"), patternPicture(128, 64));
    const QString target = dir.filePath(QStringLiteral("link-target.txt"));
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    QFile::remove(link);
    QFile(target).open(QIODevice::WriteOnly);
    QVERIFY(QFile::link(target, link));
    QCOMPARE(runCli({path, QStringLiteral("-o"), link}).status, 0);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readAll(target), runCli({path}).out);
}

void TestCli::standardInput() {
    const QImage picture = patternPicture(256, 128);
    const QString path = savedPicture(dir, QStringLiteral("stdin.png"), picture);
    const QByteArray png = readAll(path);
    const QStringList options{QStringLiteral("--panel"), QStringLiteral("256x128"),
                              QStringLiteral("--export"), QStringLiteral("c")};
    const CliRun fromFile = runCli(options + QStringList{path});
    const CliRun fromStdin = runCli(options + QStringList{QStringLiteral("-")}, png);
    QCOMPARE(fromStdin.status, 0);
    // Same table, named "image" since standard input has no name.
    QCOMPARE(QString::fromUtf8(fromStdin.out),
             QString::fromUtf8(fromFile.out)
                 .replace(QStringLiteral("stdin"), QStringLiteral("image"))
                 .replace(QStringLiteral("STDIN"), QStringLiteral("IMAGE")));

    // A table through standard input, decoded to a file named after it in a directory.
    const QString out = dir.filePath(QStringLiteral("from-stdin")) + QLatin1Char('/');
    const CliRun decoded =
        runCli({QStringLiteral("--panel"), QStringLiteral("256x128"), QStringLiteral("--decode"),
                QStringLiteral("-"), QStringLiteral("-o"), out},
               fromFile.out);
    QCOMPARE(decoded.status, 0);
    QCOMPARE(asRgb32(QImage(out + QStringLiteral("stdin.png"))), picture);

    const CliRun notPicture = runCli({QStringLiteral("-")}, QByteArray("hello"));
    QCOMPARE(notPicture.status, 1);
    QVERIFY(notPicture.err.startsWith("quorvel-convert: standard input: not a picture"));
}

void TestCli::usageErrors_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("says");
    const QString pic = QStringLiteral("x.png");
    QTest::newRow("unknown option") << QStringList{"--colour", pic} << "Unknown option 'colour'";
    QTest::newRow("missing value")
        << QStringList{pic, "--panel"} << "Missing value after '--panel'";
    QTest::newRow("panel not one of the eight")
        << QStringList{"--panel", "100x50", pic} << "the panel '100x50' is not one of 240x64";
    QTest::newRow("panel not a size") << QStringList{"--panel", "big", pic} << "'big'";
    QTest::newRow("threshold above 255")
        << QStringList{"--threshold", "256", pic} << "from 0 to 255, not '256'";
    QTest::newRow("threshold below 0") << QStringList{"--threshold=-1", pic} << "not '-1'";
    QTest::newRow("threshold not a number") << QStringList{"--threshold", "12a", pic} << "'12a'";
    QTest::newRow("layout") << QStringList{"--layout", "diagonal", pic}
                            << "--layout is vertical or horizontal, not 'diagonal'";
    QTest::newRow("scale") << QStringList{"--scale", "zoom", pic} << "not 'zoom'";
    QTest::newRow("dither") << QStringList{"--dither", "halftone", pic} << "not 'halftone'";
    QTest::newRow("export format") << QStringList{"--export", "pdf", pic} << "not 'pdf'";
    QTest::newRow("bytes per line 0")
        << QStringList{"--export", "c", "--bytes-per-line", "0", pic} << "from 1 to 64, not '0'";
    QTest::newRow("bytes per line 65")
        << QStringList{"--export", "c", "--bytes-per-line", "65", pic} << "not '65'";
    QTest::newRow("C type") << QStringList{"--export", "c", "--c-type", "int", pic}
                            << "--c-type is unsigned-char or uint8_t, not 'int'";
    QTest::newRow("C type with an assembler export")
        << QStringList{"--export", "pic16asm", "--c-type", "uint8_t", pic}
        << "--c-type applies to --export c and progmem only";
    QTest::newRow("C type without export")
        << QStringList{"--c-type", "uint8_t", pic} << "--c-type applies to --export only";
    QTest::newRow("no picture") << QStringList{"--panel", "128x64"} << "no PICTURE given";
    QTest::newRow("standard input twice") << QStringList{"-", "-"} << "only once";
    QTest::newRow("several to one file")
        << QStringList{pic, "y.png", "-o", "out.txt"} << "need a directory for -o";
    QTest::newRow("several previews to one file")
        << QStringList{pic, "y.png", "--preview", "p.png"} << "need a directory for --preview";
    QTest::newRow("several pictures decoded to standard output")
        << QStringList{"--decode", "a.txt", "b.txt"} << "several pictures cannot share";
    QTest::newRow("several binaries to standard output")
        << QStringList{"--export", "binary", pic, "y.png"} << "several binary tables";
    QTest::newRow("text box with an export")
        << QStringList{"--export", "c", "--header", "x", pic} << "--header belongs to the output";
    QTest::newRow("name without export")
        << QStringList{"--name", "logo", pic} << "--name applies to --export only";
    QTest::newRow("picture option with decode")
        << QStringList{"--decode", "--scale", "fill", "t.txt"} << "--scale does not apply";
    QTest::newRow("preview with decode")
        << QStringList{"--decode", "--preview", "p.png", "t.txt"} << "--preview does not apply";
}

void TestCli::usageErrors() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, says);
    const QDir here = QDir::current();
    QDir::setCurrent(tmp.path()); // nothing may be written, here or anywhere
    const QStringList before = QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const CliRun run = runCli(arguments);
    QDir::setCurrent(here.path());
    QCOMPARE(run.status, 2);
    QVERIFY(run.out.isEmpty());
    const QStringList lines = QString::fromUtf8(run.err).split(QLatin1Char('\n'));
    QVERIFY2(lines.size() == 4 && lines[0].startsWith(QLatin1String("quorvel-convert: ")) &&
                 lines[0].contains(says),
             run.err.constData());
    QCOMPARE(lines[1], QStringLiteral("Usage: quorvel-convert [options] PICTURE..."));
    QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void TestCli::helpListsEveryOptionAndVersion() {
    const CliRun help = runCli({QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    const QString text = QString::fromUtf8(help.out);
    QVERIFY(text.startsWith(QStringLiteral("Usage: quorvel-convert [options] PICTURE...\n")));
    for (const char* option :
         {"--panel <WxH>", "--layout", "--no-invert", "--scale", "--dither", "--threshold <N>",
          "--invert", "--format", "--delimiter", "--header", "--footer", "--export", "--name",
          "--bytes-per-line", "-o, --output", "--preview", "--decode", "--version", "--help"})
        QVERIFY2(text.contains(QLatin1String(option)), option);
    // Every option with a value names its default; the simplified text joins wrapped lines.
    for (const char* fallback :
         {"(default: 128x64)", "(default: vertical)", "(default: fit)", "(default: threshold)",
          "(default: 128)", "(default: 16)", "(default: standard output", "(default: empty)"})
        QVERIFY2(text.simplified().contains(QLatin1String(fallback)), fallback);

    const CliRun version = runCli({QStringLiteral("--version")});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, QByteArray("quorvel-convert 1.1.2\n"));
}

void TestCli::runsWithoutDisplay() {
    // The real program, with no display and no platform named, a picture through a pipe.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QLatin1String(name));
    const QImage picture = patternPicture(320, 200);
    const QString path = savedPicture(dir, QStringLiteral("pipe.png"), picture);
    const QStringList arguments{
        QStringLiteral("--panel"), QStringLiteral("320x200"),     QStringLiteral("--format"),
        QStringLiteral("0x"),      QStringLiteral("--delimiter"), QStringLiteral(","),
        QStringLiteral("-")};
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUORVEL_CONVERT), arguments);
    QVERIFY(process.waitForStarted());
    process.write(readAll(path));
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardError(), QByteArray());
    QCOMPARE(process.readAllStandardOutput(), runCli(arguments, readAll(path)).out);

    process.start(QStringLiteral(QUORVEL_CONVERT),
                  {QStringLiteral("--panel"), QStringLiteral("1x1")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().contains("Usage: quorvel-convert [options] PICTURE..."));
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"

// quorvel-convert against inputs and outputs a hostile or unlucky user gives it: devices, FIFOs
// and endless input, full disks, outputs that are its own inputs, file names that are not UTF-8
// or hold line breaks, pictures past the decoder's limit, tables of 16-bit words. Each case says
// how it must end and the one line it must print.
#include "ChildRun.h"
#include "CliRun.h"
#include "cli/FileNames.h"
#include "support/TestFiles.h"

#include <QPainter>
#include <QtTest>

#include <ftw.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace {
const QByteArray Program = QByteArrayLiteral(QUORVEL_CONVERT);

// Memory for the runs that read endless input: the limit is what is tested, so it must hold
// in a small address space. AddressSanitizer reserves terabytes of shadow memory up front and
// cannot start under any such limit; there the run goes without it.
#if defined(__SANITIZE_ADDRESS__)
constexpr rlim_t SmallAddressSpace = 0;
#elif defined(__has_feature) && __has_feature(address_sanitizer)
constexpr rlim_t SmallAddressSpace = 0;
#else
constexpr rlim_t SmallAddressSpace = rlim_t(1) << 30;
#endif

// Every file under the folder with its bytes, to see that a refused run wrote nothing.
QMap<QByteArray, QByteArray> snapshot(const QByteArray& folder) {
    QMap<QByteArray, QByteArray> files;
    QDirIterator it(argumentText(folder), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat info {};
        ::lstat(QFile::encodeName(path).constData(), &info);
        // A FIFO is never opened: that would wait for a writer.
        files.insert(path.toUtf8(), S_ISREG(info.st_mode) && info.st_size < 1024 * 1024
                                        ? readAll(path)
                                        : QByteArray::number(qint64(info.st_size)));
    }
    return files;
}

QList<QByteArray> words(const QList<QByteArray>& arguments, const QByteArray& folder) {
    QList<QByteArray> replaced;
    for (QByteArray word : arguments)
        replaced << word.replace("%D", folder);
    return replaced;
}
} // namespace

Q_DECLARE_METATYPE(ChildSetup::Input)

class TestCliHostile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void refusedAndAccepted_data();
    void refusedAndAccepted();
    void standardOutputFailures_data();
    void standardOutputFailures();
    void fileNamesRoundTrip_data();
    void fileNamesRoundTrip();
    void fileNamesInComments_data();
    void fileNamesInComments();
    void hostileNamesCompile();
    void cleanupTestCase();

private:
    QTemporaryDir tmp;
    QByteArray dir; // the folder's name as the system spells it
};

void TestCliHostile::initTestCase() {
    QVERIFY(tmp.isValid());
    dir = QFile::encodeName(tmp.path());
    const QDir folder(tmp.path());
    QVERIFY(patternPicture(128, 64).save(folder.filePath("pic.png")));
    QVERIFY(::link(dir + "/pic.png", dir + "/hard.png") == 0);
    // The same picture under a name that is not UTF-8.
    QVERIFY(::link(dir + "/pic.png", dir + "/na\xffme.png") == 0);
    QVERIFY(
        writeFile(folder.filePath("truncated.png"), readAll(folder.filePath("pic.png")).left(60)));
    QVERIFY(::mkfifo(dir + "/fifo.png", 0600) == 0);
    QVERIFY(writeFile(folder.filePath("words.h"),
                      "const unsigned short logo[] = {\n    0x0012, 0x1234,\n};\n"));
    QVERIFY(writeFile(folder.filePath("above.inc"), "logo: db 0xff, 0x100\n"));
    // 36 megapixels of 32-bit colour: 137 MiB decoded, past Qt's own limit of 128 MiB.
    QImage big(6000, 6000, QImage::Format_RGB32);
    big.fill(Qt::white);
    QPainter painter(&big);
    painter.fillRect(QRect(1000, 1000, 4000, 2000), Qt::black);
    painter.end();
    QVERIFY(big.save(folder.filePath("big.png")));
    // 70 megapixels, 268 MiB decoded: past the limit, though small on disk as one bit a pixel.
    QImage huge(10000, 7000, QImage::Format_Mono);
    huge.fill(1);
    QVERIFY(huge.save(folder.filePath("huge.png")));
    QVERIFY(QDir().mkpath(folder.filePath("folder.png")));
}

void TestCliHostile::refusedAndAccepted_data() {
    QTest::addColumn<QList<QByteArray>>("arguments"); // %D: the test's folder
    QTest::addColumn<ChildSetup::Input>("input");
    QTest::addColumn<QByteArray>("inputFile");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("line"); // the first line on stderr; empty: nothing
    QTest::addColumn<int>("lines");
    QTest::addColumn<QByteArray>("writes"); // a file the run makes; empty: nothing written

    const QByteArray usage = "quorvel-convert: ";
    const auto row = [](const char* name) { return &QTest::newRow(name); };
    using L = QList<QByteArray>;
    const auto none = ChildSetup::NoInput;
    *row("/dev/zero as a file") << L{"/dev/zero"} << none << QByteArray() << 1
                                << usage + "/dev/zero: not a file but a device" << 1
                                << QByteArray();
    *row("/dev/zero as standard input")
        << L{"-"} << ChildSetup::FromFile << QByteArray("/dev/zero") << 1
        << usage + "standard input: too large: more than the 256 MiB read at most" << 1
        << QByteArray();
    *row("endless pipe as standard input")
        << L{"-"} << ChildSetup::EndlessPipe << QByteArray() << 1
        << usage + "standard input: too large: more than the 256 MiB read at most" << 1
        << QByteArray();
    *row("endless table as standard input")
        << L{"--decode", "-"} << ChildSetup::EndlessPipe << QByteArray() << 1
        << usage + "standard input: too large: more than the 16 MiB read at most" << 1
        << QByteArray();
    *row("FIFO without a writer") << L{"%D/fifo.png"} << none << QByteArray() << 1
                                  << usage + "%D/fifo.png: not a file but a pipe" << 1
                                  << QByteArray();
    *row("folder") << L{"%D/folder.png"} << none << QByteArray() << 1
                   << usage + "%D/folder.png: not a file but a folder" << 1 << QByteArray();
    *row("truncated PNG, one line")
        << L{"%D/truncated.png"} << none << QByteArray() << 1
        << usage + "%D/truncated.png: not a picture (Unable to read image data)" << 1
        << QByteArray();
    *row("picture past the limit")
        << L{"%D/huge.png"} << none << QByteArray() << 1
        << usage + "%D/huge.png: too large: 10000 x 7000 pixels take 268 MiB, more than the 256 "
                   "MiB a picture may take"
        << 1 << QByteArray();
    *row("6000 x 6000 picture") << L{"%D/big.png", "-o", "%D/out/big.txt"} << none << QByteArray()
                                << 0 << QByteArray() << 0 << QByteArray("%D/out/big.txt");
    *row("16-bit words") << L{"--decode", "%D/words.h", "-o", "%D/out/words.png"} << none
                         << QByteArray() << 1
                         << usage + "%D/words.h: 0x0012 on line 2 is not a byte: a byte has one "
                                    "or two hex digits"
                         << 1 << QByteArray();
    *row("value above 255") << L{"--decode", "%D/above.inc", "-o", "%D/out/above.png"} << none
                            << QByteArray() << 1
                            << usage + "%D/above.inc: 0x100 on line 1 is not a byte: a byte has "
                                       "one or two hex digits"
                            << 1 << QByteArray();
    *row("output over its input") << L{"%D/pic.png", "-o", "%D/pic.png"} << none << QByteArray()
                                  << 2
                                  << usage + "-o '%D/pic.png' is the same file as the input "
                                             "'%D/pic.png'"
                                  << 3 << QByteArray();
    QTest::newRow("output over its input through a hard link")
        << L{"%D/pic.png", "--export", "c", "-o", "%D/./hard.png"} << none << QByteArray() << 2
        << usage + "-o '%D/./hard.png' is the same file as the input '%D/pic.png'" << 3
        << QByteArray();
    QTest::newRow("preview over the output")
        << L{"%D/pic.png", "-o", "%D/out/same", "--preview", "%D/out/same"} << none << QByteArray()
        << 2 << usage + "--preview '%D/out/same' is the same file as -o '%D/out/same'" << 3
        << QByteArray();
    QTest::newRow("decoded into a folder over its own table")
        << L{"--decode", "%D/pic.png", "-o", "%D/"} << none << QByteArray() << 2
        << usage + "-o '%D/pic.png' is the same file as the input '%D/pic.png'" << 3
        << QByteArray();
    QTest::newRow("name that is not UTF-8")
        << L{"%D/na\xffme.png", "-o", "%D/out/"} << none << QByteArray() << 0 << QByteArray() << 0
        << QByteArray("%D/out/na\xffme.txt");
    QTest::newRow("missing name that is not UTF-8, escaped")
        << L{"%D/gone\xfe\n.png"} << none << QByteArray() << 1
        << usage + "%D/gone\\xfe\\n.png: cannot read (No such file or directory)" << 1
        << QByteArray();
}

void TestCliHostile::refusedAndAccepted() {
    QFETCH(QList<QByteArray>, arguments);
    QFETCH(ChildSetup::Input, input);
    QFETCH(QByteArray, inputFile);
    QFETCH(int, status);
    QFETCH(QByteArray, line);
    QFETCH(int, lines);
    QFETCH(QByteArray, writes);
    line.replace("%D", dir);
    writes.replace("%D", dir);
    if (!writes.isEmpty())
        ::unlink(writes.constData());
    const QMap<QByteArray, QByteArray> before = snapshot(dir);

    ChildSetup setup;
    setup.arguments = words(arguments, dir);
    setup.input = input;
    setup.inputFile = inputFile;
    // Every run in a small address space: an input that is read without bound ends in
    // std::bad_alloc (exit 134), never in the refusal.
    setup.addressSpace = SmallAddressSpace;
    setup.timeoutMs = 30000;
    const ChildRun run = runChild(Program, setup);
    QVERIFY2(!run.timedOut, "still running after 30 s");
    QVERIFY2(run.exited, run.err.constData());
    QVERIFY2(run.status == status, run.err.constData());
    const QList<QByteArray> said = run.err.split('\n');
    QVERIFY2(run.err.isEmpty() || run.err.endsWith('\n'), run.err.constData());
    QCOMPARE(run.err.isEmpty() ? 0 : said.size() - 1, lines);
    if (!line.isEmpty())
        QCOMPARE(said.first(), line);
    if (writes.isEmpty()) {
        QCOMPARE(snapshot(dir), before);
    } else {
        struct stat info {};
        QVERIFY2(::stat(writes.constData(), &info) == 0 && info.st_size > 0, writes.constData());
    }
}

void TestCliHostile::standardOutputFailures_data() {
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::addColumn<QByteArray>("output"); // %D: the test's folder; %M: a full tmpfs
    QTest::addColumn<int>("fileSize");      // RLIMIT_FSIZE; 0: none
    QTest::addColumn<QByteArray>("line");
    using L = QList<QByteArray>;
    const L table{"--panel", "320x200", "--export", "c", "%D/pic.png"};
    QTest::newRow("/dev/full") << table << QByteArray("/dev/full") << 0
                               << QByteArray("cannot write standard output (No space left on "
                                             "device)");
    QTest::newRow("/dev/full, several pictures, said once")
        << L{"%D/pic.png", "%D/pic.png", "%D/hard.png"} << QByteArray("/dev/full") << 0
        << QByteArray("cannot write standard output (No space left on device)");
    QTest::newRow("/dev/full, help")
        << L{"--help"} << QByteArray("/dev/full") << 0
        << QByteArray("cannot write standard output (No space left on device)");
    QTest::newRow("file size limit") << table << QByteArray("%D/out/limited.h") << 4096
                                     << QByteArray("cannot write standard output (File too "
                                                   "large)");
    QTest::newRow("full tmpfs") << table << QByteArray("%M/table.h") << 0
                                << QByteArray("cannot write standard output (No space left on "
                                              "device)");
}

void TestCliHostile::standardOutputFailures() {
    QFETCH(QList<QByteArray>, arguments);
    QFETCH(QByteArray, output);
    QFETCH(int, fileSize);
    QFETCH(QByteArray, line);
    QByteArray mounted;
    const auto unmount = qScopeGuard([&mounted] {
        if (!mounted.isEmpty())
            ::umount2(mounted.constData(), MNT_DETACH);
    });
    if (output.contains("%M")) {
        // 16 KiB, less than the table of a 320x200 panel (about 50 KB).
        const QByteArray point = dir + "/small-disk";
        QVERIFY(QDir().mkpath(QFile::decodeName(point)));
        if (::mount("tmpfs", point.constData(), "tmpfs", 0, "size=16k") != 0)
            QSKIP(qPrintable(QStringLiteral("cannot mount a small tmpfs here (%1; it needs root "
                                            "or CAP_SYS_ADMIN)")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno)))));
        mounted = point;
        output.replace("%M", point);
    }
    output.replace("%D", dir);
    QVERIFY(QDir().mkpath(QFile::decodeName(dir + "/out")));
    ChildSetup setup;
    setup.arguments = words(arguments, dir);
    setup.outputFile = output;
    setup.fileSize = rlim_t(fileSize);
    const ChildRun run = runChild(Program, setup);
    QVERIFY(run.exited);
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err, "quorvel-convert: " + line + '\n');
}

void TestCliHostile::fileNamesRoundTrip_data() {
    QTest::addColumn<QByteArray>("native");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << QByteArray("logo.png") << "logo.png";
    QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 \xe2\x82\xac.png")
                           << QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac.png");
    QTest::newRow("four-byte UTF-8")
        << QByteArray("\xf0\x9f\x99\x82") << QString::fromUtf8("\xf0\x9f\x99\x82");
    QTest::newRow("Latin-1 byte") << QByteArray("na\xefve.png") << "na\\xefve.png";
    QTest::newRow("cut sequence") << QByteArray("a\xc3") << "a\\xc3";
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << "\\xc0\\xaf";
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80") << "\\xed\\xa0\\x80";
    QTest::newRow("past U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << "\\xf4\\x90\\x80\\x80";
    QTest::newRow("line breaks and tab") << QByteArray("a\nb\r\tc") << "a\\nb\\r\\tc";
    QTest::newRow("escape and delete") << QByteArray("\x1b[31m\x7f") << "\\x1b[31m\\x7f";
    QTest::newRow("backslash") << QByteArray("a\\b") << "a\\\\b";
    QTest::newRow("next line, line separator")
        << QByteArray("\xc2\x85|\xe2\x80\xa8") << "\\u0085|\\u2028";
    QTest::newRow("right-to-left override")
        << QByteArray("abc\xe2\x80\xaegnp.exe") << "abc\\u202egnp.exe";
}

void TestCliHostile::fileNamesRoundTrip() {
    QFETCH(QByteArray, native);
    QFETCH(QString, shown);
    const QString text = argumentText(native);
    QCOMPARE(nativeName(text), native);
    QCOMPARE(shownFileName(text), shown);
}

void TestCliHostile::fileNamesInComments_data() {
    QTest::addColumn<QByteArray>("native");
    QTest::addColumn<QString>("comment"); // the name as the comment line shows it
    QTest::newRow("line break and a directive") << QByteArray("line\n#error from a file name\n.png")
                                                << "line\\n#error from a file name\\n.png";
    QTest::newRow("CR") << QByteArray("cr\r.png") << "cr\\r.png";
    QTest::newRow("ends in a backslash") << QByteArray("back\\") << "back\\x5c";
    // A name holds no '/', but the path it stands in does.
    QTest::newRow("comment terminator") << QByteArray("star */x.png") << "star *\\x2fx.png";
    QTest::newRow("trigraph backslash") << QByteArray("tri?\?/x.png") << "tri?\?\\x2fx.png";
    QTest::newRow("not UTF-8") << QByteArray("b\xffz.png") << "b\\xffz.png";
    QTest::newRow("next line") << QByteArray("nl\xc2\x85x.png") << "nl\\u0085x.png";
}

void TestCliHostile::fileNamesInComments() {
    QFETCH(QByteArray, native);
    QFETCH(QString, comment);
    const QByteArray path = dir + "/named/" + native;
    QVERIFY(QDir().mkpath(QFile::decodeName(path.left(path.lastIndexOf('/')))));
    ::unlink(path.constData());
    QVERIFY(::link(dir + "/pic.png", path.constData()) == 0);
    const QString name = argumentText(path);
    const QString first = QFile::decodeName(dir + "/pic.png");
    const QString shownDir = QFile::decodeName(dir) + QStringLiteral("/named/");
    // Each language's comment, and the line count: nothing of the name spills onto a line of
    // its own.
    const QList<std::pair<QStringList, QString>> languages{{{"--export", "c"}, "// "},
                                                           {{"--export", "asm"}, "; "},
                                                           {{"--export", "basic"}, "REM "},
                                                           {{"--format", "0x"}, "// "}};
    for (const auto& [options, marker] : languages) {
        const CliRun run = runCli(options + QStringList{first, name});
        QVERIFY2(run.status == 0, run.err.constData());
        const QByteArray alone = runCli(options + QStringList{name}).out;
        const QString expected = marker + shownDir + comment + QLatin1Char('\n');
        QVERIFY2(QString::fromUtf8(run.out).endsWith(expected + QString::fromUtf8(alone) +
                                                     (alone.endsWith('\n') ? "" : "\n")),
                 run.out.right(alone.size() + 200).constData());
    }
}

void TestCliHostile::hostileNamesCompile() {
    const QString cc = QStandardPaths::findExecutable(QStringLiteral("cc"));
    if (cc.isEmpty())
        QSKIP("no C compiler: install the Debian package gcc");
    QVERIFY(QDir().mkpath(QFile::decodeName(dir + "/compiled")));
    QStringList inputs{QFile::decodeName(dir + "/pic.png")};
    // Each name makes another table name, so that the tables can stand in one file.
    for (const QByteArray& native :
         {QByteArray("line\n#error from a file name\n.png"), QByteArray("back\\"),
          QByteArray("star */s.png"), QByteArray("tri?\?/t"), QByteArray("b\xffz.png"),
          QByteArray("x\n*/ int broken = ;\n")}) {
        const QByteArray path = dir + "/compiled/" + native;
        QVERIFY(QDir().mkpath(QFile::decodeName(path.left(path.lastIndexOf('/')))));
        ::unlink(path.constData());
        QVERIFY(::link(dir + "/pic.png", path.constData()) == 0);
        inputs << argumentText(path);
    }
    const CliRun run = runCli(QStringList{"--export", "c"} + inputs);
    QVERIFY2(run.status == 0, run.err.constData());
    const QString source = QFile::decodeName(dir + "/compiled/tables.c");
    QVERIFY(writeFile(source, run.out));
    QProcess compiler;
    compiler.start(
        cc, {"-fsyntax-only", "-std=c99", "-trigraphs", "-Wall", "-Wextra", "-Werror", source});
    QVERIFY(compiler.waitForFinished(60000));
    QVERIFY2(compiler.exitCode() == 0, compiler.readAllStandardError().constData());
}

void TestCliHostile::cleanupTestCase() {
    // By the bytes of each name: QDir cannot name the files whose names are not UTF-8.
    ::nftw(
        dir.constData(),
        [](const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

QTEST_GUILESS_MAIN(TestCliHostile)
#include "test_cli_hostile.moc"

// Chunk timing and size checks, the end of a transfer, bad input, and the command line.

#include "picsim_test_run.h"
#include "picsim_test_streams.h"
#include "sim_options.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

class PicsimStreamTest : public QObject {
    Q_OBJECT
private slots:
    void overrun_data();
    void overrun();
    void busy_data();
    void busy();
    void wireReplay_data();
    void wireReplay();
    void quietEndsTransfer_data();
    void quietEndsTransfer();
    void dataErrors_data();
    void dataErrors();
    void survivesGarbage_data();
    void survivesGarbage();
    void options_data();
    void options();
};

void PicsimStreamTest::overrun_data() {
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<QList<int>>("chunks");
    QTest::addColumn<QStringList>("answers");
    QTest::newRow("at the limit") << QByteArray("20") << QList<int>{32, 32, 16}
                                  << QStringList{"EEPROM 40 bytes at 0000"};
    QTest::newRow("first chunk") << QByteArray("20") << QList<int>{40, 8}
                                 << QStringList{"OVERRUN chunk 1: 40 > 32",
                                                "EEPROM 24 bytes at 0000"};
    QTest::newRow("one over") << QByteArray("20") << QList<int>{32, 33, 1}
                              << QStringList{"OVERRUN chunk 2: 33 > 32", "EEPROM 33 bytes at 0000"};
    QTest::newRow("last chunk") << QByteArray("20") << QList<int>{32, 32, 40}
                                << QStringList{"OVERRUN chunk 3: 40 > 32",
                                               "EEPROM 52 bytes at 0000"};
    QTest::newRow("buffer 0") << QByteArray("00") << QList<int>{2}
                              << QStringList{"OVERRUN chunk 1: 2 > 0", "EEPROM 1 bytes at 0000"};
    QTest::newRow("many") << QByteArray("02") << QList<int>{4, 2, 4, 4, 4, 4}
                          << QStringList{"OVERRUN chunk 1: 4 > 2", "OVERRUN chunk 3: 4 > 2",
                                         "OVERRUN chunk 4: 4 > 2", "OVERRUN 5 chunks",
                                         "EEPROM 11 bytes at 0000"};
}

void PicsimStreamTest::overrun() {
    QFETCH(QByteArray, buffer);
    QByteArray stream = header("1", buffer, "0000");
    QFETCH(QList<int>, chunks);
    for (int length : chunks)
        stream += "]" + QByteArray(length, '7');
    PicSimulator simulator;
    simulator.takeAnswers();
    QFETCH(QStringList, answers);
    QCOMPARE(runTransfer(simulator, stream), answers);
}

void PicsimStreamTest::busy_data() {
    QTest::addColumn<int>("busyMs");
    QTest::addColumn<QList<int>>("pauses"); // before each wait character, after the last data
    QTest::addColumn<QStringList>("answers");
    const QString done = "EEPROM %1 bytes at 0000";
    QTest::newRow("off") << 0 << QList<int>{0, 0, 0} << QStringList{done.arg(48)};
    QTest::newRow("pauses of busy time") << 5 << QList<int>{5, 5, 5} << QStringList{done.arg(48)};
    const QString busy = "BUSY chunk %1: %2 ms before the wait character, the PIC needs %3 ms";
    QTest::newRow("one short") << 5 << QList<int>{5, 4, 5}
                               << QStringList{busy.arg(2).arg("4.0").arg(5), done.arg(48)};
    QTest::newRow("right after header")
        << 10 << QList<int>{0, 10} << QStringList{busy.arg(1).arg("0.0").arg(10), done.arg(32)};
    QTest::newRow("every chunk") << 5 << QList<int>{1, 1, 1, 1, 1}
                                 << QStringList{busy.arg(1).arg("1.0").arg(5),
                                                busy.arg(2).arg("1.0").arg(5),
                                                busy.arg(3).arg("1.0").arg(5), "BUSY 5 chunks",
                                                done.arg(80)};
}

void PicsimStreamTest::busy() {
    SimConfig config;
    QFETCH(int, busyMs);
    config.busyMs = busyMs;
    PicSimulator simulator(config);
    simulator.takeAnswers();
    qint64 now = 0;
    simulator.feed(header("1", "20", "0000"), ms(now));
    QFETCH(QList<int>, pauses);
    for (int pause : pauses) {
        now += pause;
        simulator.feed("]" + QByteArray(32, 'c'), ms(now));
    }
    QFETCH(QStringList, answers);
    QCOMPARE(runTransfer(simulator, QByteArray(), now + 1000), answers);
}

Q_DECLARE_METATYPE(WireFormat)

void PicsimStreamTest::wireReplay_data() {
    QTest::addColumn<WireFormat>("format");
    QTest::addColumn<bool>("hostWaitsForTheWire");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<QStringList>("answers");
    const WireFormat fast{19200, 8, 'N', 1};
    const WireFormat sevenEven{9600, 7, 'E', 1};
    const WireFormat twoStops{2400, 8, 'N', 2};
    const QString busy = "BUSY chunk %1: 0.0 ms before the wait character, the PIC needs 2 ms";
    const QString done = "EEPROM 32 bytes at 0000";
    // 10 header characters and two chunks of 1 + 32: 76 characters.
    QTest::newRow("a pty hands over everything at once: no silence on the wire")
        << fast << false << 5
        << QStringList{busy.arg(1), busy.arg(2),
                       "LINE 19200 8N1 76 chars 0.04 s, smallest gap 0.0 ms", done};
    QTest::newRow("19200 8N1, the host waits for the wire, then 5 ms")
        << fast << true << 5
        << QStringList{"LINE 19200 8N1 76 chars 0.05 s, smallest gap 5.0 ms", done};
    QTest::newRow("9600 7E1: 10 bits a character")
        << sevenEven << true << 3
        << QStringList{"LINE 9600 7E1 76 chars 0.09 s, smallest gap 3.0 ms", done};
    QTest::newRow("2400 8N2: 11 bits a character")
        << twoStops << true << 2
        << QStringList{"LINE 2400 8N2 76 chars 0.35 s, smallest gap 2.0 ms", done};
    QTest::newRow("speed unknown: characters as they arrive")
        << WireFormat{0, 8, 'N', 1} << true << 5
        << QStringList{"LINE unknown speed 8N1 76 chars 0.01 s, smallest gap 5.0 ms", done};
}

// Pieces written the way the host writes them: the header, then each chunk opened by its wait
// character. The PIC sees them on the wire at the line's speed, not as the pty hands them over.
void PicsimStreamTest::wireReplay() {
    QFETCH(WireFormat, format);
    QFETCH(bool, hostWaitsForTheWire);
    QFETCH(int, delayMs);
    SimConfig config;
    config.busyMs = 2;
    PicSimulator simulator(config);
    simulator.takeAnswers();
    simulator.setLine(format);
    const QByteArray pieces[] = {header("1", "20", "0000"), "]" + QByteArray(32, '5'),
                                 "]" + QByteArray(32, '6')};
    qint64 now = 0;
    for (const QByteArray& piece : pieces) {
        if (piece.startsWith(']')) {
            if (hostWaitsForTheWire)
                now += ms(delayMs);
        }
        simulator.feed(piece, now);
        if (hostWaitsForTheWire)
            now += piece.size() * format.characterNs();
    }
    simulator.tick(now + ms(100000));
    QFETCH(QStringList, answers);
    QCOMPARE(simulator.takeAnswers(), answers);
}

void PicsimStreamTest::quietEndsTransfer_data() {
    QTest::addColumn<int>("pause"); // in the middle of a 128x64 stream
    QTest::addColumn<QStringList>("answers");
    QTest::newRow("shorter than idle") << 399 << QStringList{"LCD 128x64 V 1024 bytes"};
    QTest::newRow("idle time") << 400
                               << QStringList{"ERROR size 512 mode 3",
                                              "ERROR no header: 1056 chars"};
}

void PicsimStreamTest::quietEndsTransfer() {
    QFETCH(int, pause);
    const QByteArray stream = header("3", "20", "0000") + framed(encodeVertical(128, 64), 32);
    const int half = stream.size() - 32 * 33;
    PicSimulator simulator; // idle 400 ms
    simulator.takeAnswers();
    simulator.feed(stream.left(half), 0);
    simulator.tick(ms(pause) - 1);
    simulator.feed(stream.mid(half), ms(pause));
    QFETCH(QStringList, answers);
    QCOMPARE(runTransfer(simulator, QByteArray(), pause + 1000), answers);
}

void PicsimStreamTest::dataErrors_data() {
    QTest::addColumn<QByteArray>("wait");
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QStringList>("answers");
    const QByteArray load = header("1", "20", "0000");
    QTest::newRow("odd hex count") << QByteArray("]") << load + "]123"
                                   << QStringList{"ERROR odd hex count", "EEPROM 1 bytes at 0000"};
    QTest::newRow("upper-case data") << QByteArray("]") << load + "]12AB"
                                     << QStringList{"ERROR 2 bad chars", "EEPROM 1 bytes at 0000"};
    QTest::newRow("terminal keys")
        << QByteArray("]") << QByteArray("hello") << QStringList{"ERROR no header: 5 chars"};
    QTest::newRow("junk, then header")
        << QByteArray("]") << "\r\n" + load + "]00"
        << QStringList{"ERROR no header: 2 chars", "EEPROM 1 bytes at 0000"};
    QTest::newRow("star starts next")
        << QByteArray("]") << load + "]00" + header("1", "20", "0100") + "]1122"
        << QStringList{"EEPROM 1 bytes at 0000", "EEPROM 2 bytes at 0100"};
    QTest::newRow("data after show")
        << QByteArray("]") << QByteArray("*22000000a]00")
        << QStringList{"ERROR data after show", "LCD 128x64 V from EEPROM"};
    QTest::newRow("other wait char")
        << QByteArray("#") << load + "#00#11" << QStringList{"EEPROM 2 bytes at 0000"};
    QTest::newRow("wrong wait char") << QByteArray("]") << load + "#00"
                                     << QStringList{"ERROR 1 bad char", "EEPROM 1 bytes at 0000"};
    QTest::newRow("two-char wait")
        << QByteArray("~~") << load + "~~0011~~22" << QStringList{"EEPROM 3 bytes at 0000"};
    QTest::newRow("wait cut short") << QByteArray("~~") << load + "~~00~11"
                                    << QStringList{"ERROR 1 bad char", "EEPROM 2 bytes at 0000"};
}

void PicsimStreamTest::dataErrors() {
    SimConfig config;
    QFETCH(QByteArray, wait);
    QFETCH(QByteArray, stream);
    config.wait = wait;
    PicSimulator simulator(config);
    simulator.takeAnswers();
    QFETCH(QStringList, answers);
    QCOMPARE(runTransfer(simulator, stream), answers);
}

void PicsimStreamTest::survivesGarbage_data() {
    QTest::addColumn<QByteArray>("garbage");
    QByteArray everyByte;
    for (int i = 0; i < 512; ++i)
        everyByte.append(char(i));
    QByteArray noise(1 << 16, '\0');
    QRandomGenerator random(20240611);
    for (char& c : noise)
        c = char(random.bounded(256));
    QTest::newRow("every byte value") << everyByte;
    QTest::newRow("random noise") << noise;
    QTest::newRow("stars") << QByteArray(300, '*');
    QTest::newRow("endless hex") << header("1", "20", "0000") + "]" + QByteArray(200000, 'a');
    QTest::newRow("header, then noise") << header("3", "20", "0000") + "]" + noise;
    QTest::newRow("wait flood") << header("0", "20", "0000") + QByteArray(100000, ']');
}

void PicsimStreamTest::survivesGarbage() {
    QFETCH(QByteArray, garbage);
    PicSimulator simulator;
    simulator.takeAnswers();
    // Whatever comes in, the answers stay short printable lines for the host's little window.
    for (const QString& line : runTransfer(simulator, garbage)) {
        const bool printable =
            std::all_of(line.begin(), line.end(), [](QChar c) { return c >= ' ' && c <= '~'; });
        QVERIFY2(printable && line.size() <= 80, qPrintable(line));
    }
    // Afterwards the PIC still takes a good picture.
    const QByteArray good = header("3", "20", "0000") + framed(encodeVertical(128, 64), 32);
    QCOMPARE(runTransfer(simulator, good, 1 << 30), QStringList{"LCD 128x64 V 1024 bytes"});
    QCOMPARE(pixelsOff(simulator.lcd(), patternPixel), 0);
}

void PicsimStreamTest::options_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("eepromPanel"); // describe(), or "auto"
    QTest::newRow("defaults") << QStringList{} << true << "128x64 V";
    QTest::newRow("all set") << QStringList{"--wait",    "#",          "--busy-ms",  "8",
                                            "--idle-ms", "150",        "--link",     "/tmp/x",
                                            "--png",     "/tmp/x.png", "--no-window"}
                             << true << "128x64 V";
    QTest::newRow("panel H") << QStringList{"--eeprom-panel", "240x128h"} << true << "240x128 H";
    QTest::newRow("panel auto") << QStringList{"--eeprom-panel", "auto"} << true << "auto";
    QTest::newRow("panel not x8") << QStringList{"--eeprom-panel", "100x64"} << false << "";
    QTest::newRow("wait hex digit") << QStringList{"--wait", "a"} << false << "";
    QTest::newRow("wait star") << QStringList{"--wait", "*"} << false << "";
    QTest::newRow("wait empty") << QStringList{"--wait", ""} << false << "";
    QTest::newRow("idle too short") << QStringList{"--idle-ms", "5"} << false << "";
    QTest::newRow("busy negative") << QStringList{"--busy-ms", "-1"} << false << "";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << false << "";
    QTest::newRow("stray argument") << QStringList{"extra"} << false << "";
    QTest::newRow("quiet") << QStringList{"--quiet"} << true << "128x64 V";
    QTest::newRow("png onto a folder") << QStringList{"--png", "/tmp"} << false << "";
    QTest::newRow("png onto a device") << QStringList{"--png", "/dev/null"} << false << "";
    QTest::newRow("png in a missing folder")
        << QStringList{"--png", "/nonexistent-folder/lcd.png"} << false << "";
}

void PicsimStreamTest::options() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);
    QFETCH(QString, eepromPanel);
    const OptionsParse parsed = parseSimOptions(QStringList{"quorvel-picsim"} + arguments);
    QCOMPARE(bool(parsed.options), accepted);
    if (!parsed.options)
        return;
    const auto& panel = parsed.options->config.eepromPanel;
    QCOMPARE(panel ? panel->describe() : QStringLiteral("auto"), eepromPanel);
}

QTEST_GUILESS_MAIN(PicsimStreamTest)
#include "test_picsim_stream.moc"

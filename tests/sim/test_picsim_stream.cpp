// Chunk timing and size checks, the end of a transfer, bad input, and the command line.

#include "answer_backlog.h"
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
    void lateReadings_data();
    void lateReadings();
    void answerBacklog_data();
    void answerBacklog();
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

void PicsimStreamTest::lateReadings_data() {
    // Each piece: when it was read (us), how much sooner it can have come (us), and what it is:
    // "h" the header, "c" a chunk (the wait character and 32 digits), "C" two chunks at once.
    QTest::addColumn<QList<int>>("readAtUs");
    QTest::addColumn<QList<int>>("lateUs");
    QTest::addColumn<QByteArray>("pieces");
    QTest::addColumn<QStringList>("answers");
    const QString done = "EEPROM %1 bytes at 0000";
    // 19200 8N1: the header takes 5208 us on the wire, a chunk 17188 us; this host waits for
    // that and 5 ms more before each wait character.
    QTest::newRow("read in time: 5 ms measured")
        << QList<int>{0, 10208, 32396, 54584} << QList<int>{0, 0, 0, 0} << QByteArray("hccc")
        << QStringList{"LINE 19200 8N1 109 chars 0.07 s, smallest gap 5.0 ms", done.arg(48)};
    // Chunk 2 read 4 ms late, and the reader knows it: the silences on both sides of it lie
    // within 4 ms wide bounds, which is no measurement (and 1 ms is no proof of a busy PIC).
    QTest::newRow("a late read is not measured, and is no BUSY")
        << QList<int>{0, 10208, 36396, 54584} << QList<int>{0, 0, 4000, 0} << QByteArray("hccc")
        << QStringList{"LINE 19200 8N1 109 chars 0.07 s, smallest gap 5.0 ms, 2 gaps not measured",
                       done.arg(48)};
    // The same 4 ms, unseen by the reader (the pseudo-terminal's own lag): the long silence
    // before the chunk and the short one after it tell the story together.
    QTest::newRow("an unseen late hand-over is explained by the silence before it")
        << QList<int>{0, 10208, 36396, 54584} << QList<int>{0, 0, 0, 0} << QByteArray("hccc")
        << QStringList{"LINE 19200 8N1 109 chars 0.07 s, smallest gap 5.0 ms, 1 gap not measured",
                       done.arg(48)};
    // Two chunks in one read, long after the last: the host may have paused between them.
    QTest::newRow("two chunks in one late read")
        << QList<int>{0, 10208, 54584} << QList<int>{0, 0, 0} << QByteArray("hcC")
        << QStringList{"LINE 19200 8N1 109 chars 0.09 s, smallest gap 5.0 ms, 1 gap not measured",
                       done.arg(48)};
    // A host that waits for the wire and not a moment longer: 0.5 ms every time, one chunk
    // read late. Once the silence before the transfer is out of sight, it is BUSY.
    const QString busy = "BUSY chunk %1: 0.5 ms before the wait character, the PIC needs 2 ms";
    QTest::newRow("no pause at all is BUSY though a read was late")
        << QList<int>{0, 5708, 24896, 41084, 58772, 76460, 94148}
        << QList<int>{0, 0, 1500, 0, 0, 0, 0} << QByteArray("hcccccc")
        << QStringList{busy.arg(4), busy.arg(5), busy.arg(6),
                       "LINE 19200 8N1 208 chars 0.11 s, smallest gap 0.5 ms, 3 gaps not measured",
                       done.arg(96)};
}

// The PIC is told when each piece was read and how soon it can have come; it judges the
// silences within those bounds instead of taking the read times for the truth.
void PicsimStreamTest::lateReadings() {
    QFETCH(QList<int>, readAtUs);
    QFETCH(QList<int>, lateUs);
    QFETCH(QByteArray, pieces);
    SimConfig config;
    config.busyMs = 2;
    PicSimulator simulator(config);
    simulator.takeAnswers();
    simulator.setLine(WireFormat{19200, 8, 'N', 1});
    for (int i = 0; i < pieces.size(); ++i) {
        QByteArray data;
        if (pieces[i] == 'h')
            data = header("1", "20", "0000");
        else
            data = QByteArray(pieces[i] == 'C' ? 2 : 1, 'x');
        data.replace("x", "]" + QByteArray(32, '5'));
        // Long after the simulator started, as a transfer after a quiet line.
        const qint64 readNs = ms(60000) + readAtUs[i] * 1000LL;
        simulator.feed(data, readNs, readNs - lateUs[i] * 1000LL);
    }
    simulator.tick(ms(100000));
    QFETCH(QStringList, answers);
    QCOMPARE(simulator.takeAnswers(), answers);
}

void PicsimStreamTest::answerBacklog_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<qsizetype>("backlog"); // bytes the host has not read yet
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QStringList>("releasedWhenRead");
    const QStringList flood{"ERROR header *", "LINE 19200 8N1 1 chars 0.00 s, no wait character",
                            "ERROR header *", "LINE 19200 8N1 1 chars 0.00 s, no wait character",
                            "ERROR header *"};
    QTest::newRow("host reading: all go") << flood << qsizetype(0) << flood << QStringList{};
    QTest::newRow("host behind: counted")
        << flood << AnswerBacklog::kMaxBacklogBytes << QStringList{}
        << QStringList{"ERROR header * (3 times)",
                       "LINE 19200 8N1 1 chars 0.00 s, no wait character (2 times)"};
    QTest::newRow("room for two") << flood << AnswerBacklog::kMaxBacklogBytes - 70
                                  << flood.mid(0, 2)
                                  << QStringList{
                                         "ERROR header * (2 times)",
                                         "LINE 19200 8N1 1 chars 0.00 s, no wait character"};
    QStringList many;
    for (int i = 0; i < AnswerBacklog::kMaxHeldLines + 5; ++i)
        many.append(QStringLiteral("ERROR no header: %1 chars").arg(i + 2));
    QStringList held = many.mid(0, AnswerBacklog::kMaxHeldLines);
    held.append("ERROR 5 more lines left out: the host was not reading");
    QTest::newRow("many different lines")
        << many << AnswerBacklog::kMaxBacklogBytes << QStringList{} << held;
}

void PicsimStreamTest::answerBacklog() {
    QFETCH(QStringList, lines);
    QFETCH(qsizetype, backlog);
    AnswerBacklog answers;
    QFETCH(QStringList, sent);
    QCOMPARE(answers.pass(lines, backlog), sent);
    // Held lines wait while the host is still behind, and go once it has read.
    QCOMPARE(answers.release(AnswerBacklog::kMaxBacklogBytes), QStringList{});
    QFETCH(QStringList, releasedWhenRead);
    QCOMPARE(answers.release(0), releasedWhenRead);
    QVERIFY(!answers.holding());
    QCOMPARE(answers.pass({"READY"}, 0), QStringList{"READY"});
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
    QTest::newRow("controller") << QStringList{"--controller", "t6963c"} << true << "128x64 V";
    QTest::newRow("controller unknown") << QStringList{"--controller", "sed1520"} << false << "";
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

// The harness that proves the firmware, proven first: a fault here would let a faulty firmware
// pass. The wire is read back bit by bit and through the simulated UART of a small program,
// the panel and bus models are fed port writes made by hand.
#include "FirmwareRun.h"
#include "link/LineTiming.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace firmware;
using gpsim::RegisterWrite;

namespace {

// Port B bits: D/I, R/W, E, CS1, CS2, /RST.
constexpr int DI = 1, E = 4, CS1 = 8, CS2 = 16, RST = 32;

// Writes a KS0108 transfer the way a careful firmware does: control lines, data, E high for
// `eHighCycles`, E low, then `gapCycles` before the next.
struct BusWriter {
    std::vector<RegisterWrite> writes;
    qint64 cycle = 10;
    int b = 0;
    int eHighCycles = 3;
    int gapCycles = 3;

    void latb(int value) {
        writes.push_back({cycle++, QStringLiteral("latb"), value, b});
        b = value;
    }
    void latd(int value) { writes.push_back({cycle++, QStringLiteral("latd"), value, 0}); }
    void transfer(int control, int data) {
        latb(RST | control);
        latd(data);
        latb(RST | control | E);
        cycle += eHighCycles - 1;
        latb(RST | control);
        cycle += gapCycles;
    }
    void reset() {
        writes.push_back({cycle++, QStringLiteral("trisd"), 0, 0xFF});
        latb(0);
        cycle += 10;
        latb(RST);
    }
};

} // namespace

class TestFirmwareHarness : public QObject {
    Q_OBJECT
private slots:
    void wireCarriesEveryByte();
    void wireEdgesFollowTheBitTimes();
    void sendScheduleIsTheSendLoop_data();
    void sendScheduleIsTheSendLoop();
    void transmitTextIsTheProgramsStream();
    void panelModelShowsWhatIsWritten();
    void busTimingFaultsAreReported_data();
    void busTimingFaultsAreReported();
    void i2cMonitorFindsCrossingsAndBusyAccesses();
    void txLinesSplitAtCrLf();
    void simulatedUartReadsTheWire();
};

void TestFirmwareHarness::wireCarriesEveryByte() {
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all += char(i);
    // Back to back, and with odd gaps that put edges between cycles.
    Schedule s = followedBy(backToBack(all, 1'000'000), backToBack(all, 0), 12'345);
    const ReadBack back = readStimulus(rxStimulus(s));
    QCOMPARE(back.text, all + all);
    QCOMPARE(back.framingErrors, 0);
    QVERIFY(rxStimulus(s).startsWith("0 0.0\n1 5.0\n"));
}

void TestFirmwareHarness::wireEdgesFollowTheBitTimes() {
    // 'U' (0x55) alternates every bit: start 0, then 1 0 1 0 1 0 1 0, stop 1. Ten edges but
    // the last data bit (0) to the stop bit is one edge: 9 edges after the idle level.
    const QByteArray file = rxStimulus(backToBack("U", 2'000'000));
    const QList<QByteArray> lines = file.trimmed().split('\n');
    QCOMPARE(lines.size(), 2 + 10);
    const double bitCycles = 5e6 / 19200.0;
    for (int i = 2; i < lines.size(); ++i) {
        const qint64 cycle = lines[i].split(' ')[0].toLongLong();
        QCOMPARE(cycle, qint64(std::llround(10'000 + (i - 2) * bitCycles)));
        QCOMPARE(lines[i].endsWith("5.0"), (i - 2) % 2 == 1);
    }
}

void TestFirmwareHarness::sendScheduleIsTheSendLoop_data() {
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("buffer");
    QTest::newRow("Xmit Delay 5, buffer 32") << 5 << 32;
    QTest::newRow("Xmit Delay 0, buffer 2") << 0 << 2;
    QTest::newRow("Xmit Delay 100, buffer 128") << 100 << 128;
}

void TestFirmwareHarness::sendScheduleIsTheSendLoop() {
    QFETCH(int, delay);
    QFETCH(int, buffer);
    SendPlan plan;
    plan.xmitText = pictureTransmitText(randomPicture(7), lcdHeader(buffer), QStringLiteral("]"));
    plan.xmitDelayMs = delay;
    const Schedule s = sendSchedule(plan, 1'000'000);
    QCOMPARE(QString::fromLatin1(textOf(s)), plan.xmitText);
    QCOMPARE(s.front().startNs, qint64(1'000'000));
    const qint64 charNs = *characterWireNs(LineSettings{});
    for (size_t i = 1; i < s.size(); ++i) {
        const qint64 gap = s[i].startNs - s[i - 1].startNs - charNs;
        // The pause starts once the line is idle; everything else goes back to back.
        QCOMPARE(gap, s[i].c == ']' ? qint64(delay) * 1'000'000 : qint64(0));
    }
}

void TestFirmwareHarness::transmitTextIsTheProgramsStream() {
    const QImage picture = randomPicture(3);
    const QString text = pictureTransmitText(picture, lcdHeader(32, 10));
    QVERIFY(text.startsWith(QLatin1String("*32000000a]")));
    QCOMPARE(text.count(QLatin1Char(']')), 2048 / 32);
    QString hex = text.mid(10);
    hex.remove(QLatin1Char(']'));
    QCOMPARE(QByteArray::fromHex(hex.toLatin1()), pictureBytes(picture));
    QCOMPARE(pictureTransmitText(picture, lcdHeader(32, 20)).left(11),
             QStringLiteral("*3200000014"));
    QCOMPARE(pictureTransmitText(picture, eepromHeader(0x123, 32, 10)).left(10),
             QStringLiteral("*12001230a"));
}

void TestFirmwareHarness::panelModelShowsWhatIsWritten() {
    BusWriter bus;
    bus.reset();
    bus.transfer(CS1 | CS2, 0x3F); // display on
    bus.transfer(CS1 | CS2, 0xC0); // start line 0
    bus.transfer(CS2, 0xB8 | 2);   // page 2 on the right half
    bus.transfer(CS2, 0x40 | 63);  // column 63 of the right half: x = 127
    bus.transfer(CS2 | DI, 0x81);  // rows 16 and 23
    bus.transfer(CS2 | DI, 0x02);  // wraps to column 0 of the right half: x = 64, row 17
    bus.transfer(CS1, 0xB8 | 7);
    bus.transfer(CS1, 0x40 | 0);
    bus.transfer(CS1 | DI, 0x80); // x = 0, row 63
    Ks0108Model lcd;
    lcd.feed(bus.writes);
    QVERIFY2(lcd.violations().isEmpty(), qPrintable(lcd.violations().join('\n')));
    QVERIFY(lcd.displayOn());
    const QImage p = lcd.picture();
    const auto black = [&p](int x, int y) { return qGray(p.pixel(x, y)) < 128; };
    int count = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            count += black(x, y);
    QCOMPARE(count, 4);
    QVERIFY(black(127, 16) && black(127, 23) && black(64, 17) && black(0, 63));
    QCOMPARE(int(lcd.dataWrites().size()), 3);
    QCOMPARE(lcd.dataWrites()[1].column, 64);

    // Start line 8 rolls the picture up by a page; display off shows nothing.
    bus.transfer(CS1 | CS2, 0xC0 | 8);
    Ks0108Model rolled;
    rolled.feed(bus.writes);
    QVERIFY(qGray(rolled.picture().pixel(127, 8)) < 128);
    bus.transfer(CS1, 0x3E);
    Ks0108Model off;
    off.feed(bus.writes);
    QVERIFY(!off.displayOn());
    QCOMPARE(qGray(off.picture().pixel(0, 55)), 255);
}

void TestFirmwareHarness::busTimingFaultsAreReported_data() {
    QTest::addColumn<int>("eHigh");
    QTest::addColumn<int>("gap");
    QTest::addColumn<int>("extra"); // 1: D/I rises with E; 2: E rises again 800 ns later
    QTest::addColumn<QString>("fault");
    QTest::newRow("in time") << 3 << 3 << 0 << QString();
    QTest::newRow("E high 400 ns") << 2 << 4 << 0 << QStringLiteral("E high 400 ns");
    QTest::newRow("E cycle 800 ns") << 3 << 3 << 2 << QStringLiteral("E cycle 800 ns");
    QTest::newRow("D/I with E") << 3 << 3 << 1 << QStringLiteral("before E rises");
}

void TestFirmwareHarness::busTimingFaultsAreReported() {
    QFETCH(int, eHigh);
    QFETCH(int, gap);
    QFETCH(int, extra);
    QFETCH(QString, fault);
    BusWriter bus;
    bus.eHighCycles = eHigh;
    bus.gapCycles = gap;
    bus.reset();
    bus.transfer(CS1, 0x3F);
    bus.transfer(CS1, 0x3F);
    if (extra == 1) {
        bus.latd(0x55);
        bus.cycle += 2;
        bus.latb(RST | CS1 | DI | E); // D/I rises with E
        bus.cycle += 2;
        bus.latb(RST | CS1 | DI);
    } else if (extra == 2) {
        bus.latb(RST | CS1 | E);
        bus.cycle += 2;
        bus.latb(RST | CS1);
        bus.latb(RST | CS1 | E);
        bus.cycle += 2;
        bus.latb(RST | CS1);
    }
    Ks0108Model lcd;
    lcd.feed(bus.writes);
    if (fault.isEmpty()) {
        QCOMPARE(lcd.violationCount(), 0);
    } else {
        QVERIFY(lcd.violationCount() > 0);
        QVERIFY2(lcd.violations().first().contains(fault), qPrintable(lcd.violations().first()));
    }
}

void TestFirmwareHarness::i2cMonitorFindsCrossingsAndBusyAccesses() {
    std::vector<RegisterWrite> w;
    qint64 cycle = 100;
    const auto con2 = [&](int bit) {
        w.push_back({cycle, QStringLiteral("sspcon2"), bit, 0});
        cycle += 50;
    };
    const auto buf = [&](int v) {
        w.push_back({cycle, QStringLiteral("sspbuf"), v, 0});
        cycle += 50;
    };
    const auto pageWrite = [&](int address, int count) {
        con2(1);
        buf(0xA0);
        buf(address >> 8);
        buf(address & 0xFF);
        for (int i = 0; i < count; ++i)
            buf(0x10 + i);
        con2(4);
    };
    pageWrite(0x0123, 29); // 0x123..0x13F: ends on the boundary
    cycle += 25'000;       // the 5 ms write cycle
    con2(1);               // an acknowledge poll is allowed at any time
    buf(0xA0);
    con2(4);
    pageWrite(0x0140, 2);
    cycle += 1000; // 200 us later: too early
    pageWrite(0x017F, 2);
    I2cMonitor m;
    m.feed(w);
    QCOMPARE(int(m.pageWrites().size()), 3);
    QCOMPARE(m.pageCrossings().size(), 1);
    QVERIFY(m.pageCrossings().first().contains(QLatin1String("017f")));
    QCOMPARE(m.busyAccesses().size(), 1);
    const QByteArray image = m.applyWrites(QByteArray(0x8000, char(0xFF)));
    QCOMPARE(quint8(image[0x123]), quint8(0x10));
    QCOMPARE(quint8(image[0x13F]), quint8(0x10 + 28));
    QCOMPARE(quint8(image[0x17F]), quint8(0x10));
    QCOMPARE(quint8(image[0x140]), quint8(0x11)); // the crossing byte wrapped onto the page start
}

void TestFirmwareHarness::txLinesSplitAtCrLf() {
    std::vector<RegisterWrite> w;
    qint64 cycle = 0;
    for (const char c : QByteArray("READY\r\nLCD 1024 bytes\r\nhalf"))
        w.push_back({cycle++, QStringLiteral("txreg"), quint8(c), 0});
    const std::vector<TxLine> lines = txLines(w);
    QCOMPARE(int(lines.size()), 3);
    QCOMPARE(lines[0].text, QStringLiteral("READY"));
    QCOMPARE(lines[0].cycle, qint64(6));
    QCOMPARE(lines[1].text, QStringLiteral("LCD 1024 bytes"));
    QCOMPARE(lines[2].text, QStringLiteral("half"));
}

// A program that sends every received character back: the wire file, gpsim's UART and the log
// reading together give back the text sent.
void TestFirmwareHarness::simulatedUartReadsTheWire() {
    const gpsim::Tools tools = gpsim::findTools();
    if (!tools.found())
        QSKIP(qPrintable(gpsim::missingToolsMessage(tools)));
    QTemporaryDir dir(QStringLiteral("/tmp/fwhXXXXXX"));
    QVERIFY(dir.isValid());
    QFile source(dir.filePath(QStringLiteral("echo.asm")));
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write(R"(        list p=18f4520, r=dec
        #include <p18f4520.inc>
        CONFIG OSC=HS, WDT=OFF, LVP=OFF, PBADEN=OFF
        org 0
        movlw 64            ; 19200 baud at 20 MHz, BRGH = 1
        movwf SPBRG
        movlw 0x24
        movwf TXSTA
        movlw 0x90
        movwf RCSTA
        clrf TRISD
wait:   btfss PIR1, RCIF
        bra wait
        movf RCREG, W
        movwf LATD
        movwf TXREG
        bra wait
        end
)");
    source.close();
    const gpsim::Assembled cod =
        gpsim::assemble(source.fileName(), QStringLiteral("p18f4520"), dir.filePath("echo"));
    QVERIFY2(cod.ok, qPrintable(cod.messages));

    const QByteArray text = "*3200000a]0f1e2d\r\nzZ~";
    gpsim::RunSetup run;
    run.codPath = cod.codPath;
    const Schedule s = backToBack(text, 1'000'000);
    run.cycles = nsToCycles(characterEndNs(s.back()) + 2'000'000);
    run.logWrites = QStringList{QStringLiteral("latd"), QStringLiteral("txreg")};
    run.stimulusPin = QStringLiteral("portc7");
    run.stimulus = rxStimulus(s);
    const gpsim::RunResult r = gpsim::run(run);
    QVERIFY2(r.ok, qPrintable(r.error + '\n' + r.console.right(2000)));
    QByteArray echoed;
    int i = 0;
    for (const RegisterWrite& w : r.writes) {
        if (w.reg != QLatin1String("txreg"))
            continue;
        echoed += char(w.value);
        // Each character is in once its stop bit has been sampled, never before its own
        // wire time has passed.
        QVERIFY(w.cycle * CycleNs > s[i].startNs + 9 * bitNs());
        QVERIFY(w.cycle * CycleNs < characterEndNs(s[i]) + 20'000);
        ++i;
    }
    QCOMPARE(echoed, text);
}

QTEST_GUILESS_MAIN(TestFirmwareHarness)
#include "test_firmware_harness.moc"

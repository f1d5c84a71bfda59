// The reference firmware in gpsim, fed the exact schedule of the program's own send loop on
// simulated time: what reaches the LCD and the EEPROM, the bus timing, the replies. Each check
// returns the faults it found, so that the faulty builds of the firmware are run through the
// same checks and must fail them.
#include "FirmwareChecks.h"
#include "convert/OutputText.h"
#include "convert/TransmitText.h"
#include "support/TestPictures.h"

#include <QFileInfo>
#include <QtTest>

using namespace firmware;

namespace {
#define REQUIRE_TOOLS()                                                                            \
    do {                                                                                           \
        const gpsim::Tools tools = gpsim::findTools();                                             \
        if (!tools.found())                                                                        \
            QSKIP(qPrintable(gpsim::missingToolsMessage(tools)));                                  \
        QVERIFY2(QFileInfo::exists(firmwareCod()),                                                 \
                 qPrintable(QStringLiteral("%1 not built").arg(firmwareCod())));                   \
    } while (false)
} // namespace

class TestFirmware : public QObject {
    Q_OBJECT
private slots:
    void readyAfterReset();
    void pictureReachesTheLcd_data();
    void pictureReachesTheLcd();
    void eepromLoadThenShow();
    void tooFastALoadIsAnOverrun();
    void badInputGetsAnErrorAndTheNextPictureWorks_data();
    void badInputGetsAnErrorAndTheNextPictureWorks();
    void faultyFirmwaresAreRejected_data();
    void faultyFirmwaresAreRejected();

private:
};

void TestFirmware::readyAfterReset() {
    REQUIRE_TOOLS();
    FirmwareSetup setup;
    setup.minimumNs = 150'000'000;
    setup.tailNs = 0;
    const FirmwareOutcome out = runFirmware(setup);
    QVERIFY2(out.run.ok, qPrintable(out.run.error));
    const auto ready = out.reply(QStringLiteral("READY"));
    QVERIFY2(ready, qPrintable(repliesOf(out)));
    QVERIFY2(cyclesToMs(ready->cycle) < 100, qPrintable(repliesOf(out)));
    QVERIFY2(out.lcd.displayOn(), "display not switched on after reset");
    QCOMPARE(out.lcd.violationCount(), 0);
}

void TestFirmware::pictureReachesTheLcd_data() {
    QTest::addColumn<int>("buffer");
    QTest::addColumn<int>("xmitDelay");
    QTest::addColumn<int>("picDelay");
    QTest::newRow("start-up: buffer 32, Xmit Delay 5") << 32 << 5 << 10;
    QTest::newRow("Xmit Delay 0") << 32 << 0 << 10;
    QTest::newRow("buffer 2") << 2 << 5 << 10;
    QTest::newRow("buffer 128") << 128 << 5 << 10;
    QTest::newRow("PIC Delay 20: 11-character header") << 32 << 5 << 20;
}

void TestFirmware::pictureReachesTheLcd() {
    REQUIRE_TOOLS();
    QFETCH(int, buffer);
    QFETCH(int, xmitDelay);
    QFETCH(int, picDelay);
    PictureSend send;
    send.picBuffer = buffer;
    send.xmitDelayMs = xmitDelay;
    send.picDelay = picDelay;
    send.seed = quint32(buffer * 1000 + xmitDelay + picDelay);
    const QStringList faults = checkPictureSend(firmwareCod(), send);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestFirmware::eepromLoadThenShow() {
    REQUIRE_TOOLS();
    const QStringList faults = checkEepromLoad(firmwareCod(), EepromSend{});
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestFirmware::tooFastALoadIsAnOverrun() {
    REQUIRE_TOOLS();
    const QStringList faults = checkOverrunReported(firmwareCod());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

namespace {
// The hex of a picture as the program sends it, without the header.
QByteArray pictureStream(quint32 seed) {
    return pictureTransmitText(randomPicture(seed), lcdHeader()).toLatin1();
}
} // namespace

void TestFirmware::badInputGetsAnErrorAndTheNextPictureWorks_data() {
    QTest::addColumn<QByteArray>("bad");
    QTest::addColumn<QString>("words");
    const QByteArray picture = pictureStream(21);
    QTest::newRow("broken header") << QByteArray("*32zz000a]00112233") << QString();
    QTest::newRow("half byte at the end") << picture.left(picture.size() - 1) << QString();
    QByteArray stray = picture;
    stray.insert(200, "g#");
    QTest::newRow("neither hex nor the wait text") << stray << QString();
    QTest::newRow("100 bytes") << pictureStream(22).left(10 + 200 + 200 / 32 + 1) << QString();
    QTest::newRow("cut off mid-chunk") << picture.left(1000) << QString();

    // The program's horizontal stream of the same panel: 1024 bytes and the closing 00.
    const QImage canvas = randomPicture(23);
    const QString horizontal = horizontalOutputText(
        horizontalBytesOf(128, 64,
                          [&canvas](int x, int y) { return qGray(canvas.pixel(x, y)) < 128; }),
        OutputFormat{});
    const QString header = buildCommandHeader(lcdHeader()).text;
    const QByteArray stream = transmitText(header, horizontal, 32, QStringLiteral("]")).toLatin1();
    QTest::newRow("horizontal 1025 bytes") << stream << QStringLiteral("Vertical KS0108");
}

void TestFirmware::badInputGetsAnErrorAndTheNextPictureWorks() {
    REQUIRE_TOOLS();
    QFETCH(QByteArray, bad);
    QFETCH(QString, words);
    const QStringList faults = checkBadThenGood(firmwareCod(), bad, words);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

// Each faulty build (one assembler switch each) must fail the check that is about its fault,
// for the reason that fault gives.
void TestFirmware::faultyFirmwaresAreRejected_data() {
    QTest::addColumn<QString>("mutant");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("fault");
    QTest::newRow("nibbles swapped") << "nibble-swap"
                                     << "picture"
                                     << "LCD differs";
    QTest::newRow("chip selects swapped") << "cs-swap"
                                          << "picture"
                                          << "LCD differs";
    QTest::newRow("E pulse too short") << "short-e"
                                       << "picture"
                                       << "E high 200 ns";
    QTest::newRow("each byte too slow") << "slow-byte"
                                        << "picture"
                                        << "replied OVERRUN";
    QTest::newRow("page write crosses a page") << "page-cross"
                                               << "eeprom"
                                               << "cross a page";
}

void TestFirmware::faultyFirmwaresAreRejected() {
    REQUIRE_TOOLS();
    QFETCH(QString, mutant);
    QFETCH(QString, check);
    QFETCH(QString, fault);
    const QString cod = mutantCod(mutant);
    QVERIFY2(QFileInfo::exists(cod), qPrintable(cod + QStringLiteral(" not built")));
    QStringList faults;
    if (check == QLatin1String("picture")) {
        faults = checkPictureSend(cod, PictureSend{});
    } else {
        // The load alone, at a brisker pace than the start-up one: still a page write per
        // four chunks, each with its write cycle.
        EepromSend send;
        send.thenShow = false;
        send.xmitDelayMs = 20;
        faults = checkEepromLoad(cod, send);
    }
    QVERIFY2(!faults.isEmpty(), "the faulty firmware passed");
    QVERIFY2(faults.join(QLatin1Char('\n')).contains(fault),
             qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestFirmware)
#include "test_firmware.moc"

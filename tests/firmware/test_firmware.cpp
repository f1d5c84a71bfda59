// The reference firmware in gpsim, fed the exact schedule of the program's own send loop on
// simulated time: what reaches the LCD and the EEPROM, the bus timing, the replies. Each check
// returns the faults it found, so that the faulty builds of the firmware are run through the
// same checks and must fail them.
#include "FirmwareChecks.h"

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

QTEST_GUILESS_MAIN(TestFirmware)
#include "test_firmware.moc"

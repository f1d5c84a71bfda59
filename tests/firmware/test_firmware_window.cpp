// End to end: the window sends a picture over a pseudo-terminal as the user does, the times the
// characters arrive become the wire into the firmware in gpsim (a character starts when it
// arrives or when the one before it has left the wire, as a UART takes them), and the firmware
// shows the picture.
#include "FirmwareChecks.h"
#include "support/SendHarness.h"

#include <QFileInfo>
#include <QtTest>

using namespace firmware;

class TestFirmwareWindow : public WindowOnPty {
    Q_OBJECT
private slots:
    void init() { openOnLine(); }
    void cleanup() { closeOnLine(); }
    void windowSendReachesTheFirmware();
};

void TestFirmwareWindow::windowSendReachesTheFirmware() {
    const gpsim::Tools tools = gpsim::findTools();
    if (!tools.found())
        QSKIP(qPrintable(gpsim::missingToolsMessage(tools)));
    QVERIFY2(QFileInfo::exists(firmwareCod()), qPrintable(firmwareCod() + " not built"));

    click(QStringLiteral("optgrf(1)"));  // 128x64
    click(QStringLiteral("Option2(0)")); // Vertical KS0108
    const QImage canvas = randomPicture(31);
    QVERIFY(importOntoCanvas(w, modals, canvas));
    QCOMPARE(line->Settings(), QStringLiteral("19200,n,8,1"));
    click(QStringLiteral("Command9"));
    click(QStringLiteral("Command15"));
    QVERIFY(control(QStringLiteral("Command16"))->isEnabled());
    const QString text = state().xmitText;
    QVERIFY(text.startsWith(QLatin1String("*32000000a]")));

    TimedFarEnd far(*pty, int(text.size()));
    click(QStringLiteral("Command16"));
    const auto arrivals = far.arrivals();
    QCOMPARE(int(arrivals.size()), int(text.size()));

    Schedule wire;
    for (const auto& a : arrivals) {
        const qint64 arrived = a.ns - arrivals.front().ns + BootNs;
        const qint64 free = wire.empty() ? 0 : characterEndNs(wire.back());
        wire.push_back({std::max(arrived, free), a.byte});
    }
    QCOMPARE(QString::fromLatin1(textOf(wire)), text);

    FirmwareSetup setup;
    setup.schedule = wire;
    const FirmwareOutcome out = runFirmware(setup);
    QStringList faults = pictureFaults(out, canvas, nsToCycles(BootNs));
    if (!out.has(QStringLiteral("LCD 1024 bytes")))
        faults << QStringLiteral("no \"LCD 1024 bytes\"");
    if (out.has(QStringLiteral("OVERRUN")) || out.has(QStringLiteral("ERROR")))
        faults << QStringLiteral("an OVERRUN or ERROR reply");
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n')) +
                                          QStringLiteral("\nreplies: ") + repliesOf(out)));
}

QTEST_MAIN(TestFirmwareWindow)
#include "test_firmware_window.moc"

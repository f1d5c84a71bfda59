// From the canvas to the virtual PIC's LCD: the real window, the real QSerialPort path over a
// pseudo-terminal, and a PIC that decodes the stream with its own code.
#include "app/CanvasView.h"
#include "app/Main.h"
#include "app/TextBox.h"
#include "canvas/Bmp.h"
#include "link/SerialPort.h"
#include "support/Modals.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"
#include "support/WindowTest.h"

#include <QtTest>
#include <QtWidgets>

namespace {
// A pattern with detail in every byte lane: a border, a diagonal and a checkered block.
void drawPattern(Canvas& canvas) {
    canvas.clear();
    const int w = canvas.width();
    const int h = canvas.height();
    for (int x = 0; x < w; ++x) {
        canvas.setPixel(x, 0, Canvas::Black);
        canvas.setPixel(x, h - 1, Canvas::Black);
    }
    for (int y = 0; y < h; ++y) {
        canvas.setPixel(0, y, Canvas::Black);
        canvas.setPixel(w - 1, y, Canvas::Black);
        canvas.setPixel((y * 3) % w, y, Canvas::Black);
    }
    for (int y = 5; y < h / 2; ++y)
        for (int x = 9; x < w / 3; ++x)
            if ((x + y) % 3 == 0)
                canvas.setPixel(x, y, Canvas::Black);
}

// Pixels where the LCD picture and the canvas disagree (dark on the LCD = set on the canvas);
// -1 when the sizes differ.
int pixelsOff(const QImage& lcd, const Canvas& canvas) {
    if (lcd.size() != QSize(canvas.width(), canvas.height()))
        return -1;
    return pixelsOff(lcd, [&canvas](int x, int y) { return canvas.isSet(x, y); });
}
} // namespace

class TestEndToEnd : public WindowTest {
    Q_OBJECT
public:
    TestEndToEnd() : WindowTest(true) {}

private slots:
    void init();
    void cleanup();
    void verticalPicturesReachTheLcd_data();
    void verticalPicturesReachTheLcd();
    void loadedBmpReachesTheLcdHorizontally();
    void eepromLoadThenDisplay();
    void bufferMismatchIsAnOverrun();
    void pacingMeetsTheBusyCheck_data();
    void pacingMeetsTheBusyCheck();

private:
    void startSim(int busyMs, const QStringList& more = {});
    void openPort(bool fast = true);
    void convertReformatSend();
    // The pattern on the canvas at the panel's size, imported as a user would.
    void importPattern() {
        Canvas picture(state().panelWidth(), state().panelHeight());
        drawPattern(picture);
        QVERIFY(importOntoCanvas(w, modals, picture.image()));
    }
    QImage lcdPicture() const { return QImage(m_dir->filePath(QStringLiteral("lcd.png"))); }
    TextBox* receiveWindow() const { return control<TextBox>("Text1"); }
    SerialPort* port() const { return control<SerialPort>("MSComm1"); }
    void stopSim();

    QProcess* m_sim = nullptr;
    QTemporaryDir* m_dir = nullptr;
};

void TestEndToEnd::startSim(int busyMs, const QStringList& more) {
    m_sim = new QProcess;
    m_sim->setProcessChannelMode(QProcess::SeparateChannels);
    m_sim->start(QStringLiteral(QUORVEL_PICSIM_EXE),
                 QStringList{QStringLiteral("--no-window"), QStringLiteral("--quiet"),
                             QStringLiteral("--idle-ms"), QStringLiteral("150"),
                             QStringLiteral("--busy-ms"), QString::number(busyMs),
                             QStringLiteral("--png"), m_dir->filePath(QStringLiteral("lcd.png"))} +
                     more);
    QVERIFY(m_sim->waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(m_sim->canReadLine(), 5000);
    const QByteArray device = m_sim->readLine().trimmed();
    QVERIFY(device.startsWith("/dev/"));
    qputenv("QUORVEL_COM1", device);
}

void TestEndToEnd::init() {
    m_dir = new QTemporaryDir;
    // The PIC needs 2 ms before each chunk, as under `make run`: every send here passes that.
    startSim(2);
    openWindow();
}

void TestEndToEnd::stopSim() {
    m_sim->terminate();
    m_sim->waitForFinished(5000);
    delete m_sim;
    m_sim = nullptr;
}

void TestEndToEnd::cleanup() {
    closeWindow();
    stopSim();
    delete m_dir;
    m_dir = nullptr;
}

// Fast: the pictures go at 115200 baud (read by the PIC from the line), to keep the tests short.
void TestEndToEnd::openPort(bool fast) {
    click("cmdcomm");
    QVERIFY2(port()->PortOpen(), qPrintable(modals->messages.join(QLatin1Char('\n'))));
    // Faster than any entry of the port settings list: set on the port itself.
    if (fast)
        QVERIFY(port()->setSettings(QStringLiteral("115200,n,8,1")));
    // The PIC greets when the line opens; the receive window shows it.
    QTRY_VERIFY_WITH_TIMEOUT(receiveWindow()->text().contains(QStringLiteral("READY\r\n")), 5000);
}

void TestEndToEnd::convertReformatSend() {
    click("Command9");
    QVERIFY(control("Command15")->isEnabled());
    click("Command15");
    QVERIFY(control("Command16")->isEnabled());
    click("Command16");
    QCOMPARE(control<QLabel>("lblrem")->text(), QStringLiteral("0"));
    QCOMPARE(control<TextBox>("Text3")->text(), state().xmitText);
    QVERIFY2(modals->messages.isEmpty(), qPrintable(modals->messages.join(QLatin1Char('\n'))));
}

void TestEndToEnd::verticalPicturesReachTheLcd_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("status");
    QTest::newRow("128x64") << 1 << "LCD 128x64 V 1024 bytes\r\n";
    QTest::newRow("128x32") << 2 << "LCD 128x32 V 512 bytes\r\n";
    QTest::newRow("240x128") << 4 << "LCD 240x128 V 3840 bytes\r\n";
    QTest::newRow("320x200") << 7 << "LCD 320x200 V 8000 bytes\r\n";
}

void TestEndToEnd::verticalPicturesReachTheLcd() {
    QFETCH(int, size);
    QFETCH(QString, status);
    if (size > 2) {
        // Panels wider than 128 pixels with a controller that takes vertical bytes.
        closeWindow();
        stopSim();
        startSim(2, {QStringLiteral("--controller"), QStringLiteral("ks0108")});
        openWindow();
    }
    click(QStringLiteral("optgrf(%1)").arg(size));
    click("Option2(0)");
    importPattern();
    // One dot drawn with the pen, in the middle of the panel.
    auto* box = control<CanvasView>("Picture1");
    const QPoint middle(box->width() / 2, box->height() / 2);
    QTest::mousePress(box, Qt::LeftButton, {}, middle);
    QTest::mouseRelease(box, Qt::LeftButton, {}, middle);
    QVERIFY(state().canvas.isSet(state().panelWidth() / 2, state().panelHeight() / 2));
    openPort();
    convertReformatSend();
    QTRY_VERIFY_WITH_TIMEOUT(receiveWindow()->text().contains(status), 5000);
    QCOMPARE(pixelsOff(lcdPicture(), state().canvas), 0);
}

void TestEndToEnd::loadedBmpReachesTheLcdHorizontally() {
    // A 128x64 panel with a controller that takes horizontal bytes.
    closeWindow();
    stopSim();
    startSim(2, {QStringLiteral("--controller"), QStringLiteral("t6963c")});
    openWindow();
    click("optgrf(1)"); // 128x64
    Canvas picture(128, 64);
    drawPattern(picture);
    const QString path = m_dir->filePath(QStringLiteral("picture.bmp"));
    QVERIFY(writeFile(path, writeMonochromeBmp(picture.image())));

    modals->fileAnswers << path;
    click("Command10"); // Load, with "Inverted" ticked
    QVERIFY2(modals->messages.isEmpty(), qPrintable(modals->messages.join(QLatin1Char('\n'))));
    QVERIFY(option("Option2", 1)->isChecked());
    openPort();
    convertReformatSend();
    QTRY_VERIFY_WITH_TIMEOUT(
        receiveWindow()->text().contains(QStringLiteral("LCD 128x64 H 1025 bytes")), 5000);
    QCOMPARE(pixelsOff(lcdPicture(), picture), 0);
}

void TestEndToEnd::eepromLoadThenDisplay() {
    click("optgrf(1)"); // 128x64, what the PIC shows by default
    click("Option2(0)");
    importPattern();
    click("Check1");
    QCOMPARE(control<QPushButton>("Command16")->text(), QStringLiteral("Load Eeprom"));
    // The PIC here needs no EEPROM write time.
    typeInto(control<QLineEdit>("xmitdelay"), QStringLiteral("5"));
    openPort();
    convertReformatSend();
    QVERIFY(state().xmitText.startsWith(QStringLiteral("*12000000a]")));
    QTRY_VERIFY_WITH_TIMEOUT(
        receiveWindow()->text().contains(QStringLiteral("EEPROM 1024 bytes at 0000\r\n")), 5000);

    click("cmdlcd"); // "&Disp Eprom"
    QTRY_VERIFY_WITH_TIMEOUT(
        receiveWindow()->text().contains(QStringLiteral("LCD 128x64 V from EEPROM\r\n")), 5000);
    QCOMPARE(pixelsOff(lcdPicture(), state().canvas), 0);
}

void TestEndToEnd::bufferMismatchIsAnOverrun() {
    click("optgrf(1)");
    click("Option2(0)");
    importPattern();
    openPort();
    click("Command9");                          // the header tells the PIC: 32 a chunk
    clickRow(control<QListWidget>("List2"), 5); // chunks of 64 from here on
    QCOMPARE(state().pic.buffer, 64);
    click("Command15");
    // The window will not send a stream whose chunks disagree with its header...
    QVERIFY(!control("Command16")->isEnabled());
    // ...but the user can copy the output window and paste it to the PIC, which catches it.
    click("Command11");                // Copy
    click("Command4");                 // Paste and Send, confirmed
    QCOMPARE(modals->texts.size(), 2); // "copied", then "Are you sure?"
    QTRY_VERIFY_WITH_TIMEOUT(
        receiveWindow()->text().contains(QStringLiteral("OVERRUN chunk 1: 64 > 32")), 5000);
}

void TestEndToEnd::pacingMeetsTheBusyCheck_data() {
    QTest::addColumn<QString>("delay");
    QTest::addColumn<int>("busyMs");
    QTest::addColumn<bool>("busy");
    QTest::newRow("default Xmit Delay, PIC needs 2 ms") << "5" << 2 << false;
    QTest::newRow("Xmit Delay 0, PIC needs 10 ms") << "0" << 10 << true;
}

// The default 128x64 send at the default 19200 baud: the PIC sees the silence the host leaves
// before each wait character on its own model of the wire.
void TestEndToEnd::pacingMeetsTheBusyCheck() {
    QFETCH(QString, delay);
    QFETCH(int, busyMs);
    QFETCH(bool, busy);
    if (busyMs != 2) {
        closeWindow();
        stopSim();
        startSim(busyMs);
        openWindow();
    }
    click("optgrf(1)");
    click("Option2(0)");
    importPattern();
    openPort(false);
    // The PIC notes a chunk late when the pseudo-terminal hands it over late, which a loaded
    // machine does now and then (by a clock tick, about 3 ms): so a send that must pass gets
    // five tries. A host that does not wait for the wire fails every one of them.
    for (int attempt = 1; attempt <= (busy ? 1 : 5); ++attempt) {
        receiveWindow()->setText(QString());
        typeInto(control<QLineEdit>("xmitdelay"), delay);
        convertReformatSend();
        QTRY_VERIFY_WITH_TIMEOUT(
            receiveWindow()->text().contains(QStringLiteral("LCD 128x64 V 1024 bytes")), 5000);
        const QString answers = receiveWindow()->text();
        QVERIFY2(answers.contains(QStringLiteral("LINE 19200 8N1 2122 chars ")),
                 qPrintable(answers));
        const bool reported = answers.contains(QStringLiteral("BUSY"));
        if (busy) {
            QVERIFY2(reported && answers.contains(QStringLiteral(
                                     " ms before the wait character, the PIC needs 10 ms")),
                     qPrintable(answers));
            return;
        }
        if (!reported)
            return;
        qInfo("attempt %d: %s", attempt, qPrintable(answers));
    }
    QFAIL("every default send was reported BUSY");
}

QTEST_MAIN(TestEndToEnd)
#include "test_e2e.moc"

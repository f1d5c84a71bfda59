// The PIC parameters: Settings Now, the EEPROM mode switch and the command header as Convert
// gets it.
#include "app/Main.h"
#include "support/TestGroup.h"
#include "support/WindowTest.h"

#include <QtTest>
#include <QtWidgets>

class TestPortPic : public WindowTest {
    Q_OBJECT
private slots:
    void settingsNow();
    void settingsNowRereadsTheBoxes();
    void modeSwitch_data();
    void modeSwitch();
    void modeSwitchResetsWhatTheUserTyped();
    void headerAsConvertGetsIt_data();
    void headerAsConvertGetsIt();
    void unusableStartAddressStopsTheHeader_data();
    void unusableStartAddressStopsTheHeader();

private:
    QLineEdit* box(const char* name) const { return control<QLineEdit>(QLatin1String(name)); }
    QListWidget* list(const char* name) const { return control<QListWidget>(QLatin1String(name)); }
    QStringList convert() const {
        return Modals::boxesDuring([this] { click(QStringLiteral("Command9")); });
    }
};

void TestPortPic::settingsNow() {
    QCOMPARE(Modals::boxesDuring([this] { click(QStringLiteral("cmdApply")); }),
             QStringList{quorvelBox(QStringLiteral(
                 "Settings Now\n\rBuffer:32\n\rDelay:10\n\rWait Char(s): ]\n\rXmit Delay:5"))});
}

void TestPortPic::settingsNowRereadsTheBoxes() {
    clickRow(list("List2"), 6);
    clickRow(list("List3"), 10);
    typeInto(box("Text4"), QStringLiteral("]]"));
    QCOMPARE(state().pic.waitChars, QStringLiteral("]]"));
    typeInto(box("xmitdelay"), QStringLiteral("7.5"));
    QCOMPARE(
        Modals::boxesDuring([this] { click(QStringLiteral("cmdApply")); }),
        QStringList{quorvelBox(QStringLiteral(
            "Settings Now\n\rBuffer:128\n\rDelay:100\n\rWait Char(s): ]]\n\rXmit Delay:7.5"))});
    QCOMPARE(state().pic.buffer, 128);
    QCOMPARE(state().pic.delayMs, 100);
}

void TestPortPic::modeSwitch_data() {
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("command16");
    QTest::addColumn<bool>("eepromEnabled");
    QTest::addColumn<QColor>("eepromBack");
    QTest::addColumn<QString>("frame7");
    QTest::addColumn<QString>("eepromText");
    QTest::addColumn<bool>("eepromMode");
    QTest::addColumn<QString>("xmitdelay");
    QTest::newRow("ticked") << true << "Load Eeprom" << true
                            << QApplication::palette("QLineEdit").color(QPalette::Base)
                            << "Directly load  I2C Eeprom"
                            << "4096" << true << "100";
    QTest::newRow("cleared") << false << "Send to LCD" << false << QColor(128, 128, 128)
                             << "Directly load LCD"
                             << "00000" << false << "5";
}

void TestPortPic::modeSwitch() {
    QFETCH(bool, ticked);
    QFETCH(QString, command16);
    QFETCH(bool, eepromEnabled);
    QFETCH(QColor, eepromBack);
    QFETCH(QString, frame7);
    QFETCH(QString, eepromText);
    QFETCH(bool, eepromMode);
    QFETCH(QString, xmitdelay);
    auto* send = control<QPushButton>(QStringLiteral("Command16"));
    send->setEnabled(true); // the switch leaves what Send can do alone
    auto* check = control<QCheckBox>(QStringLiteral("Check1"));
    click(QStringLiteral("Check1")); // ticked
    typeInto(box("eeprom"), QStringLiteral("4096"));
    if (!ticked)
        click(QStringLiteral("Check1"));
    QCOMPARE(check->isChecked(), ticked);
    QCOMPARE(send->text(), command16);
    QVERIFY(send->isEnabled());
    QCOMPARE(box("eeprom")->isEnabled(), eepromEnabled);
    QCOMPARE(Main::backColour(box("eeprom")), eepromBack);
    QCOMPARE(control<QGroupBox>(QStringLiteral("Frame7"))->title(), frame7);
    QCOMPARE(box("eeprom")->text(), eepromText);
    QCOMPARE(state().pic.eepromMode, eepromMode);
    QCOMPARE(box("xmitdelay")->text(), xmitdelay);
}

void TestPortPic::modeSwitchResetsWhatTheUserTyped() {
    typeInto(box("xmitdelay"), QStringLiteral("42"));
    click(QStringLiteral("Check1"));
    QCOMPARE(box("xmitdelay")->text(), QStringLiteral("100"));
    typeInto(box("xmitdelay"), QStringLiteral("42"));
    click(QStringLiteral("Check1"));
    QCOMPARE(box("xmitdelay")->text(), QStringLiteral("5"));
}

void TestPortPic::headerAsConvertGetsIt_data() {
    QTest::addColumn<bool>("eeprom");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("bufferRow");
    QTest::addColumn<int>("delayRow");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("horizontal"); // the Byte Matrix option clicked
    QTest::addColumn<QString>("header");
    QTest::newRow("LCD 128x64, 32, 10") << false << 1 << 4 << 1 << "" << true << "*32000000A";
    QTest::newRow("LCD 240x64, 2, 20, vertical")
        << false << 0 << 0 << 3 << "" << false << "*0020000014";
    QTest::newRow("EEPROM 256, 64, 5") << true << 0 << 5 << 0 << "256" << true << "*140010005";
    QTest::newRow("EEPROM keeps the Byte Matrix choice")
        << true << 2 << 4 << 1 << "65535" << false << "*120FFFF0A";
    QTest::newRow("EEPROM 13.5") << true << 7 << 4 << 1 << "13.5" << true << "*120000E0A";
}

void TestPortPic::headerAsConvertGetsIt() {
    QFETCH(bool, eeprom);
    QFETCH(int, size);
    QFETCH(int, bufferRow);
    QFETCH(int, delayRow);
    QFETCH(QString, address);
    QFETCH(bool, horizontal);
    QFETCH(QString, header);
    if (eeprom) {
        click(QStringLiteral("Check1"));
        typeInto(box("eeprom"), address);
    }
    click(QStringLiteral("optgrf(%1)").arg(size));
    clickRow(list("List2"), bufferRow);
    clickRow(list("List3"), delayRow);
    click(QStringLiteral("Option2(%1)").arg(horizontal ? 1 : 0));
    const QStringList boxes = convert();
    QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QLatin1Char('\n'))));
    QCOMPARE(state().pic.header, header);
    // The header never decides the byte order: Convert keeps the option's choice.
    QCOMPARE(state().horizontal, horizontal);

    // Only the next build sees a change.
    clickRow(list("List2"), 0);
    QCOMPARE(state().pic.header, header);
}

void TestPortPic::unusableStartAddressStopsTheHeader_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("failure");
    QTest::newRow("65536") << "65536"
                           << "Start Addr must be a whole number from 0 to 65535";
    QTest::newRow("99999") << "99999"
                           << "Start Addr must be a whole number from 0 to 65535";
    QTest::newRow("-1") << "-1"
                        << "Start Addr must be a whole number from 0 to 65535";
    QTest::newRow("empty") << ""
                           << "Start Addr";
    QTest::newRow("not a number") << "12ab"
                                  << "Start Addr";
}

void TestPortPic::unusableStartAddressStopsTheHeader() {
    QFETCH(QString, address);
    QFETCH(QString, failure);
    click(QStringLiteral("Check1"));
    typeInto(box("eeprom"), address);
    const QStringList boxes = convert();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].startsWith(quorvelBox(QStringLiteral("Error: ") + failure)),
             qPrintable(boxes[0]));
    QCOMPARE(state().pic.header, QStringLiteral("120")); // mode digit and buffer field
    QCOMPARE(box("eeprom")->text(), address);
    // Nothing was converted: there is nothing to reformat.
    QVERIFY(!control(QStringLiteral("Command15"))->isEnabled());
}

QUORVEL_TEST_MAIN(TestPortPic)
#include "test_port_pic.moc"

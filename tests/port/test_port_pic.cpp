// The PIC parameters: Settings Now, the EEPROM mode switch and the command header as Convert
// gets it.
#include "app/Main.h"
#include "support/Modals.h"

#include <QtTest>
#include <QtWidgets>

class TestPortPic : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

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
    Main* w = nullptr;
};

void TestPortPic::init() {
    w = new Main;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestPortPic::cleanup() {
    delete w;
    w = nullptr;
}

void TestPortPic::settingsNow() {
    QCOMPARE(Modals::boxesDuring([this] { w->cmdApply->click(); }),
             QStringList{quorvelBox(QStringLiteral(
                 "Settings Now\n\rBuffer:32\n\rDelay:10\n\rWait Char(s): ]\n\rXmit Delay:5"))});
}

void TestPortPic::settingsNowRereadsTheBoxes() {
    w->List2->setCurrentRow(6);
    w->List3->setCurrentRow(10);
    w->Text4->setText(QStringLiteral("]]"));
    QCOMPARE(w->waitChars, QStringLiteral("]]"));
    w->xmitdelay->setText(QStringLiteral("7.5"));
    w->picBuffer = 1; // as if something had changed it behind the list's back
    QCOMPARE(
        Modals::boxesDuring([this] { w->cmdApply->click(); }),
        QStringList{quorvelBox(QStringLiteral(
            "Settings Now\n\rBuffer:128\n\rDelay:100\n\rWait Char(s): ]]\n\rXmit Delay:7.5"))});
    QCOMPARE(w->picBuffer, 128);
    QCOMPARE(w->picDelay, 100);
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
    w->Command16->setEnabled(true); // the switch leaves what Send can do alone
    w->Check1->click();             // ticked
    w->eeprom->setText(QStringLiteral("4096"));
    if (!ticked)
        w->Check1->click();
    QCOMPARE(w->Check1->isChecked(), ticked);
    QCOMPARE(w->Command16->text(), command16);
    QVERIFY(w->Command16->isEnabled());
    QCOMPARE(w->eeprom->isEnabled(), eepromEnabled);
    QCOMPARE(Main::backColour(w->eeprom), eepromBack);
    QCOMPARE(w->Frame7->title(), frame7);
    QCOMPARE(w->eeprom->text(), eepromText);
    QCOMPARE(w->eepromMode, eepromMode);
    QCOMPARE(w->xmitdelay->text(), xmitdelay);
}

void TestPortPic::modeSwitchResetsWhatTheUserTyped() {
    w->xmitdelay->setText(QStringLiteral("42"));
    w->Check1->click();
    QCOMPARE(w->xmitdelay->text(), QStringLiteral("100"));
    w->xmitdelay->setText(QStringLiteral("42"));
    w->Check1->click();
    QCOMPARE(w->xmitdelay->text(), QStringLiteral("5"));
}

void TestPortPic::headerAsConvertGetsIt_data() {
    QTest::addColumn<bool>("eeprom");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("bufferRow");
    QTest::addColumn<int>("delayRow");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("horizontalShown");
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("matrixHorizontal");
    QTest::newRow("LCD 128x64, 32, 10") << false << 1 << 4 << 1 << "" << true << "*32000000A" << 1;
    QTest::newRow("LCD 240x64, 2, 20, vertical")
        << false << 0 << 0 << 3 << "" << false << "*0020000014" << 0;
    QTest::newRow("EEPROM 256, 64, 5") << true << 0 << 5 << 0 << "256" << true << "*140010005" << 1;
    QTest::newRow("EEPROM keeps the Byte Matrix choice")
        << true << 2 << 4 << 1 << "65535" << false << "*120FFFF0A" << 1;
    QTest::newRow("EEPROM 13.5") << true << 7 << 4 << 1 << "13.5" << true << "*120000E0A" << 1;
}

void TestPortPic::headerAsConvertGetsIt() {
    QFETCH(bool, eeprom);
    QFETCH(int, size);
    QFETCH(int, bufferRow);
    QFETCH(int, delayRow);
    QFETCH(QString, address);
    QFETCH(bool, horizontalShown);
    QFETCH(QString, header);
    QFETCH(int, matrixHorizontal);
    if (eeprom) {
        w->Check1->click();
        w->eeprom->setText(address);
    }
    w->lcdSizeIndex = size;
    w->List2->setCurrentRow(bufferRow);
    w->List3->setCurrentRow(delayRow);
    w->LCD->setVisible(horizontalShown);
    w->matrixHorizontal = 1;
    w->picHeader.clear();
    QString failure;
    QVERIFY2(w->getparam(&failure), qPrintable(failure));
    QCOMPARE(w->picHeader, header);
    QCOMPARE(w->matrixHorizontal, matrixHorizontal);

    // Only the next build sees a change.
    w->List2->setCurrentRow(0);
    QCOMPARE(w->picHeader, header);
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
    w->Check1->click();
    w->eeprom->setText(address);
    w->picHeader.clear();
    QString description;
    QVERIFY(!w->getparam(&description));
    QVERIFY2(description.startsWith(failure), qPrintable(description));
    QCOMPARE(w->picHeader, QStringLiteral("120")); // mode digit and buffer field
    QCOMPARE(w->eeprom->text(), address);
    QVERIFY(!w->getparam(nullptr)); // a caller may not want the description
}

QTEST_MAIN(TestPortPic)
#include "test_port_pic.moc"

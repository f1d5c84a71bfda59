// The command header, the line settings text and the bytes a text becomes on the line.
#include "link/CommandHeader.h"
#include "link/OpenFailure.h"
#include "link/QtSerialPort.h"

#include <QtTest>

class TestPortTexts : public QObject {
    Q_OBJECT
private slots:
    void header_data();
    void header();
    void settingsText_data();
    void settingsText();
    void openFailureReason_data();
    void openFailureReason();
    void latin1_data();
    void latin1();
};

void TestPortTexts::header_data() {
    QTest::addColumn<bool>("eeprom");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("buffer");
    QTest::addColumn<int>("delay");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("header");  // or, on failure, what was built before it
    QTest::addColumn<QString>("failure"); // part of the description; empty when it succeeds
    auto row = [](const char* name, bool eeprom, int size, int buffer, int delay,
                  const char* address, const QString& header, const char* failure = "") {
        QTest::newRow(name) << eeprom << size << buffer << delay << QString::fromLatin1(address)
                            << header << QString::fromLatin1(failure);
    };
    row("LCD 128x64, 32, 10", false, 1, 32, 10, "00000", "*32000000A");
    row("EEPROM 256, 64, 5", true, 0, 64, 5, "256", "*140010005");
    row("LCD 240x64, 2, 20", false, 0, 2, 20, "00000", "*0020000014");
    row("EEPROM 65535", true, 0, 32, 10, "65535", "*120FFFF0A");
    row("EEPROM 12.5 rounds to 12", true, 0, 32, 10, "12.5", "*120000C0A");
    row("EEPROM 13.5 rounds to 14", true, 0, 32, 10, "13.5", "*120000E0A");
    row("EEPROM 65535.4 rounds down", true, 0, 32, 10, "65535.4", "*120FFFF0A");
    row("EEPROM -0.4 rounds to 0", true, 0, 32, 10, "-0.4", "*12000000A");
    row("EEPROM ignores the size", true, 2, 128, 100, "1", "*1800001064");
    row("buffer 128, delay 50", false, 0, 128, 50, "00000", "*0800000032");
    // Mode digit of each LCD size, in window order.
    const char* digits = "03403400";
    for (int size = 0; size < 8; ++size)
        QTest::addRow("LCD size %d", size)
            << false << size << 16 << 15 << QStringLiteral("00000")
            << QStringLiteral("*%1").arg(QLatin1Char(digits[size])) + QStringLiteral("1000000F")
            << QString();

    // An address the PIC cannot hold stops the header after the buffer field.
    row("65536", true, 0, 32, 10, "65536", "120", "from 0 to 65535");
    row("65535.5 rounds to 65536", true, 0, 32, 10, "65535.5", "120", "from 0 to 65535");
    row("99999", true, 0, 32, 10, "99999", "120", "from 0 to 65535");
    row("-1", true, 0, 32, 10, "-1", "120", "from 0 to 65535");
    row("empty", true, 0, 32, 10, "", "120", "Start Addr");
    row("blank", true, 0, 32, 10, "   ", "120", "Start Addr");
    row("letters", true, 0, 64, 10, "1a", "140", "Start Addr");
    row("two numbers", true, 0, 64, 10, "1 2", "140", "Start Addr");
    row("LCD mode reads the box too", false, 4, 8, 10, "x", "308", "Start Addr");
    // A field wider than the PIC reads would shift every field after it.
    row("buffer 256", false, 0, 256, 10, "0", "0", "PIC Buffer");
    row("buffer 0", false, 0, 0, 10, "0", "0", "PIC Buffer");
    row("delay 256", false, 0, 32, 256, "0", "0200000", "PIC Delay");
    row("size 8", false, 8, 32, 10, "0", "", "LCD size");
}

void TestPortTexts::header() {
    QFETCH(bool, eeprom);
    QFETCH(int, size);
    QFETCH(int, buffer);
    QFETCH(int, delay);
    QFETCH(QString, address);
    QFETCH(QString, header);
    QFETCH(QString, failure);
    HeaderParameters p;
    p.eepromMode = eeprom;
    p.lcdSizeIndex = size;
    p.picBuffer = buffer;
    p.picDelay = delay;
    p.startAddress = address;
    const CommandHeader built = buildCommandHeader(p);
    QCOMPARE(built.text, header);
    QCOMPARE(built.ok(), failure.isEmpty());
    QVERIFY2(built.failure.contains(failure), qPrintable(built.failure));
}

void TestPortTexts::settingsText_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("reads"); // empty: refused
    QTest::addColumn<QString>("failure");
    auto row = [](const char* name, const char* typed, const char* reads, const char* failure) {
        QTest::newRow(name) << QString::fromLatin1(typed) << QString::fromLatin1(reads)
                            << QString::fromLatin1(failure);
    };
    for (const char* fixed :
         {"19200,n,8,1", "9600,n,8,1", "4800,n,8,1", "2400,n,8,1", "1200,n,8,1"})
        row(fixed, fixed, fixed, "");
    row("blanks and capitals", " 9600 , E , 7 , 2 ", "9600,e,7,2", "");
    row("odd, 5 bits, 1.5 stops", "300,o,5,1.5", "300,o,5,1.5", "");
    row("mark", "115200,M,6,1", "115200,m,6,1", "");
    row("space", "57600,s,8,2", "57600,s,8,2", "");
    row("empty", "", "", "such as 19200,n,8,1");
    row("baud only", "19200", "", "such as 19200,n,8,1");
    row("five fields", "19200,n,8,1,1", "", "such as 19200,n,8,1");
    row("baud not a number", "fast,n,8,1", "", "baud rate \"fast\"");
    row("baud zero", "0,n,8,1", "", "baud rate \"0\"");
    row("baud negative", "-9600,n,8,1", "", "baud rate \"-9600\"");
    row("baud fraction", "9600.5,n,8,1", "", "baud rate");
    row("baud too large", "99999999999,n,8,1", "", "baud rate");
    row("parity x", "19200,x,8,1", "", "parity \"x\"");
    row("parity missing", "19200,,8,1", "", "parity");
    row("data bits 9", "19200,n,9,1", "", "data bits \"9\"");
    row("data bits 4", "19200,n,4,1", "", "data bits");
    row("stop bits 3", "19200,n,8,3", "", "stop bits \"3\"");
    row("stop bits 1.0", "19200,n,8,1.0", "", "stop bits");
}

void TestPortTexts::settingsText() {
    QFETCH(QString, typed);
    QFETCH(QString, reads);
    QFETCH(QString, failure);
    QtSerialPort port; // closed: the text is checked now and kept for the next open
    QVERIFY(port.setSettings(QStringLiteral("2400,n,8,1")));
    QCOMPARE(port.setSettings(typed), !reads.isEmpty());
    if (reads.isEmpty()) {
        QVERIFY2(port.errorString().contains(failure), qPrintable(port.errorString()));
        QCOMPARE(port.Settings(), QStringLiteral("2400,n,8,1"));
    } else {
        QCOMPARE(port.Settings(), reads);
    }
}

void TestPortTexts::openFailureReason_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("portError");
    QTest::addColumn<bool>("denied");
    QTest::addColumn<QString>("line");
    QTest::newRow("no device") << 2 << ""
                               << "There is no serial port 2 on this machine" << false
                               << "Com2 has no device: this machine has no serial port 2 (set "
                                  "QUORVEL_COM2 to the device to use)";
    QTest::newRow("device named once")
        << 1 << "/dev/ttyS0"
        << "/dev/ttyS0: Device is busy" << false << "/dev/ttyS0: Device is busy";
    QTest::newRow("settings refused") << 1 << "/dev/ttyUSB0"
                                      << "The port refuses 1200 baud: x" << false
                                      << "/dev/ttyUSB0: The port refuses 1200 baud: x";
    QTest::newRow("no reason given") << 1 << "/dev/ttyS0"
                                     << "" << false << "/dev/ttyS0: the system gave no reason";
    QTest::newRow("permission")
        << 1 << "/dev/ttyUSB0"
        << "/dev/ttyUSB0: Permission denied" << true
        << "/dev/ttyUSB0: Permission denied - this user may not use it: add the user to the "
           "dialout group (sudo usermod -aG dialout $USER) and log in again";
}

void TestPortTexts::openFailureReason() {
    QFETCH(int, port);
    QFETCH(QString, device);
    QFETCH(QString, portError);
    QFETCH(bool, denied);
    QFETCH(QString, line);
    QCOMPARE(::openFailureReason(port, device, portError, denied), line);
}

void TestPortTexts::latin1_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << "*22000000a" << QByteArray("*22000000a");
    QTest::newRow("control characters") << QString("\r\n\t") << QByteArray("\r\n\t");
    QTest::newRow("latin-1 letters")
        << QString::fromUtf8("\xc3\xa9\xc3\xbf") << QByteArray("\xe9\xff");
    QTest::newRow("euro sign") << QString::fromUtf8("a\xe2\x82\xac"
                                                    "b")
                               << QByteArray("a?b");
    QTest::newRow("outside the BMP is one character")
        << QString::fromUtf8("x\xf0\x9f\x98\x80y") << QByteArray("x?y");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?");
    QTest::newRow("nul") << QString(QChar(0)) << QByteArray(1, '\0');
}

void TestPortTexts::latin1() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(latin1Bytes(text), bytes);
}

QTEST_GUILESS_MAIN(TestPortTexts)
#include "test_port_texts.moc"

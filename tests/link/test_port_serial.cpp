// The serial port on a pseudo-terminal in place of the cable.
#include "link/QtSerialPort.h"
#include "support/PtyPair.h"

#include <QThread>
#include <QtTest>

namespace {
// Input() without the event loop, asked again until `count` characters are in.
QString inputWithoutEventLoop(SerialPort& port, int count) {
    QString received;
    for (int attempt = 0; attempt < 200 && received.size() < count; ++attempt) {
        received += port.Input();
        if (received.size() < count)
            QThread::msleep(5);
    }
    return received;
}
} // namespace

class TestPortSerial : public QObject {
    Q_OBJECT
private slots:
    void settingsReachTheLine_data();
    void settingsReachTheLine();
    void settingsChangeTheOpenLine();
    void refusedSettingsKeepThoseInForce();
    void handshakeReachesTheLine_data();
    void handshakeReachesTheLine();
    void handshakeAndBufferRefuseNonsense();

    void bytesCrossBothWays();
    void inputTakesBytesWithoutTheEventLoop();
    void outputWaitsForRoomWhenTheDriverIsFull();
    void outputFailsWhenTheFarEndIsGone();
    void outputFailsWhenClosed();
    void openFailsForAMissingDevice();
    void openFailsForAPortWithoutDevice();
};

void TestPortSerial::refusedSettingsKeepThoseInForce() {
    // A pseudo-terminal always runs 8 data bits without parity, and QSerialPort reports the
    // change it cannot make. The baud rate, applied before the data bits, must go back too.
    PtyPair pty;
    QVERIFY(pty.asCom1());
    QtSerialPort port;
    QVERIFY(port.setSettings(QStringLiteral("4800,n,8,1")));
    QVERIFY2(port.setPortOpen(true), qPrintable(port.errorString()));
    if (port.setSettings(QStringLiteral("9600,n,7,1")))
        QSKIP("this pseudo-terminal takes 7 data bits");
    QVERIFY(port.errorString().contains(QStringLiteral("9600,n,7,1")));
    QCOMPARE(port.Settings(), QStringLiteral("4800,n,8,1"));
    QCOMPARE(pty.speed(), speed_t(B4800));
    QVERIFY(port.PortOpen());
    port.setPortOpen(false);
}

void TestPortSerial::settingsReachTheLine_data() {
    // Parity and data bits cannot be seen here: a pseudo-terminal keeps 8 bits, no parity.
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("twoStops");
    QTest::newRow("19200,n,8,1") << "19200,n,8,1" << int(B19200) << false;
    QTest::newRow("1200,n,8,1") << "1200,n,8,1" << int(B1200) << false;
    QTest::newRow("9600,n,8,2") << "9600,n,8,2" << int(B9600) << true;
}

void TestPortSerial::settingsReachTheLine() {
    QFETCH(QString, settings);
    QFETCH(int, speed);
    QFETCH(bool, twoStops);
    PtyPair pty;
    QVERIFY(pty.asCom1());
    QtSerialPort port;
    QVERIFY(port.setSettings(settings)); // written while closed, used at the open
    QVERIFY2(port.setPortOpen(true), qPrintable(port.errorString()));
    const std::optional<termios> line = pty.line();
    QVERIFY(line);
    QCOMPARE(int(cfgetospeed(&*line)), speed);
    QCOMPARE(bool(line->c_cflag & CSTOPB), twoStops);
    QCOMPARE(port.Settings(), settings);
    port.setPortOpen(false);
}

void TestPortSerial::settingsChangeTheOpenLine() {
    PtyPair pty;
    QVERIFY(pty.asCom1());
    QtSerialPort port;
    QVERIFY(port.setSettings(QStringLiteral("19200,n,8,1")));
    QVERIFY(port.setPortOpen(true));
    QVERIFY(port.setSettings(QStringLiteral("2400,n,8,1")));
    QCOMPARE(pty.speed(), speed_t(B2400));
    QVERIFY(!port.setSettings(QStringLiteral("2400;n;8;1")));
    QCOMPARE(pty.speed(), speed_t(B2400));
    QCOMPARE(port.Settings(), QStringLiteral("2400,n,8,1"));
    port.setPortOpen(false);
}

void TestPortSerial::handshakeReachesTheLine_data() {
    QTest::addColumn<int>("handshake");
    QTest::addColumn<bool>("rtsCts");
    QTest::addColumn<bool>("xonXoff");
    QTest::newRow("0 none") << 0 << false << false;
    QTest::newRow("1 XON/XOFF") << 1 << false << true;
    QTest::newRow("2 RTS/CTS") << 2 << true << false;
    QTest::newRow("3 becomes RTS/CTS") << 3 << true << false;
}

void TestPortSerial::handshakeReachesTheLine() {
    QFETCH(int, handshake);
    QFETCH(bool, rtsCts);
    QFETCH(bool, xonXoff);
    PtyPair pty;
    QVERIFY(pty.asCom1());
    QtSerialPort port;
    QVERIFY(port.setHandshaking(handshake));
    QVERIFY2(port.setPortOpen(true), qPrintable(port.errorString()));
    const std::optional<termios> line = pty.line();
    QVERIFY(line);
    QCOMPARE(bool(line->c_cflag & CRTSCTS), rtsCts);
    QCOMPARE(bool(line->c_iflag & IXON), xonXoff);
    port.setPortOpen(false);
}

void TestPortSerial::handshakeAndBufferRefuseNonsense() {
    QtSerialPort port;
    QVERIFY(!port.setHandshaking(-1));
    QVERIFY(port.errorString().contains(QStringLiteral("-1")));
    QVERIFY(!port.setHandshaking(4));
    QCOMPARE(port.Handshaking(), 0);
    QVERIFY(!port.setOutBufferSize(0));
    QVERIFY(!port.setOutBufferSize(-512));
    QVERIFY(port.errorString().contains(QStringLiteral("-512")));
    QCOMPARE(port.OutBufferSize(), 512);
}

void TestPortSerial::bytesCrossBothWays() {
    PtyPair pty;
    QVERIFY(pty.asCom1());
    QtSerialPort port;
    QVERIFY(port.setPortOpen(true));
    QVERIFY(port.PortOpen());
    QVERIFY(port.Output(QString::fromUtf8("*1200000A]ff\xc3\xa9\xe2\x82\xac")));
    QCOMPARE(pty.read(15), QByteArray("*1200000A]ff\xe9?"));
    QVERIFY(pty.write(QByteArray("ok\r\n\xb0", 5)));
    QCOMPARE(inputWithoutEventLoop(port, 5), QString::fromLatin1("ok\r\n\xb0", 5));
    QCOMPARE(port.Input(), QString()); // taken once only
    QVERIFY(port.setPortOpen(false));
    QVERIFY(!port.PortOpen());
}

void TestPortSerial::inputTakesBytesWithoutTheEventLoop() {
    // The send loop blocks the thread: Input() must see what came in without any event being
    // handled, in pieces as it arrives.
    PtyPair pty;
    QVERIFY(pty.asCom1());
    QtSerialPort port;
    QVERIFY(port.setPortOpen(true));
    QCOMPARE(port.Input(), QString());
    QVERIFY(pty.write("]"));
    QCOMPARE(inputWithoutEventLoop(port, 1), QStringLiteral("]"));
    const QByteArray block(3000, 'x');
    QVERIFY(pty.write(block));
    QCOMPARE(inputWithoutEventLoop(port, block.size()).toLatin1(), block);
    port.setPortOpen(false);
}

void TestPortSerial::outputWaitsForRoomWhenTheDriverIsFull() {
    // Far more than a driver buffer holds, one character per write, while the far end only starts
    // reading after a while: nothing may be reported lost or dropped.
    PtyPair pty;
    QVERIFY(pty.asCom1());
    QtSerialPort port;
    QVERIFY(port.setPortOpen(true));
    QByteArray sent;
    for (int i = 0; i < 24000; ++i)
        sent.append("0123456789abcdef"[i % 16]);
    QByteArray received;
    QThread* reader = QThread::create([&] {
        QThread::msleep(300);
        received = pty.read(sent.size(), 20000);
    });
    reader->start();
    bool allWritten = true;
    for (const char c : sent)
        allWritten = allWritten && port.Output(QString(QLatin1Char(c)));
    QVERIFY2(allWritten, qPrintable(port.errorString()));
    reader->wait();
    delete reader;
    QCOMPARE(received.size(), sent.size());
    QCOMPARE(received, sent);
    port.setPortOpen(false);
}

void TestPortSerial::outputFailsWhenTheFarEndIsGone() {
    PtyPair pty;
    QVERIFY(pty.asCom1());
    QtSerialPort port;
    QVERIFY(port.setPortOpen(true));
    QVERIFY(port.Output(QStringLiteral("a")));
    pty.closeSlave();
    pty.closeMaster();
    QVERIFY(!port.Output(QStringLiteral("*22000000a")));
    QVERIFY2(port.errorString().startsWith(QStringLiteral("Writing to the port failed")),
             qPrintable(port.errorString()));
    QVERIFY(!port.Output(QStringLiteral("]"))); // and every write after it, without a pile-up
    QCOMPARE(port.Input(), QString());          // a dead line reads as nothing, without a fault
    QVERIFY(port.setPortOpen(false));
}

void TestPortSerial::outputFailsWhenClosed() {
    QtSerialPort port;
    QVERIFY(!port.Output(QStringLiteral("x")));
    QVERIFY(port.errorString().contains(QStringLiteral("not open")));
    QCOMPARE(port.Input(), QString());
}

void TestPortSerial::openFailsForAMissingDevice() {
    qputenv("QUORVEL_COM2", "/nonexistent/quorvel-tty");
    QtSerialPort port;
    port.setCommPort(2);
    QVERIFY(!port.setPortOpen(true));
    QVERIFY(!port.PortOpen());
    QVERIFY2(port.errorString().contains(QStringLiteral("/nonexistent/quorvel-tty")),
             qPrintable(port.errorString()));
    qunsetenv("QUORVEL_COM2");
}

void TestPortSerial::openFailsForAPortWithoutDevice() {
    QtSerialPort port;
    port.setCommPort(3);
    QVERIFY(!port.setPortOpen(true));
    QVERIFY(port.errorString().contains(QStringLiteral("3")));
}

QTEST_GUILESS_MAIN(TestPortSerial)
#include "test_port_serial.moc"

// The serial port on a pseudo-terminal in place of the cable, once for each form of the serial
// driver this build holds (POSIX and portable on Linux): both must behave and time the line alike.
#include "link/QtSerialPort.h"
#include "link/SendLoop.h"
#include "support/FarEnd.h"
#include "support/PtyPair.h"

#include <QThread>
#include <QtTest>

Q_DECLARE_METATYPE(SerialDriver::Kind)

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

// The form of the driver the current run tests.
SerialDriver::Kind driver() {
    QFETCH_GLOBAL(SerialDriver::Kind, driver);
    return driver;
}

// Hex digits with a wait character before each chunk of `chunk`, behind a header of `header`
// characters.
QString chunkedText(int header, int chunks, int chunk) {
    QString text = QString(header, QLatin1Char('h'));
    for (int k = 0; k < chunks; ++k) {
        text += QLatin1Char(']');
        for (int i = 0; i < chunk; ++i)
            text += QLatin1Char("0123456789abcdef"[(k + i) % 16]);
    }
    return text;
}

// The pause before each wait character, slept without the event loop.
SendPacing pausing(int milliseconds) {
    return {QStringLiteral("]"), [milliseconds] { return milliseconds; }, blockingSleep, {}};
}
} // namespace

class TestPortSerial : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data();
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

    void pausesWaitForTheWire_data();
    void pausesWaitForTheWire();
    void outBufferSizeHoldsBack_data();
    void outBufferSizeHoldsBack();
    void stalledLineKeepsTheTrueCount();
    void goneLineKeepsTheTrueCount();
};

void TestPortSerial::initTestCase_data() {
    QTest::addColumn<SerialDriver::Kind>("driver");
    const QList<SerialDriver::Kind> kinds = serialDriverKinds();
    for (const SerialDriver::Kind kind : kinds)
        QTest::newRow(qPrintable(serialDriverName(kind))) << kind;
}

void TestPortSerial::refusedSettingsKeepThoseInForce() {
    // A pseudo-terminal always runs 8 data bits without parity, and QSerialPort reports the
    // change it cannot make. The baud rate, applied before the data bits, must go back too.
    PtyPair pty;
    QVERIFY(pty.asCom1());
    QtSerialPort port(driver());
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
    QtSerialPort port(driver());
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
    QtSerialPort port(driver());
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
    QtSerialPort port(driver());
    QVERIFY(port.setHandshaking(handshake));
    QVERIFY2(port.setPortOpen(true), qPrintable(port.errorString()));
    const std::optional<termios> line = pty.line();
    QVERIFY(line);
    QCOMPARE(bool(line->c_cflag & CRTSCTS), rtsCts);
    QCOMPARE(bool(line->c_iflag & IXON), xonXoff);
    port.setPortOpen(false);
}

void TestPortSerial::handshakeAndBufferRefuseNonsense() {
    QtSerialPort port(driver());
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
    QtSerialPort port(driver());
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
    QtSerialPort port(driver());
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
    QtSerialPort port(driver());
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
    QtSerialPort port(driver());
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
    QtSerialPort port(driver());
    QVERIFY(!port.Output(QStringLiteral("x")));
    QVERIFY(port.errorString().contains(QStringLiteral("not open")));
    QCOMPARE(port.Input(), QString());
}

void TestPortSerial::openFailsForAMissingDevice() {
    qputenv("QUORVEL_COM2", "/nonexistent/quorvel-tty");
    QtSerialPort port(driver());
    port.setCommPort(2);
    QVERIFY(!port.setPortOpen(true));
    QVERIFY(!port.PortOpen());
    QVERIFY2(port.errorString().contains(QStringLiteral("/nonexistent/quorvel-tty")),
             qPrintable(port.errorString()));
    qunsetenv("QUORVEL_COM2");
}

void TestPortSerial::openFailsForAPortWithoutDevice() {
    QtSerialPort port(driver());
    port.setCommPort(3);
    QVERIFY(!port.setPortOpen(true));
    QVERIFY(port.errorString().contains(QStringLiteral("3")));
}

void TestPortSerial::pausesWaitForTheWire_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("chunk");
    QTest::addColumn<int>("pause");
    QTest::newRow("19200,n,8,1, chunks of 32, 5 ms") << "19200,n,8,1" << 32 << 5;
    QTest::newRow("9600,n,8,2, chunks of 16, 2 ms") << "9600,n,8,2" << 16 << 2;
}

// A pseudo-terminal takes every byte at once: only the line model holds a wait character back
// until the characters before it have left the wire and the pause has passed. Arrival times are
// noted late, never early, so the run as a whole is held to the full figure.
void TestPortSerial::pausesWaitForTheWire() {
    QFETCH(QString, settings);
    QFETCH(int, chunk);
    QFETCH(int, pause);
    PtyPair pty;
    QVERIFY(pty.asCom1());
    QtSerialPort port(driver());
    QVERIFY(port.setSettings(settings));
    QVERIFY2(port.setPortOpen(true), qPrintable(port.errorString()));
    const LineSettings line = *parseLineSettings(settings);
    const qint64 characterNs = *characterWireNs(line);
    const int header = 10;
    const int chunks = 6;
    const QString text = chunkedText(header, chunks, chunk);

    TimedFarEnd far(pty, int(text.size()));
    const qint64 startNs = TimedFarEnd::steadyNs();
    const SendResult result = sendText(port, text, pausing(pause));
    const qint64 endNs = TimedFarEnd::steadyNs();
    QVERIFY2(result.ok(), qPrintable(result.portError));
    const auto arrivals = far.arrivals();
    QCOMPARE(int(arrivals.size()), int(text.size()));
    std::vector<qint64> waits;
    for (const auto& arrival : arrivals)
        if (arrival.byte == ']')
            waits.push_back(arrival.ns - startNs);
    QCOMPARE(int(waits.size()), chunks);
    const qint64 pauseNs = qint64(pause) * 1000000;
    for (int k = 0; k < chunks; ++k) {
        // Before the k-th wait character: the header, k chunks with their wait characters, and
        // k + 1 pauses.
        const qint64 least = (header + k * (chunk + 1)) * characterNs + (k + 1) * pauseNs;
        QVERIFY2(waits[k] >= least, qPrintable(QStringLiteral("wait character %1 at %2 ms, not "
                                                              "before %3 ms")
                                                   .arg(k)
                                                   .arg(waits[k] / 1e6)
                                                   .arg(least / 1e6)));
    }
    // The send returns once the whole text has left the wire.
    QVERIFY(endNs - startNs >= text.size() * characterNs + chunks * pauseNs);
    port.setPortOpen(false);
}

void TestPortSerial::outBufferSizeHoldsBack_data() {
    QTest::addColumn<int>("buffer");
    QTest::addColumn<QString>("settings");
    QTest::newRow("64 at 57600") << 64 << "57600,n,8,1";
    QTest::newRow("1 at 115200") << 1 << "115200,n,8,1";
}

// At most `buffer` characters are on their way at once: the last of them cannot be written
// before all but buffer - 1 of those before it have left the wire.
void TestPortSerial::outBufferSizeHoldsBack() {
    QFETCH(int, buffer);
    QFETCH(QString, settings);
    PtyPair pty;
    QVERIFY(pty.asCom1());
    QtSerialPort port(driver());
    QVERIFY(port.setOutBufferSize(buffer));
    QVERIFY(port.setSettings(settings));
    QVERIFY2(port.setPortOpen(true), qPrintable(port.errorString()));
    const qint64 characterNs = *characterWireNs(*parseLineSettings(settings));
    const int count = 1500;
    const QString text = QString(count, QLatin1Char('x'));
    TimedFarEnd far(pty, count);
    const qint64 startNs = TimedFarEnd::steadyNs();
    QVERIFY2(port.Output(text), qPrintable(port.errorString()));
    const auto arrivals = far.arrivals();
    QCOMPARE(int(arrivals.size()), count);
    const qint64 lastNs = arrivals.back().ns - startNs;
    QVERIFY2(lastNs >= (count - buffer) * characterNs,
             qPrintable(QStringLiteral("%1 ms").arg(lastNs / 1e6)));
    port.setPortOpen(false);
}

// Nobody reads the far end: the pseudo-terminal fills, the line takes nothing for the stall
// time, and the send fails. Every character counted as sent reaches the far end once it reads,
// and nothing else does.
void TestPortSerial::stalledLineKeepsTheTrueCount() {
    PtyPair pty;
    QVERIFY(pty.asCom1());
    QtSerialPort port(driver());
    port.setStallTimeoutMs(300);
    QVERIFY(port.setSettings(QStringLiteral("921600,n,8,1")));
    QVERIFY2(port.setPortOpen(true), qPrintable(port.errorString()));
    QString text;
    for (int i = 0; i < 200000; ++i)
        text += QLatin1Char("0123456789abcdef"[i % 16]);
    const SendResult result = sendText(port, text, pausing(0));
    QCOMPARE(result.stop, SendResult::Stop::WriteFailed);
    QVERIFY2(result.portError.contains(QStringLiteral("took nothing")),
             qPrintable(result.portError));
    QVERIFY(result.sent > 0 && result.sent < text.size());
    QVERIFY(port.PortOpen());
    const QByteArray arrived = readUntilQuiet(pty);
    QCOMPARE(arrived.size(), qsizetype(result.sent));
    QCOMPARE(arrived, text.left(result.sent).toLatin1());
    port.setPortOpen(false);
}

// The far end takes the header and hangs up during the pause before the first chunk: the send
// fails at the wait character with the header counted, no more and no less.
void TestPortSerial::goneLineKeepsTheTrueCount() {
    PtyPair pty;
    QVERIFY(pty.asCom1());
    QtSerialPort port(driver());
    QVERIFY(port.setSettings(QStringLiteral("115200,n,8,1")));
    QVERIFY2(port.setPortOpen(true), qPrintable(port.errorString()));
    pty.closeSlave(); // only the port holds the line now
    const QString text = chunkedText(10, 4, 32);
    FarEnd far(pty, 10, [](PtyPair& p) { p.closeMaster(); });
    const SendResult result = sendText(port, text, pausing(300));
    QCOMPARE(far.bytes(), text.left(10).toLatin1());
    QCOMPARE(result.stop, SendResult::Stop::WriteFailed);
    QCOMPARE(result.sent, qsizetype(10));
    QVERIFY2(result.portError.contains(QStringLiteral("gone")), qPrintable(result.portError));
    QVERIFY(!port.Output(QStringLiteral("]")));
    QVERIFY(port.setPortOpen(false));
}

QTEST_GUILESS_MAIN(TestPortSerial)
#include "test_port_serial.moc"

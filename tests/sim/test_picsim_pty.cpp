// The program itself, driven the way the host drives a serial port: over its pty, one
// character per write, with the host's pauses before each wait character.

#include "picsim_test_streams.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kIdleMs = 150;

// Reads from fd until a whole line ending in CR LF is in; empty on timeout.
QByteArray readLine(int fd, QByteArray& pending, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!pending.contains("\r\n")) {
        pollfd ready{fd, POLLIN, 0};
        if (clock.elapsed() > timeoutMs || ::poll(&ready, 1, 50) < 0)
            return {};
        char buffer[256];
        const ssize_t got = (ready.revents & POLLIN) ? ::read(fd, buffer, sizeof buffer) : 0;
        if (got > 0)
            pending.append(buffer, got);
    }
    const int end = pending.indexOf("\r\n");
    const QByteArray line = pending.left(end);
    pending.remove(0, end + 2);
    return line;
}

void sendLikeTheHost(int fd, const QByteArray& stream) {
    for (const char c : stream) {
        if (c == ']')
            QTest::qSleep(5); // the host's default transmit delay
        QVERIFY(::write(fd, &c, 1) == 1);
    }
}

} // namespace

class PicsimPtyTest : public QObject {
    Q_OBJECT
private slots:
    void pictureOverPty_data();
    void pictureOverPty();
};

void PicsimPtyTest::pictureOverPty_data() {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QSize>("size");
    QTest::newRow("128x64 V") << header("3", "20", "0000") + framed(encodeVertical(128, 64), 32)
                              << QByteArray("LCD 128x64 V 1024 bytes") << QSize(128, 64);
    QTest::newRow("240x128 H") << header("3", "20", "0000", "64") +
                                      framed(encodeHorizontal(240, 128), 32)
                               << QByteArray("LCD 240x128 H 3841 bytes") << QSize(240, 128);
}

void PicsimPtyTest::pictureOverPty() {
    QTemporaryDir dir;
    const QString png = dir.filePath("lcd.png");
    const QString link = dir.filePath("pic");
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QUORVEL_PICSIM_EXE,
              {"--no-window", "--png", png, "--link", link, "--idle-ms", QString::number(kIdleMs)});
    QVERIFY(sim.waitForReadyRead(10000));
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    QVERIFY(device.startsWith("/dev/"));
    QCOMPARE(QFileInfo(link).symLinkTarget(), device);

    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw); // TCSANOW: a flush would throw the greeting away
    QByteArray pending;
    QCOMPARE(readLine(fd, pending), QByteArray("READY"));

    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, answer);
    QFETCH(QSize, size);
    sendLikeTheHost(fd, stream);
    QElapsedTimer sinceLastChar;
    sinceLastChar.start();
    QCOMPARE(readLine(fd, pending), answer);
    // The transfer may only end once the line has been quiet for the idle time.
    QVERIFY(sinceLastChar.elapsed() >= kIdleMs - 5);

    const QImage lcd(png);
    QCOMPARE(lcd.size(), size);
    int wrong = 0;
    for (int y = 0; y < lcd.height(); ++y)
        for (int x = 0; x < lcd.width(); ++x)
            wrong += (qGray(lcd.pixel(x, y)) < 128) != patternPixel(x, y);
    QCOMPARE(wrong, 0);

    ::close(fd);
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

QTEST_GUILESS_MAIN(PicsimPtyTest)
#include "test_picsim_pty.moc"

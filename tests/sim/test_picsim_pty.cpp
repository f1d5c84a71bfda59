// The program itself, driven the way the host drives a serial port: over its pty, one
// character per write, with the host's pauses before each wait character.

#include "picsim_process.h"
#include "picsim_test_streams.h"

#include <QElapsedTimer>
#include <QFile>
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

// 115200 baud, 8N1: 10 bits of 8.68 us.
constexpr double kCharacterUs = 10 * 1e6 / 115200;

// As the host writes: a piece at a time, and before each wait character it waits until the
// line has sent what it wrote, then its default transmit delay of 5 ms.
void sendLikeTheHost(int fd, const QByteArray& stream) {
    qsizetype from = 0;
    qsizetype before = 0; // the piece written last
    while (from < stream.size()) {
        qsizetype to = stream.indexOf(']', from + 1);
        if (to < 0)
            to = stream.size();
        const QByteArray piece = stream.mid(from, to - from);
        if (before > 0)
            QTest::qSleep(int(before * kCharacterUs / 1000) + 1 + 5);
        QVERIFY(::write(fd, piece.constData(), piece.size()) == piece.size());
        before = piece.size();
        from = to;
    }
}

} // namespace

class PicsimPtyTest : public QObject {
    Q_OBJECT
private slots:
    void pictureOverPty_data();
    void pictureOverPty();
    void answersWaitForAHostThatIsNotReading();
    void floodOfTransfers();
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

    const int fd = openRaw(device, B115200);
    QVERIFY(fd >= 0);
    QByteArray pending;
    QCOMPARE(readLine(fd, pending), QByteArray("READY"));

    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, answer);
    QFETCH(QSize, size);
    sendLikeTheHost(fd, stream);
    QElapsedTimer sinceLastChar;
    sinceLastChar.start();
    // The speed and format set on the line, and every character. (The silence before the wait
    // characters, 5 ms here, is not held to a figure: on a busy machine the pseudo-terminal can
    // hand a chunk over late, together with the wait character after it.)
    const QByteArray line = readLine(fd, pending);
    QVERIFY2(line.startsWith("LINE 115200 8N1 " + QByteArray::number(stream.size()) + " chars ") &&
                 line.contains(", smallest gap "),
             line.constData());
    QCOMPARE(readLine(fd, pending), answer);
    // The transfer may only end once the line has been quiet for the idle time.
    QVERIFY(sinceLastChar.elapsed() >= kIdleMs - 5);

    const QImage lcd(png);
    QCOMPARE(lcd.size(), size);
    QCOMPARE(pixelsOff(lcd, patternPixel), 0);

    ::close(fd);
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

// A host that has the port open but reads nothing for a while still gets every answer after.
void PicsimPtyTest::answersWaitForAHostThatIsNotReading() {
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QUORVEL_PICSIM_EXE, {"--no-window", "--quiet", "--idle-ms", "100"});
    QVERIFY(sim.waitForReadyRead(10000));
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    const int fd = openRaw(device, B115200);
    QVERIFY(fd >= 0);
    // Each "show the EEPROM" command is a transfer of its own, ended by the next one's '*'; the
    // answers (two lines each, about 80 bytes) fill the pseudo-terminal many times over.
    const int transfers = 2000;
    QByteArray commands;
    for (int i = 0; i < transfers; ++i)
        commands += "*22000000a";
    QVERIFY(::write(fd, commands.constData(), commands.size()) == commands.size());
    QTest::qSleep(500);
    QByteArray pending;
    int shown = 0;
    // The last answer comes once the virtual wire has carried all 20,000 characters (1.7 s).
    while (shown < transfers) {
        const QByteArray line = readLine(fd, pending, 3000);
        if (line.isEmpty())
            break;
        shown += line == "LCD 128x64 V from EEPROM";
    }
    QCOMPARE(shown, transfers);
    ::close(fd);
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
}

namespace {
// Resident memory of a process in KiB, 0 when it cannot be read.
qint64 residentKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}
} // namespace

// A million one-character transfers ('*' each): the answers (two lines a transfer) are more
// than any host reads, so repeats are counted instead of queued; memory stays bounded, answers
// keep coming while the host reads, and SIGTERM ends the program at once in the middle of it.
void PicsimPtyTest::floodOfTransfers() {
    QProcess sim;
    const QString device = startPicsim(sim, {"--no-window", "--quiet"});
    QVERIFY(device.startsWith("/dev/"));
    const int fd = openRaw(device, B19200, O_NONBLOCK);
    QVERIFY(fd >= 0);
    const QByteArray stars(4096, '*');
#ifdef QUORVEL_SANITIZED
    const qint64 total = 200000; // the sanitized program is several times slower
#else
    const qint64 total = 1000000;
#endif
    const qint64 stopAt = total * 3 / 4;
    qint64 written = 0;
    qint64 answerBytes = 0;
    qint64 countedLines = 0; // "... (N times)"
    qint64 peakKiB = 0;
    qint64 longestSilenceMs = 0;
    QByteArray pending;
    QElapsedTimer sinceAnswer;
    sinceAnswer.start();
    QElapsedTimer clock;
    clock.start();
    // First the host only writes, as a terminal program that does not show what comes back,
    // for long enough that the answers pile up beyond what is queued. Then it reads as well; once
    // it has written its part it only reads, until the repeats that piled up while it was not
    // reading come through as counts (how soon depends on how fast this machine is: no time is
    // asked of it). It stops in the middle of the flood.
    bool wasReading = false;
    while (clock.elapsed() < 60000 && (written < stopAt || countedLines == 0)) {
        const bool reading = written >= total / 4 && clock.elapsed() >= 3000;
        if (reading && !wasReading) // silence is timed from the first read on
            sinceAnswer.restart();
        wasReading = reading;
        const bool writing = written < stopAt;
        const ssize_t put = writing ? ::write(fd, stars.constData(),
                                              size_t(qMin<qint64>(stars.size(), stopAt - written)))
                                    : -1;
        if (put > 0)
            written += put;
        char buffer[65536];
        const ssize_t got = reading ? ::read(fd, buffer, sizeof buffer) : -1;
        if (got > 0) {
            answerBytes += got;
            pending.append(buffer, got);
            countedLines += pending.count(" times)\r\n");
            pending = pending.mid(pending.lastIndexOf('\n') + 1);
            longestSilenceMs = qMax(longestSilenceMs, sinceAnswer.restart());
        }
        if (put <= 0 && got <= 0) {
            pollfd ready{fd, short((reading ? POLLIN : 0) | (writing ? POLLOUT : 0)), 0};
            ::poll(&ready, 1, 20);
        }
        peakKiB = qMax(peakKiB, residentKiB(sim.processId()));
    }
    QCOMPARE(written, stopAt);
    QVERIFY2(countedLines > 0, "the answers of the unread part were counted, not queued");
    QVERIFY2(longestSilenceMs < 2000, qPrintable(QString::number(longestSilenceMs)));
#ifndef QUORVEL_SANITIZED // the sanitizer's own bookkeeping holds freed memory for a while
    QVERIFY2(peakKiB < 150 * 1024, qPrintable(QString::number(peakKiB)));
#endif
    QElapsedTimer stopping;
    stopping.start();
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    const qint64 stopMs = stopping.elapsed();
    QCOMPARE(sim.exitCode(), 0);
    qInfo("%lld stars, %lld answer bytes read, %lld counted lines, peak %lld KiB, stop %lld ms",
          written, answerBytes, countedLines, peakKiB, stopMs);
    QVERIFY2(stopMs < 500, qPrintable(QString::number(stopMs)));
    ::close(fd);
}

QTEST_GUILESS_MAIN(PicsimPtyTest)
#include "test_picsim_pty.moc"

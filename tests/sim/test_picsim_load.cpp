// The virtual PIC on a machine with no CPU to spare: both cores kept busy while the host sends,
// paced the way the program paces a send. A PIC that reads late must not blame the host.

#include "picsim_process.h"
#include "picsim_test_streams.h"

#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

// 19200 baud, 8N1: 10 bits a character.
constexpr std::chrono::nanoseconds kCharacter(10 * 1000000000LL / 19200 + 1);

// Busy loops on every core until stopped, and never longer than a bound.
class CpuLoad {
public:
    explicit CpuLoad(std::chrono::seconds bound) {
        const unsigned cores = std::max(2u, std::thread::hardware_concurrency());
        const Clock::time_point deadline = Clock::now() + bound;
        for (unsigned i = 0; i < cores; ++i)
            threads_.emplace_back([this, deadline] {
                volatile unsigned spin = 0;
                while (!stop_ && Clock::now() < deadline)
                    ++spin;
            });
    }
    ~CpuLoad() {
        stop_ = true;
        for (std::thread& thread : threads_)
            thread.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

// As the program sends: the header, then each chunk written at once; before each wait
// character it waits until what it wrote has left the wire (counted from when the write
// returned), then Xmit Delay.
void sendPaced(int fd, const QByteArray& stream, std::chrono::milliseconds xmitDelay) {
    qsizetype from = 0;
    Clock::time_point drained = Clock::now();
    while (from < stream.size()) {
        qsizetype to = stream.indexOf(']', from + 1);
        if (to < 0)
            to = stream.size();
        if (from > 0) {
            std::this_thread::sleep_until(drained);
            std::this_thread::sleep_for(xmitDelay);
        }
        const QByteArray piece = stream.mid(from, to - from);
        QVERIFY(::write(fd, piece.constData(), size_t(piece.size())) == piece.size());
        drained = Clock::now() + piece.size() * kCharacter;
        from = to;
    }
}

// A host that leaves the PIC no silence at all: it writes each chunk once half of the one
// before has left the wire. However late it or the PIC's reader runs, the wire is never idle.
void sendInAHurry(int fd, const QByteArray& stream) {
    qsizetype from = 0;
    while (from < stream.size()) {
        qsizetype to = stream.indexOf(']', from + 1);
        if (to < 0)
            to = stream.size();
        const QByteArray piece = stream.mid(from, to - from);
        QVERIFY(::write(fd, piece.constData(), size_t(piece.size())) == piece.size());
        std::this_thread::sleep_for(piece.size() * kCharacter / 2);
        from = to;
    }
}

// The answers to one transfer, up to its LCD line.
QList<QByteArray> answersUpToLcd(int fd, QByteArray& pending) {
    QList<QByteArray> lines;
    for (;;) {
        const QByteArray line = readLine(fd, pending, 10000);
        if (line.isEmpty())
            return lines;
        lines.append(line);
        if (line.startsWith("LCD "))
            return lines;
    }
}

int busyLines(const QList<QByteArray>& lines) {
    int busy = 0;
    for (const QByteArray& line : lines)
        busy += line.startsWith("BUSY");
    return busy;
}

} // namespace

class PicsimLoadTest : public QObject {
    Q_OBJECT
private slots:
    void lateReaderIsNoBusyHost();
};

void PicsimLoadTest::lateReaderIsNoBusyHost() {
    QProcess sim;
    // As an ordinary user runs it: without the privilege to put its reader before other work.
    sim.setChildProcessModifier([] {
        ::prctl(PR_CAPBSET_DROP, CAP_SYS_NICE, 0, 0, 0);
        const rlimit none{0, 0};
        ::setrlimit(RLIMIT_RTPRIO, &none);
    });
    const QString device = startPicsim(sim, {"--no-window", "--quiet", "--busy-ms", "2"});
    QVERIFY(device.startsWith("/dev/"));
    const int fd = openRaw(device, B19200);
    QVERIFY(fd >= 0);
    QByteArray pending;
    QCOMPARE(readLine(fd, pending), QByteArray("READY"));

    const QByteArray stream = "*32000000a" + framed(encodeVertical(128, 64), 32);
    QCOMPARE(stream.size(), 2122);
    const CpuLoad load(std::chrono::seconds(150));
    QStringList busyReports;
    for (int send = 1; send <= 20; ++send) {
        sendPaced(fd, stream, std::chrono::milliseconds(5));
        const QList<QByteArray> answers = answersUpToLcd(fd, pending);
        QVERIFY2(!answers.isEmpty() && answers.last() == "LCD 128x64 V 1024 bytes",
                 answers.join(" | ").constData());
        if (busyLines(answers) > 0)
            busyReports.append(QString::fromLatin1(answers.join(" | ")));
    }
    QVERIFY2(busyReports.isEmpty(), qPrintable(busyReports.join(QLatin1Char('\n'))));

    // A host that leaves no silence is still caught, every time. (The program's own Xmit Delay
    // 0 waits for the wire first; on a machine this busy it is itself late by about as much as
    // the PIC needs, and then the silence it leaves is real.)
    for (int send = 1; send <= 3; ++send) {
        sendInAHurry(fd, stream);
        const QList<QByteArray> answers = answersUpToLcd(fd, pending);
        QVERIFY2(busyLines(answers) > 0, answers.join(" | ").constData());
    }
    ::close(fd);
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
}

QTEST_GUILESS_MAIN(PicsimLoadTest)
#include "test_picsim_load.moc"

// Start-up to shown window, and resident memory.
#include "BenchPictures.h"
#include "BenchWindow.h"
#include "Benches.h"
#include "Harness.h"

#include "app/Main.h"
#include "app/TextBox.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <ctime>
#include <unistd.h>

namespace {
// Milliseconds since the kernel started this process (field 22 of /proc/self/stat).
double sinceProcessStartMs() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble();
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6 - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}
} // namespace

double residentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

// Runs inside a child process: start the window, print when it is shown, then convert a
// 320x200 picture vertically, the largest matrix the program builds from the canvas.
int startupProbe(int argc, char** argv) {
    QApplication app(argc, argv);
    Main window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    const double shownMs = sinceProcessStartMs();
    const double afterStart = residentMegabytes();
    clickControl(&window, QStringLiteral("optgrf(7)"));
    clickControl(&window, QStringLiteral("Option2(0)"));
    if (!importOntoCanvas(window, halfBlackImage(320, 200)))
        return 2;
    // A Convert that fails waits in a message box: answered, and the probe fails.
    if (!Modals::boxesDuring([&window] {
             clickControl(&window, QStringLiteral("Command9"));
         }).isEmpty())
        return 3;
    std::printf("%.2f %.2f %.2f %lld\n", shownMs, afterStart, residentMegabytes(),
                static_cast<long long>(
                    findControl<TextBox>(&window, QStringLiteral("Text3"))->text().size()));
    return 0;
}

void benchStartup(const QString& self) {
    constexpr int starts = 9;
    std::vector<double> times;
    QList<QByteArray> figures;
    for (int i = 0; i < starts; ++i) {
        QProcess probe;
        probe.start(self, {QStringLiteral("--startup-probe")});
        if (!probe.waitForFinished(20000) || probe.exitCode() != 0) {
            probe.kill();
            probe.waitForFinished();
            return printNote(QStringLiteral("The start-up probe failed (exit %1): not measured.")
                                 .arg(probe.exitCode()));
        }
        figures = probe.readAllStandardOutput().trimmed().split(' ');
        times.push_back(figures.value(0).toDouble());
    }
    const bool converted = figures.value(3).toLongLong() == 320 * 25 * 2;
    Table table("Start-up and memory",
                {QStringLiteral("measurement"), QStringLiteral("figure"), QStringLiteral("goal")});
    table.row({QStringLiteral("process start to shown window (offscreen)"), millis(median(times)),
               QStringLiteral("< 300 ms")});
    table.row({QStringLiteral("resident memory after start-up"),
               QStringLiteral("%1 MiB").arg(figures.value(1).toDouble(), 0, 'f', 1)});
    table.row({QStringLiteral("resident memory after a 320x200 vertical Convert"),
               converted ? QStringLiteral("%1 MiB").arg(figures.value(2).toDouble(), 0, 'f', 1)
                         : QStringLiteral("Convert gave a wrong length")});
    table.print();
    printNote(QStringLiteral("Median of %1 starts, each in a new process; the kernel's start "
                             "time ticks in 10 ms. Memory is from the last start.")
                  .arg(starts));
}

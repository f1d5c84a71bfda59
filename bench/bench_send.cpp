// "Send to LCD": the program's own cost per character, and a whole image with its pauses.
#include "BenchPictures.h"
#include "Benches.h"
#include "Harness.h"

#include "app/Main.h"
#include "link/QtSerialPort.h"
#include "link/SendLoop.h"
#include "send/MemoryPort.h"
#include "send/SendCost.h"
#include "send/SendHarness.h"
#include "support/PtyPair.h"

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <utility>

namespace {
constexpr int costRuns = 11;
constexpr int imageRuns = 5;

// The window shown, so that the echo and the counter are really painted, as for the user.
bool showWindow(Main& w) {
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

QString thousands(qsizetype n) {
    return QLocale(QLocale::English).toString(n);
}

// Median cost per character of sends of each length over the pseudo-terminal, the far end read
// on its own thread so that the line never fills. The lengths take turns, so that a busy moment
// of the machine falls on all of them alike. `whole` turns false if any byte never arrived.
std::vector<SendCost> ptyCost(Main& w, PtyPair& pty, const std::vector<int>& lengths, bool& whole) {
    std::vector<std::vector<double>> wall(lengths.size()), cpu(lengths.size());
    for (int run = 0; run < costRuns; ++run) {
        for (size_t i = 0; i < lengths.size(); ++i) {
            FarEnd far(pty, lengths[i]);
            const SendCost cost = sendToLcdCost(w, *w.MSComm1, lengths[i]);
            wall[i].push_back(cost.wallUs);
            cpu[i].push_back(cost.cpuUs);
            whole = whole && far.bytes() == w.xmitText.toLatin1();
        }
    }
    std::vector<SendCost> medians;
    for (size_t i = 0; i < lengths.size(); ++i)
        medians.push_back({median(wall[i]), median(cpu[i])});
    return medians;
}

SendCost memoryCost(Main& w, int characters, int runs) {
    std::vector<double> wall, cpu;
    for (int run = 0; run < runs; ++run) {
        MemoryPort port;
        const SendCost cost = sendToLcdCost(w, port, characters);
        wall.push_back(cost.wallUs);
        cpu.push_back(cost.cpuUs);
    }
    return {median(wall), median(cpu)};
}

QStringList costRow(const QString& line, int characters, const SendCost& cost,
                    const QString& goal) {
    return {line,
            thousands(characters),
            micros(cost.cpuUs),
            micros(cost.wallUs),
            millis(cost.wallUs * characters / 1000),
            goal};
}
} // namespace

void benchSendCost() {
    Main w;
    PtyPair pty;
    if (!showWindow(w) || !pty.isValid() || !openOnPty(w, pty))
        return printNote(QStringLiteral("No window or no pseudo-terminal: send not measured."));
    // A fast line, so that the wire (10.9 µs a character at 921600 baud) leaves room to see the
    // program's own cost; the CPU time of the window's thread is that cost either way.
    w.MSComm1->setSettings(QStringLiteral("921600,n,8,1"));
    Table table("Send to LCD, the program's own cost per character (no wait characters)",
                {QStringLiteral("line"), QStringLiteral("characters"),
                 QStringLiteral("CPU per character"), QStringLiteral("wall per character"),
                 QStringLiteral("whole send"), QStringLiteral("goal (CPU)")});
    const QString goal = QStringLiteral("< 30 µs");
    bool whole = true;
    const std::vector<SendCost> overPty = ptyCost(w, pty, {2000, 16000}, whole);
    const QString line = QStringLiteral("pseudo-terminal, 921600 baud");
    table.row(costRow(line, 2000, overPty[0], goal));
    table.row(costRow(line, 16000, overPty[1], goal));
    table.row({QStringLiteral("pseudo-terminal, 16,000 / 2,000 per character"), QString(),
               ratio(overPty[1].cpuUs / overPty[0].cpuUs), QString(), QString(),
               QStringLiteral("about 1x")});
    const std::vector<int> lengths{2000, 16000, 100000, 1000000};
    std::vector<SendCost> inMemory;
    for (const int length : lengths) {
        inMemory.push_back(memoryCost(w, length, length >= 1000000 ? 3 : costRuns));
        table.row(costRow(QStringLiteral("in memory (MemoryPort): the window alone"), length,
                          inMemory.back(), QString()));
    }
    table.row({QStringLiteral("in memory, 1,000,000 / 2,000 per character"), QString(),
               ratio(inMemory.back().cpuUs / inMemory.front().cpuUs), QString(), QString(),
               QStringLiteral("about 1x")});
    table.print();
    printNote(QStringLiteral(
                  "Median of %1 sends of each length (3 of 1,000,000), each the whole "
                  "Command16_Click: one write per character, the echo into Text3 and the counter "
                  "painted about 60 times a second, and once each the painting at the start and "
                  "the whole echo handed to Text3 at the end. CPU is the window's thread alone "
                  "(CLOCK_THREAD_CPUTIME_ID: no sleeps, not the far end's reader). Over the "
                  "pseudo-terminal the send keeps to the line's pace, so its wall time is the wire "
                  "time.%2")
                  .arg(costRuns)
                  .arg(whole ? QString() : QStringLiteral(" Some bytes were lost!")));
}

void benchSendImage() {
    Main w;
    PtyPair pty;
    if (!showWindow(w) || !pty.isValid() || !openOnPty(w, pty))
        return printNote(QStringLiteral("No window or no pseudo-terminal: image not sent."));
    // 128x64 vertical, Convert, Reformat For Output: what the user does before sending.
    QTest::mouseClick(w.optgrf[1], Qt::LeftButton);
    QTest::mouseClick(w.Option2[0], Qt::LeftButton);
    w.canvas.image() = halfBlackImage(128, 64);
    QTest::mouseClick(w.Command9, Qt::LeftButton);
    QTest::mouseClick(w.Command15, Qt::LeftButton);
    const QString text = w.xmitText;
    if (w.lcdWidth != 128 || w.lcdHeight != 64 || text.isEmpty())
        return printNote(QStringLiteral("Convert and Reformat gave no transmit text: not sent."));

    const qsizetype waits = w.waitChars.size() == 1 ? text.count(w.waitChars) : 0;
    const int pauseMs = sendToLcdPause(w.xmitdelay->text()).value_or(0);
    const std::optional<LineSettings> line = parseLineSettings(w.MSComm1->Settings());
    const double characterMs = line ? double(characterWireNs(*line).value_or(0)) / 1e6 : 0;
    std::vector<double> overPty, cpu, gaps, allGaps;
    bool whole = true;
    for (int run = 0; run < imageRuns; ++run) {
        TimedFarEnd far(pty, int(text.size()));
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = threadCpuUs();
        QTest::mouseClick(w.Command16, Qt::LeftButton);
        cpu.push_back((threadCpuUs() - cpuBefore) / 1000);
        overPty.push_back(double(clock.nsecsElapsed()) / 1e6);
        const auto arrivals = far.arrivals();
        QByteArray bytes;
        for (const auto& arrival : arrivals)
            bytes += arrival.byte;
        whole = whole && bytes == text.toLatin1();
        // The shortest time from one wait character to the next, as the far end saw them.
        qint64 last = -1;
        double shortest = 1e9;
        for (const auto& arrival : arrivals) {
            if (arrival.byte != ']')
                continue;
            if (last >= 0) {
                shortest = std::min(shortest, double(arrival.ns - last) / 1e6);
                allGaps.push_back(double(arrival.ns - last) / 1e6);
            }
            last = arrival.ns;
        }
        gaps.push_back(shortest);
    }
    const double measured = median(overPty);
    const double pauses = double(waits) * pauseMs;
    const double wire = double(text.size()) * characterMs;
    const double chunk = (double(w.picBuffer) + 1) * characterMs + pauseMs;

    Table table("Send to LCD of a 128x64 vertical image, default settings, over a "
                "pseudo-terminal",
                {QStringLiteral("measurement"), QStringLiteral("figure"), QStringLiteral("goal")});
    table.row({QStringLiteral("settings"),
               QStringLiteral("buffer %1, wait \"%2\", Xmit Delay %3 ms, %4, Com out buff %5")
                   .arg(w.picBuffer)
                   .arg(w.waitChars)
                   .arg(pauseMs)
                   .arg(w.MSComm1->Settings())
                   .arg(w.MSComm1->OutBufferSize()),
               QString()});
    table.row({QStringLiteral("characters sent"),
               thousands(text.size()) + (whole ? QString() : QStringLiteral(" (some lost!)")),
               QString()});
    table.row({QStringLiteral("wait characters"), thousands(waits), QString()});
    table.row({QStringLiteral("ideal: characters on the wire + waits x delay"),
               millis(wire + pauses), QString()});
    table.row(
        {QStringLiteral("measured, median of %1").arg(imageRuns), millis(measured), QString()});
    table.row({QStringLiteral("measured / ideal"), ratio(measured / (wire + pauses)),
               QStringLiteral("1.00 to 1.03")});
    table.row(
        {QStringLiteral("CPU of the window's thread, whole send"), millis(median(cpu)), QString()});
    table.row({QStringLiteral("wait character to wait character at the far end, median"),
               millis(median(allGaps)), QStringLiteral(">= %1").arg(millis(chunk))});
    table.row({QStringLiteral("... the shortest (median over the runs)"), millis(median(gaps)),
               QString()});
    table.print();
    printNote(QStringLiteral(
        "A pseudo-terminal takes every byte at once; the port's line model keeps the send to "
        "the wire's pace anyway (one character = 10 bits at 19200 baud = 0.52 ms), and each "
        "pause starts only once the chunk before it has left the wire. The far end notes "
        "when each wait character arrives; from one to the next there must be the wait "
        "character and its chunk on the wire plus the Xmit Delay. The far end's reader (a thread "
        "of "
        "this process) notes a byte late now and then on a busy machine, which shortens the gap "
        "after it: hence the shortest gap seen can fall below the figure the program keeps."));
}

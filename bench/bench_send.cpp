// "Send to LCD": the program's own cost per character, and a whole image with its pauses.
#include "BenchPictures.h"
#include "Benches.h"
#include "Harness.h"

#include "app/Main.h"
#include "canvas/Bmp.h"
#include "convert/FileAccess.h"
#include "link/QtSerialPort.h"
#include "link/SendLoop.h"
#include "support/Controls.h"
#include "support/MemoryPort.h"
#include "support/Modals.h"
#include "support/PtyPair.h"
#include "support/SendCost.h"
#include "support/SendHarness.h"

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
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
// of the machine falls on all of them alike, each made anew before its send. `whole` turns false
// if any byte never arrived or a transmit text could not be made.
std::vector<SendCost> ptyCost(Main& w, PtyPair& pty, const std::vector<int>& lengths, bool& whole) {
    std::vector<std::vector<double>> wall(lengths.size()), cpu(lengths.size());
    for (int run = 0; run < costRuns; ++run) {
        for (size_t i = 0; i < lengths.size(); ++i) {
            whole = stageTransmitText(w, hexDigits(lengths[i])) && whole;
            const QString& text = w.state().xmitText;
            FarEnd far(pty, int(text.size()));
            const SendCost cost = sendToLcdCost(w);
            wall[i].push_back(cost.wallUs);
            cpu[i].push_back(cost.cpuUs);
            whole = whole && far.bytes() == text.toLatin1();
        }
    }
    std::vector<SendCost> medians;
    for (size_t i = 0; i < lengths.size(); ++i)
        medians.push_back({median(wall[i]), median(cpu[i])});
    return medians;
}

// The window alone: a window of its own on a MemoryPort, opened the way the user does, sending
// one transmit text `runs` times.
SendCost memoryCost(int characters, int runs) {
    MemoryPort port;
    Main w(&port);
    showWindow(w);
    port.setPortOpen(false);
    clickControl(&w, QStringLiteral("cmdcomm"));
    if (!stageTransmitText(w, hexDigits(characters)))
        return {};
    std::vector<double> wall, cpu;
    for (int run = 0; run < runs; ++run) {
        port.writes.clear();
        const SendCost cost = sendToLcdCost(w);
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
    QtSerialPort port;
    Main w(&port);
    PtyPair pty;
    if (!showWindow(w) || !pty.isValid() || !openOnPty(w, port, pty))
        return printNote(QStringLiteral("No window or no pseudo-terminal: send not measured."));
    // A fast line, so that the wire (10.9 µs a character at 921600 baud) leaves room to see the
    // program's own cost; the CPU time of the window's thread is that cost either way.
    port.setSettings(QStringLiteral("921600,n,8,1"));
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
        inMemory.push_back(memoryCost(length, length >= 1000000 ? 3 : costRuns));
        table.row(costRow(QStringLiteral("in memory (MemoryPort): the window alone"), length,
                          inMemory.back(), QString()));
    }
    table.row({QStringLiteral("in memory, 1,000,000 / 2,000 per character"), QString(),
               ratio(inMemory.back().cpuUs / inMemory.front().cpuUs), QString(), QString(),
               QStringLiteral("about 1x")});
    table.print();
    printNote(QStringLiteral(
                  "Median of %1 sends of each length (3 of 1,000,000), each a whole click of Send "
                  "to LCD on the command header and a table of that many characters pasted into "
                  "the output window and reformatted (Wait Chr empty, so no pause): one write per "
                  "character, the echo into Text3 and the counter "
                  "painted about 60 times a second, and once each the painting at the start and "
                  "the whole echo handed to Text3 at the end. CPU is the window's thread alone "
                  "(CLOCK_THREAD_CPUTIME_ID: no sleeps, not the far end's reader). Over the "
                  "pseudo-terminal the send keeps to the line's pace, so its wall time is the wire "
                  "time.%2")
                  .arg(costRuns)
                  .arg(whole ? QString() : QStringLiteral(" Some bytes were lost!")));
}

void benchSendImage() {
    QtSerialPort port;
    Main w(&port);
    PtyPair pty;
    QTemporaryDir folder;
    if (!showWindow(w) || !pty.isValid() || !openOnPty(w, port, pty) || !folder.isValid())
        return printNote(QStringLiteral("No window or no pseudo-terminal: image not sent."));
    // 128x64 vertical, the picture loaded from a BMP file, Convert, Reformat For Output: what
    // the user does before sending.
    const QString picture = folder.filePath(QStringLiteral("half-black.bmp"));
    if (!writeWholeFile(picture, writeMonochromeBmp(halfBlackImage(128, 64))).ok())
        return printNote(QStringLiteral("The picture could not be written: image not sent."));
    Modals modals(&w);
    modals.fileAnswers << picture;
    clickControl(&w, QStringLiteral("optgrf(1)"));
    clickControl(&w, QStringLiteral("Option2(0)"));
    clickControl(&w, QStringLiteral("Command10"));
    clickControl(&w, QStringLiteral("Command9"));
    clickControl(&w, QStringLiteral("Command15"));
    const ToolState& state = w.state();
    const QString text = state.xmitText;
    if (state.panelWidth() != 128 || state.panelHeight() != 64 || text.isEmpty() ||
        !modals.texts.isEmpty())
        return printNote(QStringLiteral("Convert and Reformat gave no transmit text: not sent."));

    const QString waitChars = state.pic.waitChars;
    const qsizetype waits = waitChars.size() == 1 ? text.count(waitChars) : 0;
    const int pauseMs =
        sendToLcdPause(findControl<QLineEdit>(&w, QStringLiteral("xmitdelay"))->text()).value_or(0);
    const std::optional<LineSettings> line = parseLineSettings(port.Settings());
    const double characterMs = line ? double(characterWireNs(*line).value_or(0)) / 1e6 : 0;
    std::vector<double> overPty, cpu, gaps, allGaps;
    bool whole = true;
    for (int run = 0; run < imageRuns; ++run) {
        TimedFarEnd far(pty, int(text.size()));
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = threadCpuUs();
        clickControl(&w, QStringLiteral("Command16"));
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
    const double chunk = (double(state.pic.buffer) + 1) * characterMs + pauseMs;

    Table table("Send to LCD of a 128x64 vertical image, default settings, over a "
                "pseudo-terminal",
                {QStringLiteral("measurement"), QStringLiteral("figure"), QStringLiteral("goal")});
    table.row({QStringLiteral("settings"),
               QStringLiteral("buffer %1, wait \"%2\", Xmit Delay %3 ms, %4, Com out buff %5")
                   .arg(state.pic.buffer)
                   .arg(waitChars)
                   .arg(pauseMs)
                   .arg(port.Settings())
                   .arg(port.OutBufferSize()),
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

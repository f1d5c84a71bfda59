// "Send to LCD": the program's own cost per character, and a whole image with its pauses.
#include "BenchPictures.h"
#include "Benches.h"
#include "Harness.h"

#include "app/Main.h"
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
#include <utility>

namespace {
constexpr int costRuns = 11;
constexpr int imageRuns = 7;

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
std::vector<double> ptyMicrosPerCharacter(Main& w, PtyPair& pty, const std::vector<int>& lengths,
                                          bool& whole) {
    std::vector<std::vector<double>> runs(lengths.size());
    for (int run = 0; run < costRuns; ++run) {
        for (size_t i = 0; i < lengths.size(); ++i) {
            FarEnd far(pty, lengths[i]);
            runs[i].push_back(sendToLcdMicrosPerCharacter(w, *w.MSComm1, lengths[i]));
            whole = whole && far.bytes() == w.xmitText.toLatin1();
        }
    }
    std::vector<double> medians;
    for (const std::vector<double>& times : runs)
        medians.push_back(median(times));
    return medians;
}

double memoryMicrosPerCharacter(Main& w, int characters) {
    std::vector<double> perCharacter;
    for (int run = 0; run < costRuns; ++run) {
        MemoryPort port;
        perCharacter.push_back(sendToLcdMicrosPerCharacter(w, port, characters));
    }
    return median(perCharacter);
}

QStringList costRow(const QString& line, int characters, double us, const QString& goal) {
    return {line, thousands(characters), micros(us), millis(us * characters / 1000), goal};
}
} // namespace

void benchSendCost() {
    Main w;
    PtyPair pty;
    if (!showWindow(w) || !pty.isValid() || !openOnPty(w, pty))
        return printNote(QStringLiteral("No window or no pseudo-terminal: send not measured."));
    Table table("Send to LCD, the program's own cost per character (no wait characters)",
                {QStringLiteral("line"), QStringLiteral("characters"),
                 QStringLiteral("per character"), QStringLiteral("whole send"),
                 QStringLiteral("goal")});
    const QString goal = QStringLiteral("< 30 µs");
    bool whole = true;
    const std::vector<double> pty2000And16000 = ptyMicrosPerCharacter(w, pty, {2000, 16000}, whole);
    const double shortPty = pty2000And16000[0];
    const double longPty = pty2000And16000[1];
    table.row(costRow(QStringLiteral("pseudo-terminal"), 2000, shortPty, goal));
    table.row(costRow(QStringLiteral("pseudo-terminal"), 16000, longPty, goal));
    table.row({QStringLiteral("pseudo-terminal, 16,000 / 2,000 per character"), QString(),
               ratio(longPty / shortPty), QString(), QStringLiteral("about 1x")});
    const double shortMemory = memoryMicrosPerCharacter(w, 2000);
    const double longMemory = memoryMicrosPerCharacter(w, 16000);
    table.row(costRow(QStringLiteral("in memory (MemoryPort), for reference"), 2000, shortMemory,
                      QString()));
    table.row(costRow(QStringLiteral("in memory (MemoryPort), for reference"), 16000, longMemory,
                      QString()));
    const double once = memoryMicrosPerCharacter(w, 1);
    table.row({QStringLiteral("in memory, one character: what any send costs once"),
               QStringLiteral("1"), QString(), millis(once / 1000), QString()});
    table.print();
    printNote(
        QStringLiteral(
            "Median of %1 sends of each length, taking turns, each the whole Command16_Click: "
            "one write per character, the echo into Text3 and the counter painted about 60 "
            "times a second, and once each the painting at the start and the end and the beep "
            "(the last row), which weigh more in a short send. The far end is read on another "
            "thread. A pseudo-terminal takes bytes as fast as they come, so this is the "
            "program and the system calls, not the line.")
            .arg(costRuns));
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
    const int baud = w.MSComm1->Settings().section(QLatin1Char(','), 0, 0).toInt();
    // The same send three ways: over the line, into memory (the line left out) and the send
    // loop alone (the window left out too), so that what is not pause can be put down to
    // its cause.
    std::vector<double> overPty, intoMemory, loopAlone;
    bool whole = true;
    for (int run = 0; run < imageRuns; ++run) {
        FarEnd far(pty, int(text.size()));
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(w.Command16, Qt::LeftButton);
        overPty.push_back(double(clock.nsecsElapsed()) / 1e6);
        whole = whole && far.bytes() == text.toLatin1();

        MemoryPort memory;
        SerialPort* line = std::exchange(w.MSComm1, &memory);
        clock.start();
        w.Command16_Click();
        intoMemory.push_back(double(clock.nsecsElapsed()) / 1e6);
        w.MSComm1 = line;

        MemoryPort bare;
        const SendPacing pacing{
            w.waitChars, [pauseMs] { return std::optional<int>(pauseMs); }, {}, {}};
        clock.start();
        sendText(bare, text, pacing);
        loopAlone.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    const double measured = median(overPty);
    const double pauses = double(waits) * pauseMs;
    const double wire = baud > 0 ? double(text.size()) * 10 * 1000 / baud : 0;

    Table table("Send to LCD of a 128x64 vertical image, default settings",
                {QStringLiteral("measurement"), QStringLiteral("figure")});
    table.row(
        {QStringLiteral("settings"), QStringLiteral("buffer %1, wait \"%2\", Xmit Delay %3 ms, %4")
                                         .arg(w.picBuffer)
                                         .arg(w.waitChars)
                                         .arg(pauseMs)
                                         .arg(w.MSComm1->Settings())});
    table.row({QStringLiteral("characters sent"),
               thousands(text.size()) + (whole ? QString() : QStringLiteral(" (some lost!)"))});
    table.row({QStringLiteral("wait characters"), thousands(waits)});
    table.row({QStringLiteral("measured, median of %1").arg(imageRuns), millis(measured)});
    table.row({QStringLiteral("ideal: waits x delay + characters x 10 bits / baud"),
               millis(pauses + wire)});
    table.row({QStringLiteral("measured / ideal"), ratio(measured / (pauses + wire))});
    table.row({QStringLiteral("of the ideal: the pauses"), millis(pauses)});
    table.row({QStringLiteral("of the ideal: the wire at %1 baud").arg(baud), millis(wire)});
    const double memory = median(intoMemory);
    const double loop = median(loopAlone);
    table.row({QStringLiteral("measured - pauses"), millis(measured - pauses)});
    table.row({QStringLiteral("of which sleeps waking late (loop alone - pauses)"),
               millis(loop - pauses)});
    table.row({QStringLiteral("of which echo and counter (into memory - loop alone)"),
               millis(memory - loop)});
    table.row({QStringLiteral("of which the writes (over the pty - into memory)"),
               millis(measured - memory)});
    table.print();
    printNote(QStringLiteral(
        "A pseudo-terminal ignores the baud rate: it takes every byte at once, so the measured "
        "time is the pauses plus the program's own work, and falls short of the ideal by "
        "about the wire time. The same send was also timed into memory (MemoryPort, no line) "
        "and as the send loop alone (no window, no line) to split what is not pause. On a "
        "real line a write returns once the driver has the byte, so a pause would overlap the "
        "wire time of the chunk before it."));
}

#pragma once

// The cost of "Send to LCD" per character as the window pays it: one write, the echo and the
// counter. Benchmarks call this too. The send goes out on the window's own port (a window made
// on a MemoryPort measures the window alone; an open QtSerialPort adds the system calls and the
// line's own pace); the transmit text holds no wait character, so no pause is counted.
#include "app/Main.h"
#include "app/TextBox.h"
#include "support/Controls.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <time.h>

struct SendCost {
    double wallUs = 0; // per character, the whole click
    double cpuUs = 0;  // per character, the CPU time of the window's thread (no sleeps)
};

inline double threadCpuUs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e6 + double(now.tv_nsec) / 1e3;
}

// `characters` characters of hex digits, as a table in the output window holds them.
inline QString hexDigits(int characters) {
    QString text;
    text.reserve(characters);
    for (int i = 0; i < characters; ++i)
        text += QLatin1Char("0123456789abcdef"[i % 16]);
    return text;
}

// The transmit text of a table of the user's own: Convert, `table` put in the output window over
// what Convert wrote, Reformat For Output. The transmit text is then the command header and
// `table` cut into PIC Buffer pieces, each opened by Wait Chr. False when Send to LCD is not
// armed afterwards.
inline bool reformatTable(Main& w, const QString& table) {
    clickControl(&w, QStringLiteral("Command9"));
    findControl<TextBox>(&w, QStringLiteral("Text3"))->setText(table);
    clickControl(&w, QStringLiteral("Command15"));
    return findControl<QPushButton>(&w, QStringLiteral("Command16"))->isEnabled();
}

// The same with Wait Chr emptied first: the transmit text is the command header (in lower case,
// as the transmit text always is) followed by `text`, without a wait character.
inline bool stageTransmitText(Main& w, const QString& text) {
    typeInto(findControl<QLineEdit>(&w, QStringLiteral("Text4")), QString());
    return reformatTable(w, text) && w.state().xmitText == w.state().pic.header.toLower() + text;
}

// One click of "Send to LCD" on the transmit text as it stands, per character of it.
inline SendCost sendToLcdCost(Main& w) {
    const qsizetype characters = w.state().xmitText.size();
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = threadCpuUs();
    clickControl(&w, QStringLiteral("Command16"));
    const double cpu = threadCpuUs() - cpuBefore;
    const qint64 elapsed = clock.nsecsElapsed();
    if (characters <= 0)
        return {};
    return {static_cast<double>(elapsed) / 1000.0 / double(characters), cpu / double(characters)};
}

#pragma once

// The cost of "Send to LCD" per character as the window pays it: one write, the echo and the
// counter. Benchmarks call this too. `port` stands in for the window's line for the run (a
// MemoryPort measures the window alone; an open QtSerialPort adds the system calls); the text
// holds no wait character, so no pause is counted.
#include "app/Main.h"

#include <QElapsedTimer>

inline double sendToLcdMicrosPerCharacter(Main& w, SerialPort& port, int characters) {
    QString text;
    text.reserve(characters);
    for (int i = 0; i < characters; ++i)
        text += QLatin1Char("0123456789abcdef"[i % 16]);
    w.xmitText = text;
    SerialPort* line = w.MSComm1;
    w.MSComm1 = &port;
    QElapsedTimer clock;
    clock.start();
    w.Command16_Click();
    const qint64 elapsed = clock.nsecsElapsed();
    w.MSComm1 = line;
    return characters > 0 ? static_cast<double>(elapsed) / 1000.0 / characters : 0.0;
}

#pragma once

// The cost of "Send to LCD" per character as the window pays it: one write, the echo and the
// counter. Benchmarks call this too. `port` stands in for the window's line for the run (a
// MemoryPort measures the window alone; an open QtSerialPort adds the system calls and the
// line's own pace); the text holds no wait character, so no pause is counted.
#include "app/Main.h"

#include <QElapsedTimer>
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

inline SendCost sendToLcdCost(Main& w, SerialPort& port, int characters) {
    QString text;
    text.reserve(characters);
    for (int i = 0; i < characters; ++i)
        text += QLatin1Char("0123456789abcdef"[i % 16]);
    w.xmitText = text;
    SerialPort* line = w.MSComm1;
    w.MSComm1 = &port;
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = threadCpuUs();
    w.Command16_Click();
    const double cpu = threadCpuUs() - cpuBefore;
    const qint64 elapsed = clock.nsecsElapsed();
    w.MSComm1 = line;
    if (characters <= 0)
        return {};
    return {static_cast<double>(elapsed) / 1000.0 / characters, cpu / characters};
}

inline double sendToLcdMicrosPerCharacter(Main& w, SerialPort& port, int characters) {
    return sendToLcdCost(w, port, characters).wallUs;
}

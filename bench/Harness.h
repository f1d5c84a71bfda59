#pragma once

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

// Median of repeated runs, in microseconds.
inline double medianMicros(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    times.reserve(static_cast<size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[static_cast<size_t>(runs / 2)];
}

inline void printRow(const QString& what, const QString& figure, const QString& note = {}) {
    std::printf("| %-52s | %16s | %s |\n", qPrintable(what), qPrintable(figure), qPrintable(note));
    std::fflush(stdout);
}

inline void printHeading(const char* title) {
    std::printf("\n### %s\n\n| measurement | figure | note |\n|---|---|---|\n", title);
}

// Keeps the optimiser from dropping work whose result is otherwise unused.
template <class T> inline void keep(const T& value) {
    asm volatile("" : : "g"(&value) : "memory");
}

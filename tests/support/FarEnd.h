#pragma once

// The far end of a pseudo-terminal line, read on a thread of its own while a send blocks the
// test's thread. Waiting for what arrived keeps the event loop turning.
#include "support/PtyPair.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <functional>
#include <future>
#include <vector>

// Reads the far end of the line on another thread until `count` bytes are in, then runs
// `then` on that thread (closing the master there hangs up in the middle of a send).
class FarEnd {
public:
    FarEnd(PtyPair& pty, int count, std::function<void(PtyPair&)> then = {})
        : m_bytes(std::async(std::launch::async, [&pty, count, then] {
              QByteArray bytes = pty.read(count, 20000);
              if (then)
                  then(pty);
              return bytes;
          })) {}

    // What arrived. Keeps the event loop turning meanwhile: bytes the driver could not take
    // during the send leave the port's queue only from there.
    QByteArray bytes() {
        while (m_bytes.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return m_bytes.get();
    }

private:
    std::future<QByteArray> m_bytes;
};

// A far end that notes when each byte arrived (steady clock, nanoseconds), for the tests that
// time the line. A reader that wakes late notes a byte late, never early.
class TimedFarEnd {
public:
    struct Arrival {
        char byte;
        qint64 ns;
    };
    TimedFarEnd(PtyPair& pty, int count)
        : m_arrivals(std::async(std::launch::async, [&pty, count] {
              std::vector<Arrival> arrivals;
              QElapsedTimer clock;
              clock.start();
              while (int(arrivals.size()) < count && clock.elapsed() < 20000) {
                  const QByteArray bytes = pty.readSome(20);
                  const qint64 now = steadyNs();
                  for (const char b : bytes)
                      arrivals.push_back({b, now});
              }
              return arrivals;
          })) {}

    static qint64 steadyNs() {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    std::vector<Arrival> arrivals() {
        while (m_arrivals.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return m_arrivals.get();
    }

private:
    std::future<std::vector<Arrival>> m_arrivals;
};

// Everything that arrives at the far end until nothing more has come for `quietMs`, with the
// event loop turning meanwhile: a port that queues bytes itself passes them on from there.
inline QByteArray readUntilQuiet(PtyPair& pty, int quietMs = 200) {
    QByteArray bytes;
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < quietMs) {
        QCoreApplication::processEvents();
        const QByteArray more = pty.readSome(5);
        if (!more.isEmpty()) {
            bytes += more;
            quiet.restart();
        }
    }
    return bytes;
}

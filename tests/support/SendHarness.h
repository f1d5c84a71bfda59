#pragma once

// The window with its port on a pseudo-terminal, message boxes answered from a timer, and a far
// end read on its own thread while a send blocks the window's thread.
#include "app/Main.h"
#include "link/QtSerialPort.h"
#include "link/SerialPort.h"
#include "support/PtyPair.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QtTest>
#include <chrono>
#include <future>
#include <vector>

// Opens `port`, the window's port, the way the user does ("Open"), on the pseudo-terminal as Com1.
inline bool openOnPty(Main& w, SerialPort& port, PtyPair& pty) {
    qputenv("QUORVEL_COM1", pty.slavePath().toLocal8Bit());
    if (!port.PortOpen())
        clickControl(&w, QStringLiteral("cmdcomm"));
    // From here on only the window holds the line, so a closed master reads as a hang-up.
    pty.closeSlave();
    return port.PortOpen();
}

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
            QApplication::processEvents();
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
            QApplication::processEvents();
        return m_arrivals.get();
    }

private:
    std::future<std::vector<Arrival>> m_arrivals;
};

// What the tests that send start from: the window shown on a port of the test's own, opened
// with "Open" on a fresh pseudo-terminal, and its message boxes answered (OK unless
// `modals->button` says otherwise). A class deriving from it declares its own init() and
// cleanup() and calls openOnLine() and closeOnLine() from them.
class WindowOnPty : public WindowTest {
protected:
    WindowOnPty() : WindowTest(true) {}

    // From init(): a failed check here fails init(), and the test does not run. Without a port
    // the window gets `line`, a QtSerialPort on the pseudo-terminal; a port given (it must
    // outlive the window) is opened with "Open" as it is.
    void openOnLine(SerialPort* given = nullptr) {
        pty = new PtyPair;
        QVERIFY(pty->isValid());
        if (!given)
            line = new QtSerialPort;
        port = given ? given : line;
        openWindow(port);
        QVERIFY(w);
        if (given) {
            given->setPortOpen(false);
            click(QStringLiteral("cmdcomm"));
            QVERIFY(given->PortOpen());
        } else {
            QVERIFY(openOnPty(*w, *line, *pty));
        }
    }
    void closeOnLine() {
        closeWindow();
        delete pty;
        delete line;
        pty = nullptr;
        line = nullptr;
        port = nullptr;
    }

    PtyPair* pty = nullptr;
    QtSerialPort* line = nullptr; // the window's port unless the test gave its own
    SerialPort* port = nullptr;   // the window's port
};

#pragma once

// The window with its port on a pseudo-terminal, message boxes answered from a timer, and a far
// end read on its own thread while a send blocks the window's thread.
#include "app/Main.h"
#include "link/SerialPort.h"
#include "support/Modals.h"
#include "support/PtyPair.h"

#include <QApplication>
#include <QtTest>
#include <chrono>
#include <future>
#include <vector>

// Opens the port the way the user does, on the pseudo-terminal as Com1.
inline bool openOnPty(Main& w, PtyPair& pty) {
    qputenv("QUORVEL_COM1", pty.slavePath().toLocal8Bit());
    if (!w.MSComm1->PortOpen())
        w.cmdcomm_Click();
    // From here on only the window holds the line, so a closed master reads as a hang-up.
    pty.closeSlave();
    return w.MSComm1->PortOpen();
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

// What the tests that send start from: the window shown, its port open on a fresh
// pseudo-terminal, and its message boxes answered (OK unless `modals->button` says otherwise).
class WindowOnPty : public QObject {
protected:
    // From init(): a failed check here fails init(), and the test does not run.
    void openWindow() {
        w = new Main;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        pty = new PtyPair;
        QVERIFY(pty->isValid());
        modals = new Modals;
        QVERIFY(openOnPty(*w, *pty));
    }
    void closeWindow() {
        delete w;
        delete modals;
        delete pty;
        w = nullptr;
        modals = nullptr;
        pty = nullptr;
    }

    Main* w = nullptr;
    PtyPair* pty = nullptr;
    Modals* modals = nullptr;
};

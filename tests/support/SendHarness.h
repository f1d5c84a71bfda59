#pragma once

// The window with its port on a pseudo-terminal, message boxes answered from a timer, and a far
// end read on its own thread while a send blocks the window's thread.
#include "app/Main.h"
#include "link/QtSerialPort.h"
#include "link/SerialPort.h"
#include "support/FarEnd.h"
#include "support/PtyPair.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QtTest>

// Opens `port`, the window's port, the way the user does ("Open"), on the pseudo-terminal as Com1.
inline bool openOnPty(Main& w, SerialPort& port, PtyPair& pty) {
    qputenv("QUORVEL_COM1", pty.slavePath().toLocal8Bit());
    if (!port.PortOpen())
        clickControl(&w, QStringLiteral("cmdcomm"));
    // From here on only the window holds the line, so a closed master reads as a hang-up.
    pty.closeSlave();
    return port.PortOpen();
}

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

#pragma once

// The window with its port on a pseudo-terminal, message boxes answered from a timer, and a far
// end read on its own thread while a send blocks the window's thread.
#include "app/Main.h"
#include "link/SerialPort.h"
#include "support/PtyPair.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <future>

// Opens the port the way the user does, on the pseudo-terminal as Com1.
inline bool openOnPty(Main& w, PtyPair& pty) {
    qputenv("QUORVEL_COM1", pty.slavePath().toLocal8Bit());
    if (!w.MSComm1->PortOpen())
        w.cmdcomm_Click();
    // From here on only the window holds the line, so a closed master reads as a hang-up.
    pty.closeSlave();
    return w.MSComm1->PortOpen();
}

// Answers every message box shown while `owner` lives with `button` (OK when the box has no
// such button) and keeps the texts.
inline void answerBoxes(QObject* owner, QStringList* texts,
                        QMessageBox::StandardButton button = QMessageBox::Ok) {
    auto* timer = new QTimer(owner);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, owner, [texts, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        *texts << box->text();
        QAbstractButton* chosen = box->button(button);
        if (!chosen)
            chosen = box->button(QMessageBox::Ok);
        chosen->click();
    });
    timer->start();
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

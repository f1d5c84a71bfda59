// Sending the transmit text and the clipboard to the PIC.
#include "app/Main.h"

#include "app/CommIndicator.h"
#include "app/TextBox.h"
#include "convert/OutputText.h"
#include "link/PauseText.h"
#include "link/SendLoop.h"
#include "link/SerialPort.h"
#include "link/TerminalKeys.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <chrono>
#include <thread>
#include <utility>

namespace {
void showCommBusy(QLabel* comm) {
    comm_indicator::showBusy(comm);
    comm->repaint(); // the send that follows runs no event loop
}

// A send blocks the thread, so nothing gets painted unless we paint it. Painting every
// character would cost more than the line itself; about 60 times a second is what the eye
// takes in. The echo is a prefix of the text being sent, so only the new part is handed over.
//
// The box lays its one long line out again at every change, which costs as much as the line is
// long: so while the send runs, the box holds only the newest part of the echo, from a start
// that moves on in steps of `window` characters, and each update costs about what it adds.
// finish() hands over the whole echo, once.
class SendEchoDisplay {
public:
    SendEchoDisplay(const QString& text, TextBox* echo, QLabel* remaining, QLabel* comm)
        : m_text(text), m_echo(echo), m_remaining(remaining), m_comm(comm) {
        show(); // the emptied echo, the full count and "Busy" before the first character
    }

    // After every character. A frame that falls due here waits a little for a pause, where the
    // line is busy sending anyway: painting between two characters of a chunk can leave the
    // wire idle.
    void progress(qsizetype sent) {
        m_sent = sent;
        if (m_clock.nsecsElapsed() >= lateFrameNs)
            show();
    }

    // While the send waits for the line: the time to paint, then the rest of the wait.
    void waitForLine(qint64 ns) {
        QElapsedTimer spent;
        spent.start();
        if (m_clock.nsecsElapsed() >= framePeriodNs)
            show();
        const qint64 left = ns - spent.nsecsElapsed();
        if (left > 0)
            std::this_thread::sleep_for(std::chrono::nanoseconds(left));
    }

    // Brings the widgets up to date; also on the error path, before the message box.
    void finish() { show(true); }

private:
    static constexpr qint64 framePeriodNs = 1000000000 / 60;
    static constexpr qint64 lateFrameNs = 3 * framePeriodNs;
    static constexpr qsizetype window = 4096;

    void show(bool whole = false) {
        if (whole && m_start > 0) {
            m_start = 0;
            m_shown = 0;
            m_echo->setText(QString());
        }
        if (m_sent > m_shown) {
            if (!whole && m_sent - m_start > 2 * window) {
                m_start = (m_sent - window) / window * window;
                m_echo->setText(m_text.mid(m_start, m_sent - m_start));
            } else {
                m_echo->appendText(m_text.mid(m_shown, m_sent - m_shown));
            }
            m_shown = m_sent;
            m_echo->verticalScrollBar()->setValue(m_echo->verticalScrollBar()->maximum());
        }
        m_remaining->setText(QString::number(m_text.size() - m_sent));
        m_echo->viewport()->repaint();
        m_remaining->repaint();
        m_comm->repaint();
        // Counted from the end of the update: however long one takes, the send gets a frame's
        // time of its own before the next.
        m_clock.start();
    }

    const QString& m_text;
    TextBox* m_echo;
    QLabel* m_remaining;
    QLabel* m_comm;
    QElapsedTimer m_clock;
    qsizetype m_sent = 0;
    qsizetype m_shown = 0;
    qsizetype m_start = 0; // where the part of the echo the box holds begins
};
} // namespace

void Main::Command16_Click() {
    if (!ui.MSComm1->PortOpen()) {
        msgBox(QStringLiteral("Please, open Comm Port first."));
        return;
    }
    ui.Text3->setText(QString());
    setBusyPointer(true);
    ui.lblrem->setText(QString::number(m_state.xmitText.size()));
    ui.Command16->setEnabled(false);
    if (ui.Timer1->isActive())
        ui.Timer1->stop();
    showCommBusy(ui.comm);

    // The send reads xmitText while the display hands its prefix to Text3: no copy is needed
    // because nothing can change xmitText until the send returns.
    SendEchoDisplay display(m_state.xmitText, ui.Text3, ui.lblrem, ui.comm);
    SendPacing pacing;
    pacing.waitString = m_state.pic.waitChars;
    pacing.pause = [this] { return sendToLcdPause(ui.xmitdelay->text()); };
    pacing.waitForLine = [&display](qint64 ns) { display.waitForLine(ns); };
    const SendResult result = sendText(*ui.MSComm1, m_state.xmitText, pacing,
                                       [&display](qsizetype sent) { display.progress(sent); });
    display.finish();

    if (!result.ok()) {
        // comm and Timer1 stay as the failure found them: the state says the send did not end.
        if (result.stop == SendResult::Stop::WriteFailed)
            m_terminalFaultReported = true; // the next key or poll does not report it again
        QString message = QStringLiteral("Error - Check Settings!");
        if (result.stop == SendResult::Stop::BadPause)
            message += QLatin1Char('\n') + xmitDelayRefusal(ui.xmitdelay->text());
        msgBox(message);
        beep();
        ui.Command16->setEnabled(true);
        setBusyPointer(false);
        return;
    }
    comm_indicator::showOn(ui.comm);
    ui.Timer1->start();
    beep();
    ui.Command16->setEnabled(true);
    setBusyPointer(false);
}

void Main::Command4_Click() {
    const auto answer = msgBox(
        QStringLiteral("Are you sure?\n\rAnything in the clipboard will be sent immediately"),
        QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) {
        beep();
        return;
    }
    const QString delayText = ui.xmitdelay->text();
    const std::optional<int> pause = pasteAndSendPause(delayText);
    const QString wait = trimSpaces(ui.Text4->text());
    if (!ui.MSComm1->PortOpen())
        return;
    // Nothing has been shown or sent yet: a delay that cannot be used stops the send whole.
    if (!pause) {
        msgBox(QStringLiteral("Error - Check Settings!\n") + xmitDelayRefusal(delayText));
        return;
    }
    ui.Text2->setText(QGuiApplication::clipboard()->text());
    ui.Text2->setText(ui.Text2->text().toLower());
    ui.Text2->viewport()->repaint();

    // Counted and sent as the terminal keys are: one character beyond Latin-1 is one "?".
    const QString text = lineCharacters(trimSpaces(ui.Text2->text()));
    showCommBusy(ui.comm);
    SendPacing pacing;
    pacing.waitString = wait;
    pacing.pause = [pause] { return pause; };
    const SendResult result = sendText(*ui.MSComm1, text, pacing);
    comm_indicator::showOn(ui.comm);
    // One fault, one message: a poll during the confirmation may have found the line gone and
    // said so already, and the next poll says nothing after this one.
    if (!result.ok() && !std::exchange(m_terminalFaultReported, true)) {
        msgBox(QStringLiteral("Error - Check Settings!\nThe port failed after %1 of %2 "
                              "characters had been sent: %3")
                   .arg(result.sent)
                   .arg(text.size())
                   .arg(result.portError));
    }
}

// The receive monitor and the terminal keys.
#include "app/Main.h"

#include "app/TextBox.h"
#include "link/ReceiveFilter.h"
#include "link/SerialPort.h"

#include <QScrollBar>
#include <QTimer>

void Main::Timer1_Timer() {
    // A port closed under the poll has nothing to give; ticking on would only spin.
    if (!ui.MSComm1->PortOpen()) {
        ui.Timer1->stop();
        return;
    }
    const QString received = ui.MSComm1->Input();
    if (ui.MSComm1->inputFailed()) {
        // The line is gone: say so once and stop polling; Close and Open bring it back.
        ui.Timer1->stop();
        reportLineFault(ui.MSComm1->errorString());
        return;
    }
    m_terminalFaultReported = false;
    const ReceiveUpdate update =
        receiveIntoWindow(ui.Text1->text(), received, ui.Text1->maxLength());
    switch (update.action) {
    case ReceiveUpdate::Action::None:
        return;
    case ReceiveUpdate::Action::Replace:
        ui.Text1->setText(update.text);
        break;
    case ReceiveUpdate::Action::Append:
        ui.Text1->appendText(update.text);
        break;
    }
    // A terminal shows the newest line, wherever the user left the view.
    ui.Text1->verticalScrollBar()->setValue(ui.Text1->verticalScrollBar()->maximum());
}

void Main::Text1_Change() {
    // Typing or pasting up to the limit starts the window afresh; the poll never lets received
    // text reach the limit (it restarts the window with the new piece instead).
    if (ui.Text1->maxLength() > 0 && ui.Text1->text().size() == ui.Text1->maxLength())
        ui.Text1->setText(QString());
}

void Main::Text2_KeyPress(int keyAscii) {
    if (!ui.MSComm1->PortOpen())
        return;
    if (ui.MSComm1->Output(QString(QChar(keyAscii)))) {
        m_terminalFaultReported = false;
        return;
    }
    reportLineFault(QStringLiteral("The key could not be sent: ") + ui.MSComm1->errorString());
}

// One message for a line that fails, whether a key or the poll finds it first; none again until
// the line works. Shown after the current event, not from inside a key's handling.
void Main::reportLineFault(const QString& reason) {
    if (m_terminalFaultReported)
        return;
    m_terminalFaultReported = true;
    const QString text = QStringLiteral("Error - Check Settings!\n") + reason;
    QTimer::singleShot(0, this, [this, text] { msgBox(text); });
}

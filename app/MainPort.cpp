// Opening and closing the serial port, its line settings, handshake and buffer.
#include "app/Main.h"

#include "app/CommIndicator.h"
#include "app/TextBox.h"
#include "link/NumberText.h"
#include "link/OpenFailure.h"
#include "link/QtSerialPort.h"
#include "link/ReceiveFilter.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

void Main::initPortControls() {
    refreshPortTooltips();
}

void Main::refreshPortTooltips() {
    // A device can come or go (USB adapters), so the tooltips are brought up to date at every
    // open and close as well.
    for (int port = 1; port <= 2; ++port) {
        const QString device = deviceForCommPort(port);
        Option1[port - 1]->setToolTip(
            device.isEmpty() ? QStringLiteral("Com%1: this machine has no serial port %1").arg(port)
                             : QStringLiteral("Com%1 opens %2").arg(port).arg(device));
    }
}

void Main::cmdcomm_Click() {
    if (MSComm1->PortOpen())
        closePort();
    else
        openPort();
    refreshPortTooltips();
}

void Main::openPort() {
    Text1->setText(receivePlaceholder());
    cmdbuff->setEnabled(false);
    if (const QListWidgetItem* setting = List1->currentItem();
        setting && !MSComm1->setSettings(setting->text()))
        return portFailed();
    MSComm1->setCommPort(Option1[0]->isChecked() ? 1 : 2);
    if (!MSComm1->setPortOpen(true))
        return portFailed();
    m_terminalFaultReported = false; // a new line: its faults are new
    Timer1->start();
    Command4->setEnabled(true);
    setBackColour(Text1, QColor(255, 255, 192));
    setBackColour(Text2, QColor(192, 255, 192));
    lblxmit->setVisible(true);
    beep();
    comm_indicator::showOn(comm);
    cmdcomm->setText(QStringLiteral("Close"));
    Command4->setEnabled(true);
}

void Main::closePort() {
    if (!MSComm1->setPortOpen(false))
        return portFailed();
    Timer1->stop();
    cmdbuff->setEnabled(true);
    if (Text1->text() == receivePlaceholder())
        Text1->setText(QStringLiteral("Serial Input from PIC"));
    lblxmit->setVisible(false);
    setBackColour(Text1, Qt::white);
    setBackColour(Text2, Qt::white);
    Text2->setText(QString());
    beep();
    Command4->setEnabled(false);
    comm_indicator::showOff(comm);
    cmdcomm->setText(QStringLiteral("Open"));
}

void Main::portFailed() {
    const int port = MSComm1->CommPort();
    const QString device = deviceForCommPort(port);
    msgBox(QStringLiteral("Error opening Comm:%1\n").arg(port) +
           openFailureReason(port, device, MSComm1->errorString(), devicePermissionDenied(device)));
    Command4->setEnabled(false);
}

// The three values go to the port in this order; one that cannot be taken is reported by the
// name of its box and stops the rest, leaving those before it in force.
void Main::cmdbuff_Click() {
    if (const QListWidgetItem* setting = List1->currentItem();
        setting && !MSComm1->setSettings(setting->text())) {
        msgBox(QStringLiteral("Setting: %1").arg(MSComm1->errorString()));
        return;
    }

    const auto bytes = readRounded(combuff->text(), 1, 32767);
    if (!bytes) {
        msgBox(QStringLiteral("Com out buff must be a whole number of bytes from 1 to 32767, "
                              "not \"%1\"")
                   .arg(combuff->text()));
        return;
    }
    if (!MSComm1->setOutBufferSize(static_cast<int>(*bytes))) {
        msgBox(QStringLiteral("Com out buff: %1").arg(MSComm1->errorString()));
        return;
    }

    const int handshake = proto->currentRow();
    if (handshake < 0) {
        msgBox(QStringLiteral("Handshake: choose Off, XoXoff, Rts or XonRts first"));
        return;
    }
    if (!MSComm1->setHandshaking(handshake))
        msgBox(QStringLiteral("Handshake: %1").arg(MSComm1->errorString()));
}

void Main::List1_Click() {
    const QListWidgetItem* item = List1->currentItem();
    if (!item)
        return;
    if (!MSComm1->setSettings(item->text()))
        msgBox(QStringLiteral("Setting: %1").arg(MSComm1->errorString()));
    Label2->setText(MSComm1->Settings());
}

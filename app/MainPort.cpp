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
        ui.Option1[port - 1]->setToolTip(
            device.isEmpty() ? QStringLiteral("Com%1: this machine has no serial port %1").arg(port)
                             : QStringLiteral("Com%1 opens %2").arg(port).arg(device));
    }
}

void Main::cmdcomm_Click() {
    if (ui.MSComm1->PortOpen())
        closePort();
    else
        openPort();
    refreshPortTooltips();
}

void Main::openPort() {
    ui.Text1->setText(receivePlaceholder());
    ui.cmdbuff->setEnabled(false);
    if (const QListWidgetItem* setting = ui.List1->currentItem();
        setting && !ui.MSComm1->setSettings(setting->text()))
        return portFailed();
    ui.MSComm1->setCommPort(ui.Option1[0]->isChecked() ? 1 : 2);
    if (!ui.MSComm1->setPortOpen(true))
        return portFailed();
    m_terminalFaultReported = false; // a new line: its faults are new
    ui.Timer1->start();
    ui.Command4->setEnabled(true);
    setBackColour(ui.Text1, QColor(255, 255, 192));
    setBackColour(ui.Text2, QColor(192, 255, 192));
    ui.lblxmit->setVisible(true);
    beep();
    comm_indicator::showOn(ui.comm);
    ui.cmdcomm->setText(QStringLiteral("Close"));
    ui.Command4->setEnabled(true);
}

void Main::closePort() {
    if (!ui.MSComm1->setPortOpen(false))
        return portFailed();
    ui.Timer1->stop();
    ui.cmdbuff->setEnabled(true);
    if (ui.Text1->text() == receivePlaceholder())
        ui.Text1->setText(QStringLiteral("Serial Input from PIC"));
    ui.lblxmit->setVisible(false);
    setBackColour(ui.Text1, Qt::white);
    setBackColour(ui.Text2, Qt::white);
    ui.Text2->setText(QString());
    beep();
    ui.Command4->setEnabled(false);
    comm_indicator::showOff(ui.comm);
    ui.cmdcomm->setText(QStringLiteral("Open"));
}

void Main::portFailed() {
    const int port = ui.MSComm1->CommPort();
    const QString device = deviceForCommPort(port);
    msgBox(
        QStringLiteral("Error opening Comm:%1\n").arg(port) +
        openFailureReason(port, device, ui.MSComm1->errorString(), devicePermissionDenied(device)));
    ui.Command4->setEnabled(false);
}

// The three values go to the port in this order; one that cannot be taken is reported by the
// name of its box and stops the rest, leaving those before it in force.
void Main::cmdbuff_Click() {
    if (const QListWidgetItem* setting = ui.List1->currentItem();
        setting && !ui.MSComm1->setSettings(setting->text())) {
        msgBox(QStringLiteral("Setting: %1").arg(ui.MSComm1->errorString()));
        return;
    }

    const auto bytes = readRounded(ui.combuff->text(), 1, 32767);
    if (!bytes) {
        msgBox(QStringLiteral("Com out buff must be a whole number of bytes from 1 to 32767, "
                              "not \"%1\"")
                   .arg(ui.combuff->text()));
        return;
    }
    if (!ui.MSComm1->setOutBufferSize(static_cast<int>(*bytes))) {
        msgBox(QStringLiteral("Com out buff: %1").arg(ui.MSComm1->errorString()));
        return;
    }

    const int handshake = ui.proto->currentRow();
    if (handshake < 0) {
        msgBox(QStringLiteral("Handshake: choose Off, XoXoff, Rts or XonRts first"));
        return;
    }
    if (!ui.MSComm1->setHandshaking(handshake))
        msgBox(QStringLiteral("Handshake: %1").arg(ui.MSComm1->errorString()));
}

void Main::List1_Click() {
    const QListWidgetItem* item = ui.List1->currentItem();
    if (!item)
        return;
    if (!ui.MSComm1->setSettings(item->text()))
        msgBox(QStringLiteral("Setting: %1").arg(ui.MSComm1->errorString()));
    ui.Label2->setText(ui.MSComm1->Settings());
}

// Opening and closing the serial port, its line settings, handshake and buffer.
#include "app/Main.h"

#include "link/SerialPort.h"

#include <QLabel>
#include <QListWidget>

void Main::cmdcomm_Click() {}
void Main::cmdbuff_Click() {}

void Main::List1_Click() {
    const QListWidgetItem* item = List1->currentItem();
    if (!item)
        return;
    MSComm1->setSettings(item->text());
    Label2->setText(MSComm1->Settings());
}

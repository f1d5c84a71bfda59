// PIC load parameters and the command header.
#include "app/Main.h"

#include "link/CommandHeader.h"
#include "link/NumberText.h"
#include "link/SerialPort.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {
// The line breaks of this box are a line feed followed by a carriage return, in that order.
const QString lineBreak = QStringLiteral("\n\r");

// The whole number a PIC list entry reads, or `current` when the list has no selection.
int listValue(const QListWidget* list, int current) {
    const QListWidgetItem* item = list->currentItem();
    const auto value = item ? readRounded(item->text(), 0, 32767) : std::nullopt;
    return value ? static_cast<int>(*value) : current;
}
} // namespace

bool Main::getparam(QString* failure) {
    if (!eepromMode)
        matrixHorizontal = LCD->isHidden() ? 0 : 1;
    HeaderParameters parameters;
    parameters.eepromMode = eepromMode;
    parameters.lcdSizeIndex = lcdSizeIndex;
    parameters.picBuffer = picBuffer;
    parameters.picDelay = picDelay;
    parameters.startAddress = eeprom->text();
    const CommandHeader header = buildCommandHeader(parameters);
    // On a failure the fields built so far stay in picHeader, as the PIC would have got them.
    picHeader = header.text;
    if (!header.ok() && failure)
        *failure = header.failure;
    return header.ok();
}

// The entries are the values themselves ("2" .. "128", "5" .. "100").
void Main::List2_Click() {
    picBuffer = listValue(List2, picBuffer);
}

void Main::List3_Click() {
    picDelay = listValue(List3, picDelay);
}

void Main::Text4_Change() {
    waitChars = Text4->text();
}

void Main::cmdApply_Click() {
    waitChars = Text4->text();
    picBuffer = listValue(List2, picBuffer);
    picDelay = listValue(List3, picDelay);
    msgBox(QStringLiteral("Settings Now") + lineBreak + QStringLiteral("Buffer:") +
           QString::number(picBuffer) + lineBreak + QStringLiteral("Delay:") +
           QString::number(picDelay) + lineBreak + QStringLiteral("Wait Char(s): ") + waitChars +
           lineBreak + QStringLiteral("Xmit Delay:") + xmitdelay->text());
}

void Main::Check1_Click() {
    const bool eepromTicked = Check1->isChecked();
    Command16->setText(eepromTicked ? QStringLiteral("Load Eeprom")
                                    : QStringLiteral("Send to LCD"));
    eeprom->setEnabled(eepromTicked);
    setBackColour(eeprom, eepromTicked ? QApplication::palette(eeprom).color(QPalette::Base)
                                       : QColor(128, 128, 128));
    Frame7->setTitle(eepromTicked ? QStringLiteral("Directly load  I2C Eeprom")
                                  : QStringLiteral("Directly load LCD"));
    if (!eepromTicked)
        eeprom->setText(QStringLiteral("00000"));
    eepromMode = eepromTicked;
    // The EEPROM needs its write cycle between chunks, the LCD does not.
    xmitdelay->setText(eepromTicked ? QStringLiteral("100") : QStringLiteral("5"));
}

void Main::cmdlcd_Click() {
    if (!MSComm1->PortOpen()) {
        beep();
        msgBox(QStringLiteral("Port not open!"));
        return;
    }
    if (!MSComm1->Output(displayEepromCommand))
        msgBox(QStringLiteral("Error: %1").arg(MSComm1->errorString()));
}

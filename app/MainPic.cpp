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
    HeaderParameters parameters;
    parameters.eepromMode = m_state.pic.eepromMode;
    parameters.lcdSizeIndex = m_state.panelIndex();
    parameters.picBuffer = m_state.pic.buffer;
    parameters.picDelay = m_state.pic.delayMs;
    parameters.startAddress = ui.eeprom->text();
    const CommandHeader header = buildCommandHeader(parameters);
    // On a failure the fields built so far stay in picHeader, as the PIC would have got them.
    m_state.pic.header = header.text;
    if (!header.ok() && failure)
        *failure = header.failure;
    return header.ok();
}

// The entries are the values themselves ("2" .. "128", "5" .. "100").
void Main::List2_Click() {
    m_state.pic.buffer = listValue(ui.List2, m_state.pic.buffer);
}

void Main::List3_Click() {
    m_state.pic.delayMs = listValue(ui.List3, m_state.pic.delayMs);
}

void Main::Text4_Change() {
    m_state.pic.waitChars = ui.Text4->text();
}

void Main::cmdApply_Click() {
    m_state.pic.waitChars = ui.Text4->text();
    m_state.pic.buffer = listValue(ui.List2, m_state.pic.buffer);
    m_state.pic.delayMs = listValue(ui.List3, m_state.pic.delayMs);
    msgBox(QStringLiteral("Settings Now") + lineBreak + QStringLiteral("Buffer:") +
           QString::number(m_state.pic.buffer) + lineBreak + QStringLiteral("Delay:") +
           QString::number(m_state.pic.delayMs) + lineBreak + QStringLiteral("Wait Char(s): ") +
           m_state.pic.waitChars + lineBreak + QStringLiteral("Xmit Delay:") +
           ui.xmitdelay->text());
}

void Main::Check1_Click() {
    const bool eepromTicked = ui.Check1->isChecked();
    ui.Command16->setText(eepromTicked ? QStringLiteral("Load Eeprom")
                                       : QStringLiteral("Send to LCD"));
    ui.eeprom->setEnabled(eepromTicked);
    setBackColour(ui.eeprom, eepromTicked ? QApplication::palette(ui.eeprom).color(QPalette::Base)
                                          : QColor(128, 128, 128));
    ui.Frame7->setTitle(eepromTicked ? QStringLiteral("Directly load  I2C Eeprom")
                                     : QStringLiteral("Directly load LCD"));
    if (!eepromTicked)
        ui.eeprom->setText(QStringLiteral("00000"));
    m_state.pic.eepromMode = eepromTicked;
    // The EEPROM needs its write cycle between chunks, the LCD does not.
    ui.xmitdelay->setText(eepromTicked ? QStringLiteral("100") : QStringLiteral("5"));
}

void Main::cmdlcd_Click() {
    if (!ui.MSComm1->PortOpen()) {
        beep();
        msgBox(QStringLiteral("Port not open!"));
        return;
    }
    if (!ui.MSComm1->Output(displayEepromCommand))
        msgBox(QStringLiteral("Error: %1").arg(ui.MSComm1->errorString()));
}

// The output window's buttons.
#include "app/Main.h"

#include "app/CommonDialog.h"
#include "app/TextBox.h"
#include "convert/FileAccess.h"
#include "convert/TransmitText.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

void Main::Command15_Click() {
    // A decorated table cannot be cut into the PIC's hex stream.
    ReformatInput input;
    input.windowText = ui.Text3->text();
    input.format = outputFormatNow();
    input.header = m_state.pic.header;
    input.pieceLength = m_state.pic.buffer;
    input.waitChars = m_state.pic.waitChars;
    const Reformatted reformatted = reformatForOutput(input);
    if (!reformatted.ok()) {
        msgBox(reformatted.refusal);
        return;
    }
    m_state.convText = reformatted.convText;
    m_state.xmitText = reformatted.xmitText;
    ui.Text3->setText(m_state.xmitText);
    ui.Command15->setEnabled(false);
    // A setting changed between Convert and this Reformat already makes the stream stale.
    m_state.reformatted();
    ui.Command16->setEnabled(m_state.transmitCurrent());
    refreshSendButton();
}

TransmitBasis Main::transmitBasisNow() const {
    TransmitBasis basis;
    basis.canvasRevision = m_state.canvas.revision();
    basis.lcdSizeIndex = m_state.panelIndex();
    basis.horizontal = !ui.Option2[0]->isChecked();
    basis.inverted = ui.chkinvert->isChecked();
    basis.eepromMode = ui.Check1->isChecked();
    basis.startAddress = ui.eeprom->text();
    basis.picBufferEntry = ui.List2->currentRow();
    basis.picDelayEntry = ui.List3->currentRow();
    basis.waitChars = ui.Text4->text();
    basis.format = outputFormatNow();
    return basis;
}

void Main::refreshSendButton() {
    if (!m_state.transmitCurrent())
        return;
    const QStringList reasons = m_state.disarmIfStale(transmitBasisNow());
    if (reasons.isEmpty()) {
        ui.Command16->setToolTip(QString());
        return;
    }
    ui.Command16->setEnabled(false);
    ui.Command16->setToolTip(QStringLiteral("Convert and Reformat again: %1 changed since")
                                 .arg(reasons.join(QStringLiteral(", "))));
}

void Main::watchTransmitBasis() {
    // Controls are read directly, not the state their own handlers keep, so the order in which
    // the handlers of one change run does not matter.
    m_state.canvas.setChangeListener([this] { refreshSendButton(); });
    const auto refresh = [this] { refreshSendButton(); };
    for (QRadioButton* option : ui.optgrf)
        connect(option, &QRadioButton::toggled, this, refresh);
    for (QRadioButton* option : ui.Option2)
        connect(option, &QRadioButton::toggled, this, refresh);
    connect(ui.chkinvert, &QCheckBox::toggled, this, refresh);
    connect(ui.Check1, &QCheckBox::toggled, this, refresh);
    connect(ui.List2, &QListWidget::currentRowChanged, this, refresh);
    connect(ui.List3, &QListWidget::currentRowChanged, this, refresh);
    for (QLineEdit* box : {ui.eeprom, ui.Text4, ui.txtfrmt, ui.txtDelim, ui.txthead, ui.txtfoot})
        connect(box, &QLineEdit::textChanged, this, refresh);
}

void Main::txtcase_Click() {
    // The caption names what the next click does.
    if (ui.txtcase->text() == QLatin1String("&UpCase")) {
        ui.txtcase->setText(QStringLiteral("&LowCase"));
        ui.Text3->setText(ui.Text3->text().toUpper());
    } else {
        ui.txtcase->setText(QStringLiteral("&UpCase"));
        ui.Text3->setText(ui.Text3->text().toLower());
    }
}

void Main::Command11_Click() {
    QGuiApplication::clipboard()->setText(ui.Text3->text());
    msgBox(QStringLiteral("Text copied to Clipboad"));
}

void Main::Command12_Click() {
    ui.commdlg->DialogTitle = QStringLiteral("LCD File to Save");
    ui.commdlg->Filter = QStringLiteral("Text(*.txt)|*.txt|Basic (*.bas)|*.bas");
    ui.commdlg->FileName = QStringLiteral("*.txt");
    ui.commdlg->DefaultExt = QStringLiteral("*.txt");
    ui.commdlg->ShowSave();
    if (ui.commdlg->FileName.isEmpty())
        return;
    const FileResult written = writeLatin1TextFile(ui.commdlg->FileName, ui.Text3->text());
    if (!written.ok())
        msgBox(QStringLiteral("File Save Error - ") + written.failure);
}

void Main::Command13_Click() {
    ui.Text3->setText(QString());
    m_state.pic.header.clear();
    ui.Command12->setEnabled(false);
}

void Main::Command14_Click() {
    ui.Text3->setText(m_state.restoreText);
    ui.Command12->setEnabled(true);
}

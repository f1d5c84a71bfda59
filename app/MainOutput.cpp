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
    input.windowText = Text3->text();
    input.format = {txtfrmt->text(), txtDelim->text(), txthead->text(), txtfoot->text()};
    input.header = picHeader;
    input.pieceLength = picBuffer;
    input.waitChars = waitChars;
    const Reformatted reformatted = reformatForOutput(input);
    if (!reformatted.ok()) {
        msgBox(reformatted.refusal);
        return;
    }
    convText = reformatted.convText;
    xmitText = reformatted.xmitText;
    Text3->setText(xmitText);
    Command15->setEnabled(false);
    // A setting changed between Convert and this Reformat already makes the stream stale.
    m_sendArmed = m_converted;
    Command16->setEnabled(m_sendArmed);
    refreshSendButton();
}

TransmitBasis Main::transmitBasisNow() const {
    TransmitBasis basis;
    basis.canvasRevision = canvas.revision();
    basis.lcdSizeIndex = lcdSizeIndex;
    basis.horizontal = !Option2[0]->isChecked();
    basis.inverted = chkinvert->isChecked();
    basis.eepromMode = Check1->isChecked();
    basis.startAddress = eeprom->text();
    basis.picBufferEntry = List2->currentRow();
    basis.picDelayEntry = List3->currentRow();
    basis.waitChars = Text4->text();
    basis.format = {txtfrmt->text(), txtDelim->text(), txthead->text(), txtfoot->text()};
    return basis;
}

void Main::refreshSendButton() {
    if (!m_sendArmed)
        return;
    const QStringList reasons = staleTransmitReasons(m_convertBasis, transmitBasisNow());
    if (reasons.isEmpty()) {
        Command16->setToolTip(QString());
        return;
    }
    m_sendArmed = false;
    Command16->setEnabled(false);
    Command16->setToolTip(QStringLiteral("Convert and Reformat again: %1 changed since")
                              .arg(reasons.join(QStringLiteral(", "))));
}

void Main::watchTransmitBasis() {
    // Controls are read directly, not the state their own handlers keep, so the order in which
    // the handlers of one change run does not matter.
    canvas.setChangeListener([this] { refreshSendButton(); });
    const auto refresh = [this] { refreshSendButton(); };
    for (QRadioButton* option : optgrf)
        connect(option, &QRadioButton::toggled, this, refresh);
    for (QRadioButton* option : Option2)
        connect(option, &QRadioButton::toggled, this, refresh);
    connect(chkinvert, &QCheckBox::toggled, this, refresh);
    connect(Check1, &QCheckBox::toggled, this, refresh);
    connect(List2, &QListWidget::currentRowChanged, this, refresh);
    connect(List3, &QListWidget::currentRowChanged, this, refresh);
    for (QLineEdit* box : {eeprom, Text4, txtfrmt, txtDelim, txthead, txtfoot})
        connect(box, &QLineEdit::textChanged, this, refresh);
}

void Main::txtcase_Click() {
    // The caption names what the next click does.
    if (txtcase->text() == QLatin1String("&UpCase")) {
        txtcase->setText(QStringLiteral("&LowCase"));
        Text3->setText(Text3->text().toUpper());
    } else {
        txtcase->setText(QStringLiteral("&UpCase"));
        Text3->setText(Text3->text().toLower());
    }
}

void Main::Command11_Click() {
    QGuiApplication::clipboard()->setText(Text3->text());
    msgBox(QStringLiteral("Text copied to Clipboad"));
}

void Main::Command12_Click() {
    commdlg->DialogTitle = QStringLiteral("LCD File to Save");
    commdlg->Filter = QStringLiteral("Text(*.txt)|*.txt|Basic (*.bas)|*.bas");
    commdlg->FileName = QStringLiteral("*.txt");
    commdlg->DefaultExt = QStringLiteral("*.txt");
    commdlg->ShowSave();
    if (commdlg->FileName.isEmpty())
        return;
    const FileResult written = writeLatin1TextFile(commdlg->FileName, Text3->text());
    if (!written.ok())
        msgBox(QStringLiteral("File Save Error - ") + written.failure);
}

void Main::Command13_Click() {
    Text3->setText(QString());
    picHeader.clear();
    Command12->setEnabled(false);
}

void Main::Command14_Click() {
    Text3->setText(restoreText);
    Command12->setEnabled(true);
}

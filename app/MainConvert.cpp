// Convert and the Byte Matrix choice.
#include "app/Main.h"

#include "app/TextBox.h"
#include "convert/Convert.h"
#include "convert/OutputText.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <exception>

void Main::Command9_Click() {
    ui.Text3->setText(QString());
    ui.Command12->setEnabled(true);
    // Whatever happens below, the transmit text built before is not what this Convert makes,
    // and a Convert that fails leaves nothing to reformat.
    m_state.convertStarted();
    ui.Command16->setEnabled(false);
    ui.Command16->setToolTip(QString());
    ui.Command15->setEnabled(false);
    m_state.convText.clear();
    m_state.xmitText.clear();
    m_state.pic.header.clear();

    // What was done before a failure stays; the pointer comes back in every case.
    auto fail = [this](const QString& description) {
        msgBox(QStringLiteral("Error: ") + description);
        setBusyPointer(false);
    };

    QString failure;
    if (!getparam(&failure)) {
        fail(failure);
        return;
    }
    m_state.vertMatrix.clear();
    setBusyPointer(true);
    const ConvertInput input = convertInput(m_state.horizontal);
    try {
        Conversion conversion = convertPicture(input);
        if (!conversion.ok()) {
            fail(conversion.failure);
            return;
        }
        m_state.vertMatrix = std::move(conversion.vertical);
        ui.Text3->setText(conversion.text);
    } catch (const std::exception& e) {
        fail(QString::fromLocal8Bit(e.what()));
        return;
    }
    m_state.convText = ui.Text3->text();
    m_state.restoreText = m_state.convText;
    ui.lblfz->setText(byteCountCaption(m_state.convText.size()));
    setBusyPointer(false);
    m_state.convertSucceeded(transmitBasisNow());
    ui.Command15->setEnabled(true);
}

ConvertInput Main::convertInput(bool horizontal) const {
    ConvertInput input;
    input.horizontal = horizontal;
    input.width = m_state.panelWidth();
    input.height = m_state.panelHeight();
    input.canvas = m_state.canvas.image();
    input.inverted = ui.chkinvert->isChecked();
    input.loaded = m_state.loadCaptureStands() ? &m_state.horzMatrix : nullptr;
    input.format = outputFormatNow();
    return input;
}

OutputFormat Main::outputFormatNow() const {
    return {ui.txtfrmt->text(), ui.txtDelim->text(), ui.txthead->text(), ui.txtfoot->text()};
}

void Main::Option2_Click(int) {
    // The frame names the horizontal controllers; it is shown while they are chosen.
    const bool vertical = ui.Option2[0]->isChecked();
    m_state.horizontal = !vertical;
    ui.LCD->setHidden(vertical);
}

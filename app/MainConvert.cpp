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
    Text3->setText(QString());
    Command12->setEnabled(true);
    // Whatever happens below, the transmit text built before is not what this Convert makes,
    // and a Convert that fails leaves nothing to reformat.
    m_converted = false;
    m_sendArmed = false;
    Command16->setEnabled(false);
    Command16->setToolTip(QString());
    Command15->setEnabled(false);
    convText.clear();
    xmitText.clear();
    picHeader.clear();

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
    vertMatrix.clear();
    setBusyPointer(true);
    const ConvertInput input = convertInput(matrixHorizontal != 0);
    try {
        Conversion conversion = convertPicture(input);
        if (!conversion.ok()) {
            fail(conversion.failure);
            return;
        }
        vertMatrix = std::move(conversion.vertical);
        Text3->setText(conversion.text);
    } catch (const std::exception& e) {
        fail(QString::fromLocal8Bit(e.what()));
        return;
    }
    convText = Text3->text();
    restoreText = convText;
    lblfz->setText(byteCountCaption(convText.size()));
    setBusyPointer(false);
    m_convertBasis = transmitBasisNow();
    m_converted = true;
    Command15->setEnabled(true);
}

ConvertInput Main::convertInput(bool horizontal) const {
    ConvertInput input;
    input.horizontal = horizontal;
    input.width = lcdWidth;
    input.height = lcdHeight;
    input.canvas = canvas.image();
    input.inverted = chkinvert->isChecked();
    input.loaded = loadedCaptureStands() ? &horzMatrix : nullptr;
    input.format = {txtfrmt->text(), txtDelim->text(), txthead->text(), txtfoot->text()};
    return input;
}

bool Main::loadedCaptureStands() const {
    return m_loadRevision != 0 && canvas.revision() == m_loadRevision &&
           m_loadedWidth == lcdWidth && m_loadedHeight == lcdHeight;
}

void Main::Option2_Click(int) {
    // The frame names the horizontal controllers; getparam reads the choice back from it.
    const bool vertical = Option2[0]->isChecked();
    matrixHorizontal = vertical ? 0 : 1;
    LCD->setHidden(vertical);
}

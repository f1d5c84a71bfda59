// Convert and the Byte Matrix choice.
#include "app/Main.h"

#include "app/TextBox.h"
#include "convert/OutputText.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <exception>

void Main::Command9_Click() {
    Text3->setText(QString());
    Command12->setEnabled(true);
    convText.clear();
    xmitText.clear();
    picHeader.clear();

    // What was done before a failure stays; the pointer and Reformat come back in every case.
    auto fail = [this](const QString& description) {
        msgBox(QStringLiteral("Error: ") + description);
        setBusyPointer(false);
        Command15->setEnabled(true);
    };

    QString failure;
    if (!getparam(&failure)) {
        fail(failure);
        return;
    }
    try {
        vertMatrix.clear();
        setBusyPointer(true);
        const OutputFormat format{txtfrmt->text(), txtDelim->text(), txthead->text(),
                                  txtfoot->text()};
        QString text;
        if (matrixHorizontal == 0) {
            vertMatrix = verticalMatrix(canvas.image(), lcdWidth, lcdHeight);
            text = verticalOutputText(vertMatrix, format);
        } else {
            text = horizontalOutputText(horzMatrix, lcdWidth, lcdHeight, format);
        }
        Text3->setText(text);
    } catch (const std::exception& e) {
        fail(QString::fromLocal8Bit(e.what()));
        return;
    }
    convText = Text3->text();
    restoreText = convText;
    lblfz->setText(byteCountCaption(convText.size()));
    setBusyPointer(false);
    Command15->setEnabled(true);
}

void Main::Option2_Click(int) {
    // The frame names the horizontal controllers; getparam reads the choice back from it.
    const bool vertical = Option2[0]->isChecked();
    matrixHorizontal = vertical ? 0 : 1;
    LCD->setHidden(vertical);
}

#include "app/Help.h"

#include "app/TextBox.h"

#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

Help::Help(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Quorvel Help"));
    Text1 = new TextBox;
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setText(QStringLiteral("To Be Implemented"));
    Command1 = new QPushButton(QStringLiteral("&Close"));
    Command1->setObjectName(QStringLiteral("Command1"));
    auto* page = new QVBoxLayout(this);
    page->addWidget(Text1, 1);
    page->addWidget(Command1, 0, Qt::AlignRight);
    resize(560, 420);
    connect(Command1, &QPushButton::clicked, this, &Help::Command1_Click);
    Form_Load();
}

void Help::Form_Load() {
    Text1->setText(pageText());
}

void Help::Command1_Click() {
    close();
}

QString Help::pageText() {
    const QStringList lines = {
        QStringLiteral("Some Brief Beta Instructions"),
        QStringLiteral(
            "1) When sending an image to the LCD: Clear the 'Format' fields, but not the "
            "'Wait Char'!"),
        QStringLiteral("2) The default Xmit delay of 20ms is used when sending directly to the LCD "
                       "- adjust as needed."),
        QStringLiteral("3) The xmit delay when sending to an external eeprom is much higher - "
                       "around 200ms seems to work best."),
        QStringLiteral("4) Avoid setting the PIC Delay from 10ms to a higher value, which would "
                       "then require extremely long xmit delays"),
        QStringLiteral("5) The image box can load BMP format 128x64 bit B/W images. Hint: MS Paint "
                       "(TM) works fine"),
        QStringLiteral("6) The 'Open' in the top menu is to load already formatted text into the "
                       "Transmit Window (not the editable window)"),
        QStringLiteral("7) The menu 'Exit' does exactly that, without any prompts!"),
        QStringLiteral("8) The Header, Footer, Delimiter and Format are used only when you want to "
                       "generate code to be used in an application"),
        QStringLiteral("9) There is no handshake in the xmit - it just pumps out the data, "
                       "regardless of any serial connection, so make sure that the PIC is ready "
                       "to receive data before you transmit it!"),
        QStringLiteral("10)The Transmit Window can be used to send commands to the PIC"),
        QStringLiteral("11)The 'Byte Matrix' should be left at 'vertical' for the KS0108 LCD's"),
        QString(),
        QStringLiteral("There are still many 'to-do's to wrap up."),
        QStringLiteral("Any comments and or suggestions are welcome! - quorvel@example.org"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

// The output window's buttons.
#include "app/Main.h"

#include "app/CommonDialog.h"
#include "app/TextBox.h"
#include "convert/FileAccess.h"
#include "convert/TransmitText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

void Main::Command15_Click() {
    // A decorated table cannot be cut into the PIC's hex stream.
    if (!txtfrmt->text().isEmpty() || !txtDelim->text().isEmpty()) {
        msgBox(QStringLiteral("No Format or Delimiters allowed\n\rConvert again without them."));
        return;
    }
    convText = reformatSource(Text3->text());
    xmitText = transmitText(picHeader, convText, picBuffer, waitChars);
    Text3->setText(xmitText);
    Command16->setEnabled(true);
    Command15->setEnabled(false);
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

// BMP save and load.
#include "app/Main.h"

#include "app/CanvasView.h"
#include "app/CommonDialog.h"
#include "app/TextBox.h"
#include "canvas/PictureFile.h"
#include "convert/ByteMatrix.h"
#include "convert/FileAccess.h"
#include "convert/OutputText.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QRadioButton>

void Main::Command8_Click() {
    fsave();
}

void Main::Command10_Click() {
    fload();
    for (int i = 0; i <= 6; ++i)
        optgrf[i]->setEnabled(false);
}

void Main::showCanvasAtDisplayPixels() {
    // One screen pixel per canvas pixel: resizing the box to the image keeps what the user sees
    // the same size, and mouse positions address canvas pixels directly.
    Picture1->setDisplayPixelUnits();
    Picture1->resize(canvas.width(), canvas.height());
    Picture1->update();
}

void Main::fsave() {
    showCanvasAtDisplayPixels();
    // The image is taken before the dialog, which may sit open while nothing else changes it.
    const QByteArray file = writeMonochromeBmp(canvas.image());
    commdlg->ShowSave();
    const QString fileName = commdlg->FileName;
    if (fileName.isEmpty())
        return;
    if (file.isEmpty()) {
        msgBox(QStringLiteral("File Save Error - the picture is too large for a BMP file"));
        return;
    }
    const FileResult written = writeWholeFile(fileName, file);
    if (!written.ok())
        msgBox(QStringLiteral("File Save Error - %1: %2").arg(fileName, written.failure));
}

void Main::fload() {
    const int width = lcdWidth;
    const int height = lcdHeight;
    Picture1->setDisplayPixelUnits();
    commdlg->ShowOpen();
    const QString fileName = commdlg->FileName;
    QString text;
    if (!fileName.isEmpty()) {
        QString failure;
        if (!loadPictureAndCapture(fileName, width, height, &failure)) {
            msgBox(QStringLiteral("Error: ") + failure);
            Text3->setText(QString());
            showCanvasAtDisplayPixels();
            return;
        }
        text = rawMatrixText(horzMatrix, width, height);
    }
    Text3->setText(text);
    chkinvert->setEnabled(false);
    showCanvasAtDisplayPixels();
}

bool Main::loadPictureAndCapture(const QString& fileName, int width, int height, QString* failure) {
    // The file is read once, before anything decodes it: a FIFO or a device must not hold the
    // window, and the picture reader, opening the file itself, calls an unreadable file missing.
    const FileContent content = readWholeRegularFile(fileName, LargestReadFile);
    if (!content.ok()) {
        *failure = content.failure;
        return false;
    }
    const LoadedPicture loaded =
        decodeLoadedPicture(content.bytes, QFileInfo(fileName).suffix().toLatin1(), width, height);
    if (!loaded.failure.isEmpty()) {
        *failure = QStringLiteral("%1: %2").arg(fileName, loaded.failure);
        return false;
    }
    // Any picture the platform reads is shown, so a picture for the vertical conversion need not
    // be a BMP; only the horizontal capture needs the file's own 1-bit rows.
    canvas.setPicture(loaded.picture);
    // Checked whole before anything is captured, so a wrong file leaves the matrix untouched.
    const BmpRows& rows = loaded.rows;
    if (!rows.ok()) {
        *failure = rows.failure;
        return false;
    }
    captureLoadedRows(horzMatrix, rows, width, height, chkinvert->isChecked());
    return true;
}

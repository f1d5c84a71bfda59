// BMP save and load.
#include "app/Main.h"

#include "app/CanvasView.h"
#include "app/CommonDialog.h"
#include "app/TextBox.h"
#include "canvas/Bmp.h"
#include "convert/FileAccess.h"
#include "convert/HorizontalCapture.h"
#include "convert/OutputText.h"

#include <QCheckBox>
#include <QRadioButton>

void Main::Command8_Click() {
    fsave();
}

void Main::Command10_Click() {
    CanvasStep step(this);
    fload();
    for (int i = 0; i <= 6; ++i)
        optgrf[i]->setEnabled(false);
}

void Main::showCanvasAtDisplayPixels() {
    // One screen pixel per canvas pixel: resizing the box to the image keeps what the user sees
    // the same size, and mouse positions address canvas pixels directly.
    Picture1->setDisplayPixelUnits();
    Picture1->setBoxSize(QSize(canvas.width(), canvas.height()));
    Picture1->update();
}

void Main::fsave() {
    showCanvasAtDisplayPixels();
    // The image is taken before the dialog, which may sit open while nothing else changes it.
    const QByteArray file = writeMonochromeBmp(std::as_const(canvas).image());
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
        m_loadRevision = canvas.revision();
        m_loadedWidth = width;
        m_loadedHeight = height;
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
    // Checked whole before anything changes: a refused file leaves the canvas, its size and the
    // matrix as they were.
    const PanelBmp loaded = readPanelBmp(content.bytes, width, height);
    if (!loaded.ok()) {
        *failure = loaded.failure;
        return false;
    }
    canvas.setPicture(loaded.picture);
    captureBmpRows(horzMatrix, loaded.rows.bytes, width, height, chkinvert->isChecked());
    return true;
}

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
        ui.optgrf[i]->setEnabled(false);
}

void Main::showCanvasAtDisplayPixels() {
    // One screen pixel per canvas pixel: resizing the box to the image keeps what the user sees
    // the same size, and mouse positions address canvas pixels directly.
    ui.Picture1->setDisplayPixelUnits();
    ui.Picture1->setBoxSize(QSize(m_state.canvas.width(), m_state.canvas.height()));
    ui.Picture1->update();
}

void Main::fsave() {
    showCanvasAtDisplayPixels();
    // The image is taken before the dialog, which may sit open while nothing else changes it.
    const QByteArray file = writeMonochromeBmp(std::as_const(m_state.canvas).image());
    ui.commdlg->ShowSave();
    const QString fileName = ui.commdlg->FileName;
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
    const int width = m_state.panelWidth();
    const int height = m_state.panelHeight();
    ui.Picture1->setDisplayPixelUnits();
    ui.commdlg->ShowOpen();
    const QString fileName = ui.commdlg->FileName;
    QString text;
    if (!fileName.isEmpty()) {
        QString failure;
        if (!loadPictureAndCapture(fileName, width, height, &failure)) {
            msgBox(QStringLiteral("Error: ") + failure);
            ui.Text3->setText(QString());
            showCanvasAtDisplayPixels();
            return;
        }
        text = rawMatrixText(m_state.horzMatrix, width, height);
        m_state.recordLoadCapture();
    }
    ui.Text3->setText(text);
    ui.chkinvert->setEnabled(false);
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
    m_state.canvas.setPicture(loaded.picture);
    captureBmpRows(m_state.horzMatrix, loaded.rows.bytes, width, height, ui.chkinvert->isChecked());
    return true;
}

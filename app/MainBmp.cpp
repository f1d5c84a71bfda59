// BMP save and load.
#include "app/Main.h"

#include "app/CanvasView.h"
#include "app/CommonDialog.h"
#include "app/TextBox.h"
#include "canvas/Bmp.h"
#include "convert/ByteMatrix.h"
#include "convert/OutputText.h"

#include <QCheckBox>
#include <QFile>
#include <QImageReader>
#include <QRadioButton>
#include <QSaveFile>

namespace {
// A 1-bit picture for the largest panel is 8 kB; anything far beyond this cannot be one, and is
// not read into memory for the capture.
constexpr qint64 LargestCapturedFile = 16 * 1024 * 1024;
} // namespace

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
    const QByteArray file = writeMonochromeBmp(canvas.image());
    commdlg->ShowSave();
    const QString fileName = commdlg->FileName;
    if (fileName.isEmpty())
        return;
    if (file.isEmpty()) {
        msgBox(QStringLiteral("File Save Error - the picture is too large for a BMP file"));
        return;
    }
    // Written whole or not at all: a failed write leaves any earlier file of that name as it was.
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size() || !out.commit())
        msgBox(QStringLiteral("File Save Error - %1: %2").arg(fileName, out.errorString()));
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
    QImageReader reader(fileName);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        *failure = QStringLiteral("%1: %2").arg(fileName, reader.errorString());
        return false;
    }
    // Any picture the platform reads is shown, so a picture for the vertical conversion need not
    // be a BMP; only the horizontal capture needs the file's own 1-bit rows.
    canvas.setPicture(picture);

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *failure = QStringLiteral("%1: %2").arg(fileName, file.errorString());
        return false;
    }
    if (file.size() > LargestCapturedFile) {
        *failure = QStringLiteral("expected a 1-bit BMP of %1x%2 pixels, found a file of %3 bytes")
                       .arg(width)
                       .arg(height)
                       .arg(file.size());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *failure = QStringLiteral("%1: %2").arg(fileName, file.errorString());
        return false;
    }
    // Checked whole before anything is captured, so a wrong file leaves the matrix untouched.
    const BmpRows rows = readMonochromeBmpRows(bytes, width, height);
    if (!rows.ok()) {
        *failure = rows.failure;
        return false;
    }
    const int columns = width / 8;
    const int stride = (width + 7) / 8;
    const bool inverted = chkinvert->isChecked();
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < columns; ++column) {
            const auto byte = static_cast<quint8>(rows.bytes[row * stride + column]);
            captureHorizontalByte(horzMatrix, row, column, byte, inverted);
        }
    }
    return true;
}

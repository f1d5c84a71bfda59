// Import of any picture onto the canvas, and Export of the bytes as a table for firmware.
#include "app/Main.h"

#include "app/CanvasView.h"
#include "app/CommonDialog.h"
#include "app/ExportDialog.h"
#include "app/ImportDialog.h"
#include "convert/Convert.h"
#include "convert/FileAccess.h"

#include <QCheckBox>
#include <QRadioButton>

void Main::cmdImport_Click() {
    // Save and Load find the shared dialog as they left it: an Import in between changes
    // nothing they show.
    const QString fileName = ui.commdlg->chooseFileToOpen(
        QStringLiteral("Picture to Import"), QStringLiteral("Pictures|%1|All Files (*.*)|*.*")
                                                 .arg(importPatterns().join(QLatin1Char(';'))));
    if (fileName.isEmpty())
        return;

    // A large photo takes a moment to decode and to scale to the panel. A FIFO or a device is
    // refused at once instead of holding the window until a writer appears.
    setBusyPointer(true);
    QString failure;
    const QImage picture = readPictureFile(fileName, &failure);
    if (picture.isNull()) {
        setBusyPointer(false);
        msgBox(QStringLiteral("Error: %1: %2").arg(fileName, failure));
        return;
    }
    ImportDialog dialog(picture, m_state.panelWidth(), m_state.panelHeight(), m_importOptions,
                        this);
    setBusyPointer(false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_importOptions = dialog.options();
    putImportedPicture(dialog.result());
}

void Main::putImportedPicture(const QImage& picture) {
    CanvasStep step(this); // one step of the undo history
    // Import is not Load: the sizes, Inverted and the captured bytes stay as they are.
    m_state.canvas.setPicture(picture);
    // After a Load the box measures display pixels at the loaded picture's size.
    if (ui.Picture1->measuresDisplayPixels())
        showCanvasAtDisplayPixels();
    else
        ui.Picture1->update();
}

QByteArray Main::exportBytes() const {
    // The bytes Convert would take now, from the same source, without the closing "00".
    return pictureBytes(convertInput(m_state.horizontal));
}

void Main::cmdExport_Click() {
    ExportDialog dialog(exportBytes(), m_state.panelWidth(), m_state.panelHeight(),
                        m_state.horizontal, ui.commdlg, this);
    dialog.setChoices(m_exportFormat, m_exportOptions);
    dialog.exec();
    m_exportFormat = dialog.format();
    m_exportOptions = dialog.options();
}

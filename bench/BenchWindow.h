#pragma once

// Setting the shown window up for a measurement the way a user would: its controls found by
// name, a picture put on the canvas through Import.
#include "app/ImportDialog.h"
#include "app/Main.h"
#include "support/Controls.h"
#include "support/Modals.h"

#include <QImage>
#include <QTemporaryDir>

// Puts `picture` (panel size, pure black and white) on the canvas of the shown window: Import of
// a PNG written for it, its dialog accepted with the choices it opens with. False when the canvas
// does not hold the picture afterwards.
inline bool importOntoCanvas(Main& window, const QImage& picture) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.png"));
    if (!dir.isValid() || !picture.save(path))
        return false;
    Modals modals;
    modals.fileAnswers << path;
    modals.whenShown<ImportDialog>([](ImportDialog* dialog) { dialog->accept(); });
    clickControl(&window, QStringLiteral("cmdImport"));
    const QImage& canvas = window.state().canvas.image();
    return canvas.convertToFormat(QImage::Format_RGB32) ==
           picture.convertToFormat(QImage::Format_RGB32);
}

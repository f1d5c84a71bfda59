#pragma once

#include "canvas/Import.h"

#include <QDialog>
#include <QImage>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QSlider;

// frmImport: how a picture becomes the panel's black and white, with the result shown at panel
// size as it changes. The picture is scaled once when the dialog opens and again only when the
// scaling changes; the threshold, dither and invert work on that small picture, so the preview
// follows the slider without delay even for a large photo.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    ImportDialog(const QImage& picture, int panelWidth, int panelHeight,
                 const ImportOptions& start = ImportOptions(), QWidget* parent = nullptr);

    QComboBox* cboScale = nullptr;
    QComboBox* cboDither = nullptr;
    QSlider* sldThreshold = nullptr;
    QLabel* lblThreshold = nullptr; // the slider's value
    QCheckBox* chkImportInvert = nullptr;
    QLabel* lblImportPreview = nullptr;
    QDialogButtonBox* buttons = nullptr;

    ImportOptions options() const;
    // The picture as OK puts it on the canvas: panel size, only pure black and pure white.
    const QImage& result() const { return m_result; }
    // Screen pixels per panel pixel in the preview (1 or more).
    int zoom() const { return m_zoom; }

private:
    void rescale();
    void convert();

    QImage m_picture;
    QImage m_scaled;
    QImage m_result;
    int m_width;
    int m_height;
    int m_zoom = 1;
};

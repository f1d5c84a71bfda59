#include "app/ImportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

namespace {
template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The largest whole zoom that keeps the preview within about 640 x 400 screen pixels, at most 4.
int previewZoom(int width, int height) {
    return std::clamp(std::min(640 / std::max(width, 1), 400 / std::max(height, 1)), 1, 4);
}
} // namespace

ImportDialog::ImportDialog(const QImage& picture, int panelWidth, int panelHeight,
                           const ImportOptions& start, QWidget* parent)
    : QDialog(parent), m_picture(picture), m_width(panelWidth), m_height(panelHeight),
      m_zoom(previewZoom(panelWidth, panelHeight)) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import Picture"));
    setModal(true);

    cboScale = named(new QComboBox, "cboScale");
    cboScale->addItems({QStringLiteral("Fit"), QStringLiteral("Fill"), QStringLiteral("Stretch"),
                        QStringLiteral("None")});
    cboScale->setCurrentIndex(static_cast<int>(start.scale));
    cboDither = named(new QComboBox, "cboDither");
    cboDither->addItems({QStringLiteral("Threshold"), QStringLiteral("Floyd-Steinberg"),
                         QStringLiteral("Ordered"), QStringLiteral("Atkinson")});
    cboDither->setCurrentIndex(static_cast<int>(start.dither));
    sldThreshold = named(new QSlider(Qt::Horizontal), "sldThreshold");
    sldThreshold->setRange(0, 255);
    sldThreshold->setValue(std::clamp(start.threshold, 0, 255));
    sldThreshold->setPageStep(16);
    lblThreshold = named(new QLabel(QString::number(sldThreshold->value())), "lblThreshold");
    lblThreshold->setMinimumWidth(
        lblThreshold->fontMetrics().horizontalAdvance(QStringLiteral("000")));
    chkImportInvert = named(new QCheckBox(QStringLiteral("Invert")), "chkImportInvert");
    chkImportInvert->setChecked(start.invert);

    lblImportPreview = named(new QLabel, "lblImportPreview");
    lblImportPreview->setFixedSize(m_width * m_zoom, m_height * m_zoom);
    lblImportPreview->setFrameStyle(QFrame::NoFrame);
    buttons =
        named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel), "buttons");

    auto* threshold = new QHBoxLayout;
    threshold->addWidget(sldThreshold, 1);
    threshold->addWidget(lblThreshold);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Scaling"), cboScale);
    form->addRow(QStringLiteral("Black and white"), cboDither);
    form->addRow(QStringLiteral("Threshold"), threshold);
    form->addRow(QString(), chkImportInvert);
    auto* preview = new QVBoxLayout;
    preview->addWidget(lblImportPreview, 0, Qt::AlignCenter);
    auto* size = new QLabel(
        QStringLiteral("%1 x %2 pixels, shown x%3").arg(m_width).arg(m_height).arg(m_zoom));
    size->setAlignment(Qt::AlignCenter);
    preview->addWidget(size);
    auto* page = new QVBoxLayout(this);
    page->addLayout(preview);
    page->addLayout(form);
    page->addWidget(buttons);

    connect(cboScale, &QComboBox::currentIndexChanged, this, &ImportDialog::rescale);
    connect(cboDither, &QComboBox::currentIndexChanged, this, &ImportDialog::convert);
    connect(sldThreshold, &QSlider::valueChanged, this, [this](int value) {
        lblThreshold->setNum(value);
        convert();
    });
    connect(chkImportInvert, &QCheckBox::toggled, this, &ImportDialog::convert);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    rescale();
}

ImportOptions ImportDialog::options() const {
    ImportOptions chosen;
    chosen.scale = static_cast<ImportScale>(cboScale->currentIndex());
    chosen.dither = static_cast<ImportDither>(cboDither->currentIndex());
    chosen.threshold = sldThreshold->value();
    chosen.invert = chkImportInvert->isChecked();
    return chosen;
}

void ImportDialog::rescale() {
    m_scaled = scaleForPanel(m_picture, m_width, m_height, options().scale);
    convert();
}

void ImportDialog::convert() {
    m_result = toMonochrome(m_scaled, options());
    // Nearest neighbour, so every panel pixel is a crisp square of the zoom's size.
    lblImportPreview->setPixmap(QPixmap::fromImage(
        m_zoom == 1 ? m_result
                    : m_result.scaled(m_result.size() * m_zoom, Qt::IgnoreAspectRatio,
                                      Qt::FastTransformation)));
}

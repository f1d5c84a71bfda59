#include "app/ExportDialog.h"

#include "app/CommonDialog.h"
#include "convert/FileAccess.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace {
template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The file dialog's filter for one format, in the shared dialog's "Description|pattern" form.
QString filterFor(ExportFormat format) {
    const QString pattern = QLatin1Char('*') + exportExtension(format);
    const char* kind = format == ExportFormat::Binary  ? "Binary"
                       : format == ExportFormat::Basic ? "Basic"
                       : isCExport(format)             ? "C header"
                                                       : "Assembler include";
    return QStringLiteral("%1 (%2)|%2|All Files (*.*)|*.*").arg(QString::fromLatin1(kind), pattern);
}
} // namespace

ExportDialog::ExportDialog(const QByteArray& bytes, int width, int height, bool horizontal,
                           CommonDialog* files, QWidget* parent)
    : QDialog(parent), m_bytes(bytes), m_width(width), m_height(height), m_horizontal(horizontal),
      m_files(files) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(QStringLiteral("Export Table"));
    setModal(true);

    cboExportFormat = named(new QComboBox, "cboExportFormat");
    for (int i = 0; i < ExportFormatCount; ++i)
        cboExportFormat->addItem(exportFormatLabel(static_cast<ExportFormat>(i)));
    // Which panels take the bytes in this layout, so that a table is not built for the wrong
    // controller; the other layout is named too, as the choice is made in the main window.
    lblExportLayout = named(new QLabel, "lblExportLayout");
    lblExportLayout->setTextFormat(Qt::RichText);
    lblExportLayout->setText(QStringLiteral("This table: <b>%1</b><br>Other layout: %2")
                                 .arg(layoutControllers(horizontal).toHtmlEscaped(),
                                      layoutControllers(!horizontal).toHtmlEscaped()));
    txtExportName = named(new QLineEdit(QStringLiteral("image")), "txtExportName");
    spnBytesPerLine = named(new QSpinBox, "spnBytesPerLine");
    spnBytesPerLine->setRange(1, 64);
    spnBytesPerLine->setValue(16);
    chkExportStdint =
        named(new QCheckBox(QStringLiteral("uint8_t (<stdint.h>)")), "chkExportStdint");
    txtExportPreview = named(new QPlainTextEdit, "txtExportPreview");
    txtExportPreview->setReadOnly(true);
    txtExportPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtExportPreview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Wide enough for a line of 16 C bytes, the default.
    const int lineWidth =
        txtExportPreview->fontMetrics().horizontalAdvance(QString(100, QLatin1Char('0')));
    txtExportPreview->setMinimumSize(std::min(lineWidth + 40, 900), 280);
    cmdExportCopy = named(new QPushButton(QStringLiteral("Copy")), "cmdExportCopy");
    cmdExportSave = named(new QPushButton(QStringLiteral("Save...")), "cmdExportSave");
    cmdExportClose = named(new QPushButton(QStringLiteral("Close")), "cmdExportClose");
    cmdExportClose->setDefault(true);

    auto* form = new QFormLayout;
    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(cboExportFormat);
    formatRow->addSpacing(12);
    formatRow->addWidget(lblExportLayout, 1);
    form->addRow(QStringLiteral("Format"), formatRow);
    form->addRow(QStringLiteral("Name"), txtExportName);
    form->addRow(QStringLiteral("Bytes a line"), spnBytesPerLine);
    form->addRow(QStringLiteral("C type"), chkExportStdint);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cmdExportCopy);
    row->addWidget(cmdExportSave);
    row->addWidget(cmdExportClose);
    auto* page = new QVBoxLayout(this);
    page->addLayout(form);
    page->addWidget(txtExportPreview, 1);
    page->addLayout(row);

    connect(cboExportFormat, &QComboBox::currentIndexChanged, this, &ExportDialog::refresh);
    connect(txtExportName, &QLineEdit::textChanged, this, &ExportDialog::refresh);
    connect(spnBytesPerLine, &QSpinBox::valueChanged, this, &ExportDialog::refresh);
    connect(chkExportStdint, &QCheckBox::toggled, this, &ExportDialog::refresh);
    connect(cmdExportCopy, &QPushButton::clicked, this, &ExportDialog::cmdExportCopy_Click);
    connect(cmdExportSave, &QPushButton::clicked, this, &ExportDialog::cmdExportSave_Click);
    connect(cmdExportClose, &QPushButton::clicked, this, &QDialog::accept);
    refresh();
}

ExportFormat ExportDialog::format() const {
    return static_cast<ExportFormat>(cboExportFormat->currentIndex());
}

ExportOptions ExportDialog::options() const {
    ExportOptions chosen;
    chosen.name = txtExportName->text();
    chosen.bytesPerLine = spnBytesPerLine->value();
    chosen.uint8Type = chkExportStdint->isChecked();
    return chosen;
}

void ExportDialog::setChoices(ExportFormat format, const ExportOptions& options) {
    const QSignalBlocker blockFormat(cboExportFormat);
    const QSignalBlocker blockName(txtExportName);
    const QSignalBlocker blockLine(spnBytesPerLine);
    const QSignalBlocker blockType(chkExportStdint);
    cboExportFormat->setCurrentIndex(static_cast<int>(format));
    txtExportName->setText(options.name);
    spnBytesPerLine->setValue(options.bytesPerLine);
    chkExportStdint->setChecked(options.uint8Type);
    refresh();
}

void ExportDialog::refresh() {
    const ExportFormat chosen = format();
    m_table = exportTable(m_bytes, m_width, m_height, m_horizontal, chosen, options());
    txtExportPreview->setPlainText(exportPreview(m_table, chosen));
    // Raw bytes are no text to paste; the name and line length do not shape them.
    const bool text = chosen != ExportFormat::Binary;
    cmdExportCopy->setEnabled(text);
    txtExportName->setEnabled(text);
    spnBytesPerLine->setEnabled(text);
    chkExportStdint->setEnabled(isCExport(chosen));
}

void ExportDialog::cmdExportCopy_Click() {
    QGuiApplication::clipboard()->setText(QString::fromUtf8(m_table));
}

void ExportDialog::cmdExportSave_Click() {
    const ExportFormat chosen = format();
    m_files->DialogTitle = QStringLiteral("Export Table");
    m_files->Filter = filterFor(chosen);
    m_files->FileName = exportName(txtExportName->text(), chosen) + exportExtension(chosen);
    m_files->DefaultExt = exportExtension(chosen);
    m_files->ShowSave();
    const QString fileName = m_files->FileName;
    if (fileName.isEmpty())
        return;
    // Written whole or not at all where the folder allows a temporary file; where it does not
    // (a mounted share, a device) the file is written in place.
    const FileResult written = writeWholeFile(fileName, m_table);
    if (!written.ok())
        failed(QStringLiteral("File Save Error - %1: %2").arg(fileName, written.failure));
}

void ExportDialog::failed(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quorvel"), text, QMessageBox::Ok, this);
    box.exec();
}

#pragma once

#include "convert/Export.h"

#include <QByteArray>
#include <QDialog>

class CommonDialog;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

// frmExport: the picture's bytes as a table for the user's own firmware, shown as it will be
// written; Copy puts the text on the clipboard, Save writes the file through the window's shared
// file dialog.
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    ExportDialog(const QByteArray& bytes, int width, int height, bool horizontal,
                 CommonDialog* files, QWidget* parent = nullptr);

    QComboBox* cboExportFormat = nullptr;
    QLabel* lblExportLayout = nullptr; // which controllers take this table's layout
    QLineEdit* txtExportName = nullptr;
    QSpinBox* spnBytesPerLine = nullptr;
    QCheckBox* chkExportStdint = nullptr; // C formats: uint8_t from <stdint.h>
    QPlainTextEdit* txtExportPreview = nullptr;
    QPushButton* cmdExportCopy = nullptr;
    QPushButton* cmdExportSave = nullptr;
    QPushButton* cmdExportClose = nullptr;

    ExportFormat format() const;
    ExportOptions options() const;
    void setChoices(ExportFormat format, const ExportOptions& options);
    // What Save writes and, for the text formats, what Copy copies.
    const QByteArray& table() const { return m_table; }

    void cmdExportCopy_Click();
    void cmdExportSave_Click();

private:
    void refresh();
    void failed(const QString& text);

    QByteArray m_bytes;
    int m_width;
    int m_height;
    bool m_horizontal;
    CommonDialog* m_files;
    QByteArray m_table;
};

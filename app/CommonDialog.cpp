#include "app/CommonDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QRegularExpression>
#include <functional>

CommonDialog::CommonDialog(QWidget* owner) : QObject(owner), m_owner(owner) {
    setObjectName(QStringLiteral("commdlg"));
}

QStringList CommonDialog::qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        if (description.isEmpty() && patterns.isEmpty())
            continue;
        // Qt reads "*.*" as "names with a dot"; these filters mean every file.
        patterns.replace(QLatin1String("*.*"), QLatin1String("*"));
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.isEmpty())
            patterns = QStringLiteral("*");
        static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
        description.remove(trailingPatterns);
        result << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return result;
}

QString CommonDialog::qtSuffix(const QString& defaultExt) {
    QString suffix = defaultExt.trimmed();
    while (suffix.startsWith(QLatin1Char('*')) || suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    return suffix;
}

QString CommonDialog::saveSuffix(const QStringList& qtFilters, const QString& chosenFilter,
                                 const QString& defaultExt) {
    if (qtFilters.isEmpty() || chosenFilter == qtFilters.constFirst())
        return qtSuffix(defaultExt);
    static const QRegularExpression single(QStringLiteral("\\(\\s*\\*\\.(\\w+)\\s*\\)\\s*$"));
    const QRegularExpressionMatch match = single.match(chosenFilter);
    return match.hasMatch() ? match.captured(1) : qtSuffix(defaultExt);
}

namespace {
// A file dialog that settles the suffix of a typed name at the moment the user accepts, when the
// chosen filter is known; Qt adds the suffix while accepting (and asks about replacing the file
// by the name with it).
class SuffixDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    std::function<void()> beforeAccept;
    void accept() override {
        if (beforeAccept)
            beforeAccept();
        QFileDialog::accept();
    }
};
} // namespace

void CommonDialog::showFileDialog(bool save) {
    SuffixDialog dialog(m_owner, DialogTitle, InitDir);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = qtNameFilters(Filter);
    dialog.setNameFilters(filters);
    // An open dialog given a default extension looks for "name.ext" when "name" is chosen, so a
    // file without a dot could never be opened: only saves get one.
    if (save) {
        dialog.setDefaultSuffix(qtSuffix(DefaultExt));
        dialog.beforeAccept = [&dialog, &filters, this] {
            dialog.setDefaultSuffix(saveSuffix(filters, dialog.selectedNameFilter(), DefaultExt));
        };
    }
    if (!FileName.isEmpty() && !FileName.contains(QLatin1Char('*')))
        dialog.selectFile(FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        FileName.clear();
        return;
    }
    FileName = dialog.selectedFiles().constFirst();
    InitDir = QFileInfo(FileName).absolutePath();
}

void CommonDialog::ShowOpen() {
    showFileDialog(false);
}

void CommonDialog::ShowSave() {
    showFileDialog(true);
}

QString CommonDialog::chooseFileToOpen(const QString& title, const QString& filter) {
    const QString kept[] = {DialogTitle, Filter, FileName, DefaultExt};
    DialogTitle = title;
    Filter = filter;
    FileName.clear();
    DefaultExt.clear();
    showFileDialog(false);
    const QString chosen = FileName;
    DialogTitle = kept[0];
    Filter = kept[1];
    FileName = kept[2];
    DefaultExt = kept[3];
    return chosen;
}

bool CommonDialog::ShowFont() {
    QFont current(FontName);
    if (FontSize > 0)
        current.setPointSizeF(FontSize);
    QFontDialog dialog(current, m_owner);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QFont chosen = dialog.selectedFont();
    FontName = chosen.family();
    FontSize = chosen.pointSizeF();
    return true;
}

#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

// One dialog object shared by every file and font dialog of the main window. Its title, filter,
// file name, default extension and flags persist from one use to the next, so a dialog shows
// what the previous use left. Filters are written "Description|pattern|Description|pattern".
// The dialogs are Qt's own widget dialogs, shown modally.
class CommonDialog : public QObject {
    Q_OBJECT
public:
    explicit CommonDialog(QWidget* owner);

    QString DialogTitle = QStringLiteral("LCD File to Open");
    QString Filter = QStringLiteral("Image (*.bmp)|*.bmp");
    QString FileName = QStringLiteral("*.bmp");
    QString DefaultExt = QStringLiteral("bmp");
    QString InitDir = QStringLiteral(".");
    int Flags = 0;
    QString FontName;
    double FontSize = 0;

    // Afterwards FileName holds the chosen path, or is empty when the user cancelled.
    void ShowOpen();
    void ShowSave();
    // An open dialog with its own title and filter for a use the next Load or Save must not
    // inherit: title, filter, file name and default extension are as before afterwards (the
    // folder moves on, as with every use). The chosen path, or empty when cancelled.
    QString chooseFileToOpen(const QString& title, const QString& filter);
    // False when cancelled; FontName and FontSize are then unchanged.
    bool ShowFont();

    // "Text(*.txt)|*.txt|All Files (*.*)|*.*|" -> {"Text (*.txt)", "All Files (*)"}: Qt reads the
    // patterns from the parentheses, so those come from the pattern part, not the description.
    static QStringList qtNameFilters(const QString& filter);
    // "*.txt", ".txt" or "txt" -> "txt"
    static QString qtSuffix(const QString& defaultExt);
    // The suffix a save adds to a name typed without one: the default extension while the first
    // filter is chosen, the extension of another chosen filter that names exactly one
    // ("Basic (*.bas)" -> "bas"), else the default extension again. Opening adds none.
    static QString saveSuffix(const QStringList& qtFilters, const QString& chosenFilter,
                              const QString& defaultExt);

private:
    void showFileDialog(bool save);
    QWidget* m_owner;
};

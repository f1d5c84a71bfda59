#pragma once

#include <QDialog>
#include <QIcon>
#include <QStringList>

class QLabel;
class QPushButton;

// The About window (frmAbout): title, version, description, the maker's notices, and a button
// that starts the desktop's system-information program. Shown modeless; deletes itself when
// closed, so its texts are built afresh each time it opens.
class About : public QDialog {
    Q_OBJECT
public:
    static constexpr int VersionMajor = 1;
    static constexpr int VersionMinor = 1;
    static constexpr int VersionRevision = 2;

    explicit About(QWidget* parent = nullptr);

    static QString applicationTitle() { return QStringLiteral("Quorvel"); }
    // The program's icon: a graphic LCD panel above its controller chip.
    static QIcon programIcon();

    // The system-information programs tried in turn; the first one found on the PATH is started.
    static QStringList systemInfoTools();
    // Full path of the first of `names` found on the PATH, or empty.
    static QString findSystemInfoTool(const QStringList& names);

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    void Form_Load();
};

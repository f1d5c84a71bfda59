#include "app/About.h"

#include "app/icons/quorvel.xpm"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {
QLabel* label(const char* name, const QString& caption) {
    auto* l = new QLabel(caption);
    l->setObjectName(QString::fromLatin1(name));
    l->setWordWrap(true);
    return l;
}

QPushButton* button(const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromLatin1(caption));
    b->setObjectName(QString::fromLatin1(name));
    return b;
}
} // namespace

About::About(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About MyApp"));

    picIcon = label("picIcon", QString());
    picIcon->setPixmap(programIcon().pixmap(32, 32));
    picIcon->setFixedSize(40, 40);
    picIcon->setAlignment(Qt::AlignCenter);
    lblTitle = label("lblTitle", QStringLiteral("Quorvel"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = label("lblVersion", QStringLiteral("Version"));
    Label4 = label("Label4", QStringLiteral("Beta"));
    lblDescription = label("lblDescription", QStringLiteral("Graphic LCD interface to a PIC "
                                                            "microcontroller for the Samsung "
                                                            "KS0108  controller"));
    Label1 = label("Label1", QStringLiteral("Also prepares pictures for T6963C and SED1330 "
                                            "panels, and sends them over a serial port."));
    Label2 = label("Label2", QStringLiteral("Copyright (c) the Quorvel developers."));
    Label3 = label("Label3", QStringLiteral("Trademarks named here belong to their owners."));
    lblDisclaimer =
        label("lblDisclaimer",
              QStringLiteral("Warning: this is beta software, provided as is and without "
                             "warranty of any kind. Check the settings against your own "
                             "hardware before you send data to it."));
    cmdOK = button("cmdOK", "OK");
    cmdOK->setDefault(true);
    cmdSysInfo = button("cmdSysInfo", "&System Info...");

    auto* texts = new QVBoxLayout;
    for (QLabel* l : {lblTitle, lblVersion, Label4, lblDescription, Label1, Label2, Label3})
        texts->addWidget(l);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* rule = new QFrame;
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addLayout(buttons);
    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(rule);
    page->addLayout(bottom);
    setMinimumWidth(420);

    connect(cmdOK, &QPushButton::clicked, this, &About::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &About::cmdSysInfo_Click);
    Form_Load();
}

void About::Form_Load() {
    setWindowTitle(QStringLiteral("About ") + applicationTitle());
    setWindowIcon(programIcon());
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(VersionMajor)
                            .arg(VersionMinor)
                            .arg(VersionRevision));
    lblTitle->setText(applicationTitle());
}

QIcon About::programIcon() {
    return QIcon(QPixmap(quorvel_xpm));
}

QStringList About::systemInfoTools() {
    // Desktop system-information programs, the dedicated ones first.
    return {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("mate-system-monitor"),
            QStringLiteral("xfce4-taskmanager")};
}

QString About::findSystemInfoTool(const QStringList& names) {
    for (const QString& name : names) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

void About::cmdOK_Click() {
    close();
}

void About::cmdSysInfo_Click() {
    const QString tool = findSystemInfoTool(systemInfoTools());
    if (!tool.isEmpty() && QProcess::startDetached(tool, {}))
        return;
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(),
                    QStringLiteral("System Information Is Unavailable At This Time"),
                    QMessageBox::Ok, this);
    box.exec();
}

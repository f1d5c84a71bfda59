#include "app/Main.h"

#include "app/CanvasView.h"
#include "app/CommonDialog.h"
#include "app/TextBox.h"
#include "link/NumberText.h"
#include "link/QtSerialPort.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

Main::Main(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("Quorvel Graphic LCD ToolBox       Beta Ver 1.12"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    MSComm1 = new QtSerialPort(this);
    MSComm1->setObjectName(QStringLiteral("MSComm1"));
    commdlg = new CommonDialog(this);
    buildMenus();
    buildControls();
    connectHandlers();
    buildCanvasTools();
    Form_Load();
    initPortControls();
    watchTransmitBasis();
}

Main::~Main() {
    // Focus moves while the child widgets are torn down, after this part of the window is gone:
    // nothing of the application may call back into it from here on.
    disconnect(qApp, nullptr, this, nullptr);
}

void Main::buildMenus() {
    auto add = [this](const char* name, const QString& caption) {
        QAction* action = menuBar()->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnuExit = add("mnuExit", QStringLiteral("E&xit"));
    mnuOpen = add("mnuOpen", QStringLiteral("&Open"));
    mnuAbout = add("mnuAbout", QStringLiteral("&About"));
    mnuHelp = add("mnuHelp", QStringLiteral("&Help"));
}

void Main::connectHandlers() {
    connect(mnuExit, &QAction::triggered, this, &Main::mnuExit_Click);
    connect(mnuOpen, &QAction::triggered, this, &Main::mnuOpen_Click);
    connect(mnuAbout, &QAction::triggered, this, &Main::mnuAbout_Click);
    connect(mnuHelp, &QAction::triggered, this, &Main::mnuHelp_Click);

    // A list's click follows its selection, whether the user or the code selects.
    connect(List1, &QListWidget::currentRowChanged, this, &Main::List1_Click);
    connect(List2, &QListWidget::currentRowChanged, this, &Main::List2_Click);
    connect(List3, &QListWidget::currentRowChanged, this, &Main::List3_Click);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &Main::Combo1_Click);

    for (int i = 0; i < static_cast<int>(optgrf.size()); ++i)
        connect(optgrf[i], &QRadioButton::clicked, this, [this, i] { optgrf_Click(i); });
    for (int i = 0; i < static_cast<int>(Option2.size()); ++i)
        connect(Option2[i], &QRadioButton::clicked, this, [this, i] { Option2_Click(i); });

    const std::pair<QPushButton*, void (Main::*)()> buttons[] = {
        {Command5, &Main::Command5_Click},   {Command7, &Main::Command7_Click},
        {Command6, &Main::Command6_Click},   {cmdfont, &Main::cmdfont_Click},
        {cmdtext, &Main::cmdtext_Click},     {Command8, &Main::Command8_Click},
        {Command10, &Main::Command10_Click}, {Command9, &Main::Command9_Click},
        {Command15, &Main::Command15_Click}, {txtcase, &Main::txtcase_Click},
        {Command11, &Main::Command11_Click}, {Command12, &Main::Command12_Click},
        {Command13, &Main::Command13_Click}, {Command14, &Main::Command14_Click},
        {cmdcomm, &Main::cmdcomm_Click},     {cmdbuff, &Main::cmdbuff_Click},
        {cmdApply, &Main::cmdApply_Click},   {cmdlcd, &Main::cmdlcd_Click},
        {Command16, &Main::Command16_Click}, {Command4, &Main::Command4_Click},
        {cmdImport, &Main::cmdImport_Click}, {cmdExport, &Main::cmdExport_Click},
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, handler);
    connect(Check1, &QCheckBox::clicked, this, &Main::Check1_Click);
    connect(Text4, &QLineEdit::textChanged, this, &Main::Text4_Change);

    connect(Picture1, &CanvasView::mouseDown, this, &Main::Picture1_MouseDown);
    connect(Picture1, &CanvasView::mouseMove, this, &Main::Picture1_MouseMove);
    connect(Picture1, &CanvasView::mouseUp, this, &Main::Picture1_MouseUp);

    connect(Timer1, &QTimer::timeout, this, &Main::Timer1_Timer);
    connect(Text1, &TextBox::changed, this, &Main::Text1_Change);
    connect(Text2, &TextBox::keyPressed, this, &Main::Text2_KeyPress);
}

void Main::Form_Load() {
    for (const char* settings :
         {"19200,n,8,1", "9600,n,8,1", "4800,n,8,1", "2400,n,8,1", "1200,n,8,1"})
        List1->addItem(QString::fromLatin1(settings));
    Label2->setText(QStringLiteral("19200,n,8,1"));
    penDown = false;
    canvas.font = font(); // stamped text uses the window's own font until "Font" picks another
    Combo1->setCurrentIndex(0);
    List1->setCurrentRow(0);
    List2->setCurrentRow(4);
    List3->setCurrentRow(1);
    canvasBaseHeight = static_cast<int>(roundHalfEven(Picture1->height()));
    canvasBaseWidth = static_cast<int>(roundHalfEven(Picture1->width()));
    lcdWidth = 240;
    lcdHeight = 64;
    picBuffer = 32;
    picDelay = 10;
    waitChars = QStringLiteral("]");
    convText.clear();
    restoreText.clear();
    xmitText.clear();
    eepromMode = false;
    matrixHorizontal = 1;
    // 0, not the 2 of the original start-up: the 240x64 option is the one shown selected, and a
    // header built before any size click must describe the 240x64 panel the data is for.
    lcdSizeIndex = 0;
}

QMessageBox::StandardButton Main::msgBox(const QString& text,
                                         QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quorvel"), text, buttons, this);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void Main::beep() {
    ++beeps;
    QApplication::beep();
}

void Main::setBusyPointer(bool busy) {
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void Main::setBackColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), colour);
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QColor Main::backColour(const QWidget* widget) {
    // Text boxes paint their Base colour; labels and frames their window colour.
    if (qobject_cast<const QAbstractScrollArea*>(widget) || qobject_cast<const QLineEdit*>(widget))
        return widget->palette().color(QPalette::Base);
    return widget->palette().color(widget->backgroundRole());
}

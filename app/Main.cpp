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
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

Main::Main(SerialPort* port, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("Quorvel Graphic LCD ToolBox       Beta Ver 1.12"));
    ui.Timer1 = new QTimer(this);
    ui.Timer1->setObjectName(QStringLiteral("Timer1"));
    ui.Timer1->setInterval(50);
    ui.MSComm1 = port;
    if (!ui.MSComm1) {
        ui.MSComm1 = new QtSerialPort(this);
        ui.MSComm1->setObjectName(QStringLiteral("MSComm1"));
    }
    ui.commdlg = new CommonDialog(this);
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

void Main::connectHandlers() {
    connect(ui.mnuExit, &QAction::triggered, this, &Main::mnuExit_Click);
    connect(ui.mnuOpen, &QAction::triggered, this, &Main::mnuOpen_Click);
    connect(ui.mnuAbout, &QAction::triggered, this, &Main::mnuAbout_Click);
    connect(ui.mnuHelp, &QAction::triggered, this, &Main::mnuHelp_Click);

    // A list's click follows its selection, whether the user or the code selects.
    connect(ui.List1, &QListWidget::currentRowChanged, this, &Main::List1_Click);
    connect(ui.List2, &QListWidget::currentRowChanged, this, &Main::List2_Click);
    connect(ui.List3, &QListWidget::currentRowChanged, this, &Main::List3_Click);
    connect(ui.Combo1, &QComboBox::currentIndexChanged, this, &Main::Combo1_Click);

    for (int i = 0; i < static_cast<int>(ui.optgrf.size()); ++i)
        connect(ui.optgrf[i], &QRadioButton::clicked, this, [this, i] { optgrf_Click(i); });
    for (int i = 0; i < static_cast<int>(ui.Option2.size()); ++i)
        connect(ui.Option2[i], &QRadioButton::clicked, this, [this, i] { Option2_Click(i); });

    const std::pair<QPushButton*, void (Main::*)()> buttons[] = {
        {ui.Command5, &Main::Command5_Click},   {ui.Command7, &Main::Command7_Click},
        {ui.Command6, &Main::Command6_Click},   {ui.cmdfont, &Main::cmdfont_Click},
        {ui.cmdtext, &Main::cmdtext_Click},     {ui.Command8, &Main::Command8_Click},
        {ui.Command10, &Main::Command10_Click}, {ui.Command9, &Main::Command9_Click},
        {ui.Command15, &Main::Command15_Click}, {ui.txtcase, &Main::txtcase_Click},
        {ui.Command11, &Main::Command11_Click}, {ui.Command12, &Main::Command12_Click},
        {ui.Command13, &Main::Command13_Click}, {ui.Command14, &Main::Command14_Click},
        {ui.cmdcomm, &Main::cmdcomm_Click},     {ui.cmdbuff, &Main::cmdbuff_Click},
        {ui.cmdApply, &Main::cmdApply_Click},   {ui.cmdlcd, &Main::cmdlcd_Click},
        {ui.Command16, &Main::Command16_Click}, {ui.Command4, &Main::Command4_Click},
        {ui.cmdImport, &Main::cmdImport_Click}, {ui.cmdExport, &Main::cmdExport_Click},
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, handler);
    connect(ui.Check1, &QCheckBox::clicked, this, &Main::Check1_Click);
    connect(ui.Text4, &QLineEdit::textChanged, this, &Main::Text4_Change);

    connect(ui.Picture1, &CanvasView::mouseDown, this, &Main::Picture1_MouseDown);
    connect(ui.Picture1, &CanvasView::mouseMove, this, &Main::Picture1_MouseMove);
    connect(ui.Picture1, &CanvasView::mouseUp, this, &Main::Picture1_MouseUp);

    connect(ui.Timer1, &QTimer::timeout, this, &Main::Timer1_Timer);
    connect(ui.Text1, &TextBox::changed, this, &Main::Text1_Change);
    connect(ui.Text2, &TextBox::keyPressed, this, &Main::Text2_KeyPress);
}

void Main::Form_Load() {
    for (const char* settings :
         {"19200,n,8,1", "9600,n,8,1", "4800,n,8,1", "2400,n,8,1", "1200,n,8,1"})
        ui.List1->addItem(QString::fromLatin1(settings));
    ui.Label2->setText(QStringLiteral("19200,n,8,1"));
    // The state's own values are its start-up values (ToolState.h); the controls show them.
    // Stamped text uses the window's own font until "Font" picks another.
    m_state.canvas.font = font();
    ui.Combo1->setCurrentIndex(0);
    ui.List1->setCurrentRow(0);
    ui.List2->setCurrentRow(4);
    ui.List3->setCurrentRow(1);
    m_canvasBaseHeight = static_cast<int>(roundHalfEven(ui.Picture1->height()));
    m_canvasBaseWidth = static_cast<int>(roundHalfEven(ui.Picture1->width()));
}

QMessageBox::StandardButton Main::msgBox(const QString& text,
                                         QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quorvel"), text, buttons, this);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void Main::beep() {
    QApplication::beep();
    emit beeped();
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

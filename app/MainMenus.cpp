// The menu bar: Exit, Open, About, Help.
#include "app/Main.h"

#include "app/About.h"
#include "app/CommonDialog.h"
#include "app/Help.h"
#include "app/TextBox.h"
#include "convert/FileAccess.h"
#include "link/SerialPort.h"

#include <QApplication>

void Main::mnuExit_Click() {
    // The program ends at once, without a prompt; a port that will not close is not reported.
    if (ui.MSComm1->PortOpen())
        ui.MSComm1->setPortOpen(false);
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows)
        window->close();
    QApplication::quit();
}

void Main::mnuOpen_Click() {
    // Every step is tried and a failing one is passed over silently: the text is only ever a
    // convenience copy of a file the user can open again.
    ui.commdlg->FileName.clear();
    ui.commdlg->Filter = QStringLiteral("Open ASCII (*.txt)|*.txt|All Files (*.*)|*.*|");
    ui.commdlg->ShowOpen();
    const QString fileName = ui.commdlg->FileName;
    if (fileName.isEmpty())
        return;
    // A FIFO or a device would hold the window, and a file far larger than any table would
    // swallow memory: both are passed over like any file that cannot be read.
    const FileContent content = readWholeRegularFile(fileName, LargestReadFile);
    if (!content.ok())
        return;
    // One character per byte, line breaks as the file has them.
    ui.Text2->setText(QString::fromLatin1(content.bytes));
}

namespace {
// Shows the window held in `slot`, creating it first when it is not open.
template <class Window> void showOnce(QPointer<QWidget>& slot, QWidget* owner) {
    if (!slot) {
        slot = new Window(owner);
        slot->show();
        return;
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
}
} // namespace

void Main::mnuAbout_Click() {
    showOnce<About>(aboutWindow, this);
}

void Main::mnuHelp_Click() {
    showOnce<Help>(helpWindow, this);
}

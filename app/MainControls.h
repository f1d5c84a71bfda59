#pragma once

#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTimer;
class CanvasView;
class CommonDialog;
class SerialPort;
class TextBox;

// Every control of the working window, as MainLayout.cpp builds it. The window owns the widgets
// through Qt's parent chain; this struct only points at them. A member's objectName is its name
// here, an option array's member's its name and index in parentheses ("optgrf(0)"). Tests and
// benchmarks find the controls by those names, never through this struct.
struct MainControls {
    QAction* mnuExit = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuHelp = nullptr;

    // Top strip
    QGroupBox* Frame3 = nullptr;
    std::array<QRadioButton*, 2> Option1{};
    QListWidget* List1 = nullptr;
    QPushButton* cmdcomm = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* comm = nullptr;
    QPushButton* cmdbuff = nullptr;
    QLabel* Label23 = nullptr;
    QListWidget* proto = nullptr;
    QLabel* Label22 = nullptr;
    QLineEdit* combuff = nullptr;

    // "Graphic"
    QGroupBox* Frame6 = nullptr;
    CanvasView* Picture1 = nullptr;
    QLabel* Label10 = nullptr;
    std::array<QRadioButton*, 8> optgrf{};
    std::array<QLabel*, 8> sizeLabels{}; // Label14, 15, 16, 17, 19, 18, 20, 21
    QLabel* lblxy = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* cmdfont = nullptr;
    QLineEdit* pictxt = nullptr;
    QPushButton* cmdtext = nullptr;
    QCheckBox* chkinvert = nullptr;
    QPushButton* Command8 = nullptr;
    QPushButton* Command9 = nullptr;
    QPushButton* Command10 = nullptr;
    QComboBox* cboZoom = nullptr;
    QPushButton* cmdInvert = nullptr;
    QScrollArea* stage = nullptr; // scrolls the canvas box when the zoomed box does not fit
    QAction* actUndo = nullptr;
    QAction* actRedo = nullptr;
    QPushButton* cmdUndo = nullptr; // triggers actUndo
    QPushButton* cmdRedo = nullptr; // triggers actRedo
    QPushButton* cmdImport = nullptr;

    // Receive and transmit windows
    TextBox* Text1 = nullptr;
    TextBox* Text2 = nullptr;
    QLabel* lblxmit = nullptr;
    QPushButton* Command4 = nullptr;

    // "I/O Settings"
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame10 = nullptr;
    QCheckBox* Check1 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* eeprom = nullptr;
    QGroupBox* Frame4 = nullptr;
    QLabel* lblfrmt = nullptr;
    QLineEdit* txtfrmt = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* txtDelim = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txthead = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* txtfoot = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLabel* lblfz = nullptr;
    QLabel* lblrem = nullptr;
    QGroupBox* Frame5 = nullptr;
    QLabel* Label7 = nullptr;
    QListWidget* List2 = nullptr;
    QLabel* Label8 = nullptr;
    QListWidget* List3 = nullptr;
    QLabel* Label11 = nullptr;
    QLineEdit* xmitdelay = nullptr;
    QPushButton* cmdApply = nullptr;
    QPushButton* cmdlcd = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 2> Option2{};
    QGroupBox* LCD = nullptr;
    QLabel* Label1 = nullptr;

    // Output window and the bottom strip
    TextBox* Text3 = nullptr;
    QGroupBox* Frame9 = nullptr;
    QGroupBox* Frame8 = nullptr;
    QPushButton* txtcase = nullptr;
    QPushButton* Command11 = nullptr;
    QPushButton* Command12 = nullptr;
    QPushButton* Command13 = nullptr;
    QPushButton* Command14 = nullptr;
    QPushButton* cmdExport = nullptr;
    QGroupBox* Frame7 = nullptr;
    QPushButton* Command16 = nullptr;
    QPushButton* Command15 = nullptr;

    // Invisible objects
    QTimer* Timer1 = nullptr;
    SerialPort* MSComm1 = nullptr;
    CommonDialog* commdlg = nullptr;
};

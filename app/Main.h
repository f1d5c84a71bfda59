#pragma once

#include "canvas/Canvas.h"
#include "canvas/Import.h"
#include "canvas/UndoHistory.h"
#include "convert/ByteMatrix.h"
#include "convert/Convert.h"
#include "convert/Export.h"
#include "convert/TransmitText.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
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

// The program's working window. It owns every control and the state the handlers share; each
// handler is named after its control and event and lives in the file of its subsystem
// (MainCanvas.cpp, MainConvert.cpp, MainPort.cpp, ...). State and controls are public because
// every handler reads and writes them, and the tests look at them the way a user would.
class Main : public QMainWindow {
    Q_OBJECT
public:
    explicit Main(QWidget* parent = nullptr);
    ~Main() override;

    // ---- Shared state ----
    bool penDown = false;
    int canvasBaseWidth = 0;
    int canvasBaseHeight = 0;
    int lcdWidth = 240;
    int lcdHeight = 64;
    int lcdSizeIndex = 0;     // the 240x64 option is the one shown selected at start-up
    int matrixHorizontal = 1; // 1 horizontal, 0 vertical
    VertMatrix vertMatrix;
    HorzMatrix horzMatrix;
    QString convText;
    QString restoreText;
    QString xmitText;
    QString picHeader;
    int picBuffer = 32;
    int picDelay = 10;
    QString waitChars = QStringLiteral("]");
    bool eepromMode = false;
    Canvas canvas;
    // Undo and redo of the canvas (MainUndo.cpp). Wrap every change the user can take back in
    // a CanvasStep (see below), never in history.begin/end directly.
    UndoHistory history;
    int beeps = 0; // how often the program has beeped; tests listen for the beep through it

    // ---- Controls (objectName = member name; option arrays as "optgrf(0)") ----
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

    // ---- Handlers ----
    void Form_Load();

    // Canvas size and Clear (MainCanvas.cpp)
    void optgrf_Click(int index);
    void Command5_Click();
    void Combo1_Click();

    // Pen and text (MainDraw.cpp)
    void Picture1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x,
                            double y);
    void Picture1_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, double x,
                            double y);
    void Picture1_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);
    void Command7_Click();
    void Command6_Click();
    void cmdfont_Click();
    void cmdtext_Click();
    void cboZoom_Click();
    void cmdInvert_Click();

    // Undo and redo of the canvas (MainUndo.cpp). A handler that changes the canvas makes its
    // change one step of the history by holding a CanvasStep while it works:
    //
    //     void Main::cmdImport_Click() {
    //         CanvasStep step(this);
    //         ... put the imported picture on the canvas ...
    //     }
    //
    // The step records the canvas, its size and the LCD size option before the change, and keeps
    // the entry only if the change altered them; a step opened while another is open joins it.
    // Undo and redo write the canvas through Canvas::setPicture, so they count as changes of the
    // canvas; they never touch the output text or the byte matrices.
    class CanvasStep {
    public:
        explicit CanvasStep(Main* window);
        ~CanvasStep();
        CanvasStep(const CanvasStep&) = delete;
        CanvasStep& operator=(const CanvasStep&) = delete;

    private:
        Main* m_window;
        bool m_opened;
    };
    void actUndo_Triggered();
    void actRedo_Triggered();

    // BMP files (MainBmp.cpp)
    void Command8_Click();
    void Command10_Click();
    void fsave();
    void fload();

    // Conversion (MainConvert.cpp) and the output window (MainOutput.cpp)
    void Command9_Click();
    void Option2_Click(int index);
    void Command15_Click();
    void txtcase_Click();
    void Command11_Click();
    void Command12_Click();
    void Command13_Click();
    void Command14_Click();

    // Picture import and table export (MainImportExport.cpp)
    void cmdImport_Click();
    void cmdExport_Click();

    // Serial port (MainPort.cpp)
    void cmdcomm_Click();
    void cmdbuff_Click();
    void List1_Click();

    // PIC parameters and the command header (MainPic.cpp). getparam returns false with a
    // description when the header cannot be built; Convert reports it.
    bool getparam(QString* failure);
    void List2_Click();
    void List3_Click();
    void Text4_Change();
    void cmdApply_Click();
    void Check1_Click();
    void cmdlcd_Click();

    // Receive monitor and terminal (MainTerminal.cpp)
    void Timer1_Timer();
    void Text1_Change();
    void Text2_KeyPress(int keyAscii);

    // Sending (MainSend.cpp)
    void Command16_Click();
    void Command4_Click();

    // Menus (MainMenus.cpp)
    void mnuExit_Click();
    void mnuOpen_Click();
    void mnuAbout_Click();
    void mnuHelp_Click();

    // ---- Small services the handlers share ----
    // A message box with the application title; returns the button chosen.
    QMessageBox::StandardButton msgBox(const QString& text,
                                       QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    void beep();
    void setBusyPointer(bool busy);
    static void setBackColour(QWidget* widget, const QColor& colour);
    static QColor backColour(const QWidget* widget);

private:
    void buildMenus();
    // The canvas box at the chosen panel's size, one unit per panel pixel (MainCanvas.cpp).
    void showPanelBox();
    void buildControls();
    void connectHandlers();

    // Each subsystem keeps its own private helpers and members in its section below.
    // ---- drawing and undo (MainDraw.cpp, MainUndo.cpp) ----
    bool m_strokeOpenedStep = false; // the pen stroke in progress opened the history step
    // The undo and redo actions and the connections of the zoom list and Invert.
    void buildCanvasTools();
    // Ctrl+Z and Ctrl+Y belong to the canvas while it or a button has the keyboard; a text box
    // keeps its own.
    void updateUndoKeys();
    // After an undo or redo: the LCD size option and the box follow the restored canvas.
    void showRestoredCanvas(int previousPanel, const QSize& previousSize);
    // ---- BMP files and menus (MainBmp.cpp, MainMenus.cpp) ----
    void showCanvasAtDisplayPixels();
    // Shows the picture in the file and captures its pixel rows into horzMatrix; false with a
    // description when the picture cannot be shown or its rows cannot be captured.
    bool loadPictureAndCapture(const QString& fileName, int width, int height, QString* failure);
    // The About and Help windows while they are open; each deletes itself when closed.
    QPointer<QWidget> aboutWindow;
    QPointer<QWidget> helpWindow;
    // ---- picture import and table export (MainImportExport.cpp) ----
    // The one place where an imported picture lands on the canvas.
    void putImportedPicture(const QImage& picture);
    // The bytes of the Byte Matrix choice, as Export writes them.
    QByteArray exportBytes() const;
    // The dialogs open with the choices of their last use.
    ImportOptions m_importOptions;
    ExportFormat m_exportFormat = ExportFormat::C;
    ExportOptions m_exportOptions;
    // ---- conversion and output window (MainConvert.cpp, MainOutput.cpp) ----
    // The canvas revision right after the last Load that captured a file (0: none since
    // start-up) and the panel it captured for. horzMatrix describes the canvas only while both
    // still hold; otherwise Convert captures the canvas itself.
    quint64 m_loadRevision = 0;
    int m_loadedWidth = 0;
    int m_loadedHeight = 0;
    bool loadedCaptureStands() const;
    // What Convert and Export read: the panel, the canvas, Inverted, the Load capture while it
    // stands, the four Output Format boxes.
    ConvertInput convertInput(bool horizontal) const;
    // Send to LCD is armed by a Reformat whose transmit text is what Convert and Reformat would
    // build now, and disarmed for good by the first change of the canvas or of a setting they
    // read; m_convertBasis is what the last good Convert read (MainOutput.cpp).
    bool m_converted = false;
    bool m_sendArmed = false;
    TransmitBasis m_convertBasis;
    TransmitBasis transmitBasisNow() const;
    void watchTransmitBasis();
    void refreshSendButton();
    // ---- port and PIC parameters (MainPort.cpp, MainPic.cpp) ----
    // Names in each Com option's tooltip the device it opens; meant to run once after Form_Load.
    void initPortControls();
    void refreshPortTooltips();
    void openPort();
    void closePort();
    void portFailed();
    // ---- receive monitor, terminal and sending (MainTerminal.cpp, MainSend.cpp) ----
    // A dead line is reported at the first key that cannot go out, not at every key after it.
    bool m_terminalFaultReported = false;
    void reportLineFault(const QString& reason);
};

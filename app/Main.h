#pragma once

#include "app/MainControls.h"
#include "canvas/Import.h"
#include "convert/Convert.h"
#include "convert/Export.h"
#include "convert/ToolState.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

// The program's working window. Its controls are in `ui` (MainControls.h, built by
// MainLayout.cpp) and the state its handlers share is in `m_state` (convert/ToolState.h); each
// handler is named after its control and event and lives in the file of its subsystem
// (MainCanvas.cpp, MainConvert.cpp, MainPort.cpp, ...); app/README.md maps every caption to its
// handler. Tests drive the window through its controls, found by objectName, and read state().
class Main : public QMainWindow {
    Q_OBJECT
public:
    // The window talks to the PIC through `port`; without one it makes its own QtSerialPort
    // (objectName "MSComm1"). A port handed in is not owned: it must outlive the window.
    explicit Main(SerialPort* port = nullptr, QWidget* parent = nullptr);
    ~Main() override;

    const ToolState& state() const { return m_state; }

    // The colour a control is painted in: a text box's Base, a label's or frame's window colour.
    static void setBackColour(QWidget* widget, const QColor& colour);
    static QColor backColour(const QWidget* widget);

signals:
    void beeped(); // every beep() of the window, as it sounds

private:
    ToolState m_state; // a canvas change goes through a CanvasStep (below), for undo
    MainControls ui;
    // The canvas box of the 240x64 panel as laid out; every panel's box is scaled from it.
    int m_canvasBaseWidth = 0;
    int m_canvasBaseHeight = 0;

    // ---- Handlers ----
    void Form_Load(); // the controls at start-up; called once by the constructor

    // Canvas size and Clear (MainCanvas.cpp)
    void optgrf_Click(int index); // the LCD Size options "240x64" ... "320x200"
    void Command5_Click();        // "Clear" (canvas)
    void Combo1_Click();          // "Pen Size"

    // Pen and text (MainDraw.cpp)
    // the canvas: the pen goes down, moves, comes up
    void Picture1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x,
                            double y);
    void Picture1_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, double x,
                            double y);
    void Picture1_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);
    void Command7_Click();  // "Draw"
    void Command6_Click();  // "Erase"
    void cmdfont_Click();   // "Font"
    void cmdtext_Click();   // "Text"
    void cboZoom_Click();   // "Zoom" (MainUndo.cpp)
    void cmdInvert_Click(); // "Invert" (MainUndo.cpp)

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
    void actUndo_Triggered(); // "Undo" (Ctrl+Z)
    void actRedo_Triggered(); // "Redo" (Ctrl+Shift+Z, Ctrl+Y)

    // BMP files (MainBmp.cpp)
    void Command8_Click();  // "Save" (picture)
    void Command10_Click(); // "Load" (picture)
    void fsave();
    void fload();

    // Conversion (MainConvert.cpp) and the output window (MainOutput.cpp)
    void Command9_Click();         // "Convert"
    void Option2_Click(int index); // Byte Matrix "Vertical KS0108" / "Horizontal"
    void Command15_Click();        // "Reformat For Output"
    void txtcase_Click();          // "&UpCase"
    void Command11_Click();        // "Copy"
    void Command12_Click();        // "Save" (output text)
    void Command13_Click();        // "Clear" (output text)
    void Command14_Click();        // "Restore"

    // Picture import and table export (MainImportExport.cpp)
    void cmdImport_Click(); // "Import..."
    void cmdExport_Click(); // "Export..."

    // Serial port (MainPort.cpp)
    void cmdcomm_Click(); // "Open" / "Close"
    void cmdbuff_Click(); // "Apply" (Com out buff)
    void List1_Click();   // the port settings list

    // PIC parameters and the command header (MainPic.cpp). getparam returns false with a
    // description when the header cannot be built; Convert reports it.
    bool getparam(QString* failure);
    void List2_Click();    // "PIC Buffer"
    void List3_Click();    // "PIC Delay(ms)"
    void Text4_Change();   // "Wait Chr"
    void cmdApply_Click(); // "Apply" (I/O)
    void Check1_Click();   // "Load EEprom"
    void cmdlcd_Click();   // "&Disp Eprom"

    // Receive monitor and terminal (MainTerminal.cpp)
    void Timer1_Timer();               // the 50 ms receive timer
    void Text1_Change();               // "Serial Input from PIC" (receive window)
    void Text2_KeyPress(int keyAscii); // the transmit window

    // Sending (MainSend.cpp)
    void Command16_Click(); // "Send to LCD" / "Load Eeprom"
    void Command4_Click();  // "Paste and Send "

    // Menus (MainMenus.cpp)
    void mnuExit_Click();  // "E&xit"
    void mnuOpen_Click();  // "&Open"
    void mnuAbout_Click(); // "&About"
    void mnuHelp_Click();  // "&Help"

    // ---- Small services the handlers share ----
    // A message box with the application title; returns the button chosen.
    QMessageBox::StandardButton msgBox(const QString& text,
                                       QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    void beep();
    void setBusyPointer(bool busy);

    // The menus and the controls into `ui` (MainLayout.cpp), then each control's event to its
    // handler (Main.cpp).
    void buildMenus();
    void buildControls();
    void connectHandlers();
    // The canvas box at the chosen panel's size, one unit per panel pixel (MainCanvas.cpp).
    void showPanelBox();

    // Each subsystem keeps its own private helpers and members in its section below.
    // ---- drawing and undo (MainDraw.cpp, MainUndo.cpp) ----
    bool m_strokeOpenedStep = false; // the pen stroke in progress opened the history step
    // The undo and redo actions and buttons, and the connections of the zoom list and Invert.
    void buildCanvasTools();
    // After every change of the history or of the keyboard focus. Ctrl+Z and Ctrl+Y belong to
    // the canvas while it or a button has the keyboard (a text box keeps its own), and only while
    // there is something to undo or redo; the buttons follow the history alone.
    void refreshUndo();
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
    // What Convert and Export read: the panel, the canvas, Inverted, the Load capture while it
    // stands, the four Output Format boxes.
    ConvertInput convertInput(bool horizontal) const;
    // The four Output Format boxes as they stand.
    OutputFormat outputFormatNow() const;
    // What Convert and Reformat read besides the output window, as the controls show it now;
    // refreshSendButton() disarms Send to LCD at its first change (MainOutput.cpp).
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

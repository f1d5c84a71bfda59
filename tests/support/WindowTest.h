#pragma once

// The fixture of the window tests: one shown window for each test function, closed after it.
// A test class derives from WindowTest instead of QObject; its init() and cleanup() are
// inherited. A class that needs more around the window declares its own init() and cleanup()
// and calls openWindow() and closeWindow() from them.
#include "app/Main.h"
#include "support/Controls.h"
#include "support/Modals.h"

#include <QList>
#include <QObject>
#include <QPoint>

class SerialPort;

class WindowTest : public QObject {
    Q_OBJECT
public:
    // With answerBoxes every message box and file dialog the window opens is answered by
    // `modals` (OK, the next of modals->fileAnswers).
    explicit WindowTest(bool answerBoxes = false) : m_answerBoxes(answerBoxes) {}

protected:
    // A new shown window on `port` (its own serial port when none is given).
    void openWindow(SerialPort* port = nullptr);
    void closeWindow();

    template <class T = QWidget> T* control(const QString& name) const {
        return findControl<T>(w, name);
    }
    // A member of an option array: option("optgrf", 3) is "optgrf(3)".
    template <class T = QAbstractButton> T* option(const char* array, int index) const {
        return control<T>(QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(index));
    }
    void click(const QString& name) const { clickControl(w, name); }
    const ToolState& state() const { return w->state(); }

    Main* w = nullptr;
    Modals* modals = nullptr; // only with answerBoxes; lives as long as the window

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

private:
    bool m_answerBoxes;
};

class CanvasView;

// The point of the canvas box under which the user finds canvas pixel `pixel`, at the box's
// units and zoom as they are now (the middle of the pixel's square, rounded down).
QPoint pointOfPixel(const CanvasView* box, const QPoint& pixel);
// Dots of the pen drawn where the user clicks, one press and release a pixel.
void clickPixels(const CanvasView* box, const QList<QPoint>& pixels);

class QImage;

// A black-and-white picture of the panel's size put on the canvas the way a user does it: saved
// as a PNG file, chosen in Import's file dialog and taken by frmImport at Fit and Threshold 128,
// so that it lands pixel for pixel. `modals` answers the dialogs; what they show is not kept in
// modals->dialogs, so a test sees only its own. False when a box was shown or the canvas does
// not hold the picture afterwards.
bool importOntoCanvas(Main* window, Modals* modals, const QImage& picture);

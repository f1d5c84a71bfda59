#pragma once

// The state the window's handlers share, without a widget in it: the window owns one, its
// handlers read and write it, and tests read it. It lives beside the conversion because nearly
// all of it is what Convert, Reformat and a send read or leave behind (the panel, the picture,
// both byte matrices, the PIC parameters, the working texts); the controls only show it.
//
// One owner per fact: the panel is its size index, and its width and height follow from it; the
// Byte Matrix choice is `horizontal`, which the option buttons and the "LCD" frame show. The
// values below are the start-up values, here and nowhere else.
#include "canvas/Canvas.h"
#include "canvas/UndoHistory.h"
#include "convert/ByteMatrix.h"
#include "convert/TransmitText.h"

#include <QString>
#include <QStringList>

// What the PIC is told in the command header and how it is paced.
struct PicParameters {
    QString header;                          // the header the last Convert built
    int buffer = 32;                         // "PIC Buffer": characters per chunk
    int delayMs = 10;                        // "PIC Delay(ms)"
    QString waitChars = QStringLiteral("]"); // "Wait Chr": what the PIC answers when ready
    bool eepromMode = false;                 // "Load EEprom"
};

class ToolState {
public:
    // The LCD size option, 0 .. LcdSizeCount - 1. At start-up the 240x64 panel: its option is
    // the one shown selected, and a header built before any size click must describe it.
    int panelIndex() const { return m_panelIndex; }
    int panelWidth() const;
    int panelHeight() const;
    // An index outside the size table is ignored.
    void choosePanel(int index);

    bool horizontal = true; // Byte Matrix: "Horizontal" (T6963C, SED1330), else "Vertical KS0108"
    PicParameters pic;
    QString convText;    // the output text as the last Convert or Reformat read it
    QString restoreText; // what "Restore" puts back: the text of the last good Convert
    QString xmitText;    // the stream "Send to LCD" sends
    VertMatrix vertMatrix;
    HorzMatrix horzMatrix;
    Canvas canvas;
    // Undo and redo of the canvas and its panel; the window wraps each change in one step.
    UndoHistory history;
    // One step of the history around a change of the canvas or panel (UndoHistory::begin and
    // end with this canvas and panel).
    bool beginStep() { return history.begin(canvas, m_panelIndex); }
    bool endStep() { return history.end(canvas, m_panelIndex); }
    // Back to the canvas and panel before the latest step, or forward again; false when there
    // is none.
    bool undo();
    bool redo();
    bool penDown = false;

    // horzMatrix was captured from a loaded file for the canvas as it is now: a Load records
    // that it captured, and the capture stands until the canvas or the panel changes.
    void recordLoadCapture();
    bool loadCaptureStands() const;

    // The "transmit text is current" token. A Convert takes it away when it starts and, when it
    // succeeds, records what it read; a Reformat then arms Send to LCD. The first change of
    // anything Convert and Reformat read disarms it for good: staleReasons() names what changed.
    void convertStarted();
    void convertSucceeded(const TransmitBasis& basis);
    // Arms after a good Convert; the caller checks the token against the settings right after,
    // since one may have changed between the Convert and this Reformat.
    void reformatted() { m_sendArmed = m_converted; }
    bool transmitCurrent() const { return m_sendArmed; }
    // Empty while the token holds (or was never armed); otherwise the settings that changed,
    // and the token is gone.
    QStringList disarmIfStale(const TransmitBasis& now);

private:
    int m_panelIndex = 0;
    quint64 m_loadRevision = 0; // 0: no Load has captured since start-up
    int m_loadedPanel = 0;
    bool m_converted = false;
    bool m_sendArmed = false;
    TransmitBasis m_convertBasis;
};

#pragma once

#include "convert/OutputText.h"

#include <QString>
#include <QStringList>

// The output window's text as "Reformat For Output" takes it: spaces trimmed off both ends,
// lower case.
QString reformatSource(const QString& windowText);

// The stream for the PIC: the command header, then every run of pieceLength characters of text,
// each preceded by the wait character(s) the PIC answers before its buffer is ready again; the
// last run may be shorter. All lower case. A pieceLength below 1 sends the text as one run.
QString transmitText(const QString& header, const QString& text, int pieceLength,
                     const QString& waitChars);

// "Reformat For Output" without the window: the output window's text cut for the PIC, or the
// reason it cannot be. A Format or Delimiter is refused first, with the specified text; a Header
// or Footer next, since the PIC would take either as picture data.
struct ReformatInput {
    QString windowText;   // what the output window holds now
    OutputFormat format;  // the four "Output Format" boxes as they stand
    QString header;       // the command header Convert built (picHeader)
    int pieceLength = 32; // PIC Buffer
    QString waitChars;    // Wait Chr
};
struct Reformatted {
    QString convText; // the trimmed, lower-cased window text
    QString xmitText; // the stream Send to LCD sends
    QString refusal;  // the message shown instead; empty when the text was built
    bool ok() const { return refusal.isEmpty(); }
};
Reformatted reformatForOutput(const ReformatInput& input);

// Everything Convert and Reformat read to build the transmit text besides the output window:
// when any of it differs from what they read, the transmit text is not what they would build
// now, and Send to LCD must not send it.
struct TransmitBasis {
    quint64 canvasRevision = 0;
    int lcdSizeIndex = 0;
    bool horizontal = true; // Byte Matrix
    bool inverted = true;   // read for horizontal bytes taken from the canvas
    bool eepromMode = false;
    QString startAddress;
    int picBufferEntry = 0; // the selected PIC Buffer and PIC Delay entries
    int picDelayEntry = 0;
    QString waitChars;
    OutputFormat format;
};

// The settings that differ between the basis a transmit text was built from and the one now,
// by the names the window shows them under ("the canvas", "PIC Buffer", ...); empty when the
// transmit text is still what Convert and Reformat would build.
QStringList staleTransmitReasons(const TransmitBasis& builtFrom, const TransmitBasis& now);

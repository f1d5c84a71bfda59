#pragma once

// The checks the firmware must pass, each returning the faults it found (empty: passed), so
// that the same check proves the firmware and rejects its faulty variants.
#include "FirmwareRun.h"

#include <QImage>
#include <QStringList>

namespace firmware {

// A picture sent to the LCD by the program's own send loop.
struct PictureSend {
    int picBuffer = 32;
    int xmitDelayMs = 5;
    int picDelay = 10;
    quint32 seed = 1;
};

// Runs the send and checks: the LCD equals the canvas pixel for pixel with the display on, the
// 1024 bytes written once each in stream order, every chunk's bytes on the LCD before the next
// wait character starts, the bus timing, "LCD 1024 bytes" once the last byte is on the LCD and
// within 1.5 s of the last character, and neither OVERRUN nor ERROR.
QStringList checkPictureSend(const QString& cod, const PictureSend& send,
                             FirmwareOutcome* outcome = nullptr);

// The faults of an outcome against the picture meant (shared by the checks above and below).
QStringList pictureFaults(const FirmwareOutcome& out, const QImage& canvas, qint64 fromCycle);

// An EEPROM load at `address` with the EEPROM-mode Xmit Delay, then the same data at 0x0000
// and "*22000000a": the EEPROM holds the bytes and nothing else changed, no page write crosses
// a page, no access in a write cycle, the LCD shows the picture, the replies name both loads.
struct EepromSend {
    int address = 0x0123;
    int xmitDelayMs = 100;
    int picBuffer = 32;
    int picDelay = 10;
    bool thenShow = true; // the second load at 0x0000 and the show
    quint32 seed = 2;
};
QStringList checkEepromLoad(const QString& cod, const EepromSend& send,
                            FirmwareOutcome* outcome = nullptr);

// A stream the firmware cannot use, then a good picture 600 ms after it: an ERROR line for the
// first, naming `errorWords` if given, and the picture on the LCD with "LCD 1024 bytes".
QStringList checkBadThenGood(const QString& cod, const QByteArray& bad,
                             const QString& errorWords = {}, FirmwareOutcome* outcome = nullptr);

// A send the firmware cannot keep up with: reported with OVERRUN.
QStringList checkOverrunReported(const QString& cod, FirmwareOutcome* outcome = nullptr);

// Reply lines and their cycles, for messages.
QString repliesOf(const FirmwareOutcome& out);

} // namespace firmware

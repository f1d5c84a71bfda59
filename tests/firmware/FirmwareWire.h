#pragma once

// The serial line into the simulated PIC: when each character starts on the wire, turned into
// the level changes of the RX pin at 19200 baud 8N1, and the schedule of the program's own send
// loop run on a simulated clock.
#include "link/CommandHeader.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace firmware {

// 20 MHz crystal: one instruction cycle is four clocks.
constexpr qint64 CycleNs = 200;
constexpr qint64 Baud = 19200;

inline qint64 nsToCycles(qint64 ns) {
    return ns / CycleNs;
}
inline double cyclesToMs(qint64 cycles) {
    return double(cycles) * CycleNs / 1e6;
}

// One character on the wire and the moment its start bit begins.
struct WireChar {
    qint64 startNs = 0;
    char c = 0;
};
using Schedule = std::vector<WireChar>;

// 8N1: 10 bit times.
qint64 characterEndNs(const WireChar& w);
// The wire time of one character, exact to the nanosecond below.
double bitNs();

// The characters of `text` one after the other from `startNs`, no gap between them.
Schedule backToBack(const QByteArray& text, qint64 startNs);
// `then` after `first`, starting `gapNs` after the last character of `first` ends.
Schedule followedBy(Schedule first, const Schedule& then, qint64 gapNs);
// The text a schedule carries.
QByteArray textOf(const Schedule& schedule);

// The RX pin's levels for gpsim's FileStimulus: "<cycle> <volts>" a line, idle high. The first
// line's value is ignored by the stimulus and a line repeating the current level does nothing,
// so the file opens with "0 0.0" and "1 5.0". Edges fall on the nearest instruction cycle of
// the exact bit times (start bit low, 8 data bits LSB first, stop bit high).
QByteArray rxStimulus(const Schedule& schedule);

// The characters a receiver sampling in the middle of each bit reads back from such a file,
// with the cycle of each start edge: how the tests check the file.
struct ReadBack {
    QByteArray text;
    std::vector<qint64> startCycles;
    int framingErrors = 0;
};
ReadBack readStimulus(const QByteArray& stimulus);

// The send the program makes: its own send loop (link/SendLoop) on a simulated clock, writing
// into a line that takes a character each wire time. A character starts when it is written or
// when the one before it has left, whichever is later; the pause before each wait character
// starts once the line is idle. Times from `startNs`.
struct SendPlan {
    QString xmitText;
    QString waitString = QStringLiteral("]");
    int xmitDelayMs = 5;
    int outBufferSize = 4096; // the driver's transmit buffer
};
Schedule sendSchedule(const SendPlan& plan, qint64 startNs);

// The transmit text of a 128x64 canvas as the program builds it: vertical bytes of the canvas,
// the output text without decoration, then the header and the wait text before every chunk.
QString pictureTransmitText(const QImage& canvas, const HeaderParameters& header,
                            const QString& waitString = QStringLiteral("]"));
// The bytes the transmit text carries, in order (vertical bytes of the canvas).
QByteArray pictureBytes(const QImage& canvas);
// A random picture from a fixed seed.
QImage randomPicture(quint32 seed, int width = 128, int height = 64);
// The header parameters of the window for a 128x64 panel.
HeaderParameters lcdHeader(int picBuffer = 32, int picDelay = 10);
HeaderParameters eepromHeader(int startAddress, int picBuffer = 32, int picDelay = 10);

} // namespace firmware

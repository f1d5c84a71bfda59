#pragma once

#include <QString>
#include <functional>
#include <optional>

class SerialPort;

// Sending a text to the PIC one character per write. The PIC has no handshake: the only pacing
// is a fixed pause taken just before each wait character, the time the PIC needs to take in the
// chunk it has just received. A write returns once the driver has the byte, long before it has
// left the wire, so the pause starts only once the line has sent everything written before it.

// The pause before a wait character, in milliseconds.
struct SendPacing {
    // The pause comes before every character equal to this whole string, so a wait string of
    // more or fewer than one character never matches.
    QString waitString;
    // The pause, asked for at the first character that needs it and not again (nothing can
    // change it while a send blocks the thread). Nothing means the delay is unusable: the send
    // stops before that character.
    std::function<std::optional<int>()> pause;
    // Blocks the thread; the default never runs the event loop.
    std::function<void(int milliseconds)> sleep;
    // Waits while the line sends what was written; the default sleeps like `sleep`.
    std::function<void(qint64 nanoseconds)> waitForLine;
};

struct SendResult {
    enum class Stop { Done, BadPause, WriteFailed };
    Stop stop = Stop::Done;
    // Characters the port took (handed to the driver, never taken back), from the start of the
    // text; after a failed write, the characters before the failing one.
    qsizetype sent = 0;
    QString portError; // the port's description when a write or the wait for the line failed
    bool ok() const { return stop == Stop::Done; }
};

// Writes text to the port, one character per write, in order, with the pacing's pause before
// each wait character: first the line sends everything written before it, then the pause is
// slept. At the end the line sends the rest, so that a line that takes nothing fails the send.
// After every written character calls progress(sent), if given. Stops at the first failure;
// what was written before it stays written.
SendResult sendText(SerialPort& port, const QString& text, const SendPacing& pacing,
                    const std::function<void(qsizetype sent)>& progress = {});

// A sleep of the calling thread that never runs the event loop.
void blockingSleep(int milliseconds);

// Waits until the port reports every written character gone from the line; false when the port
// says the line has stalled or is gone.
bool waitUntilSent(SerialPort& port, const std::function<void(qint64 nanoseconds)>& wait = {});

// The Xmit Delay box read the two ways the two sends read it: "Send to LCD" takes the largest
// whole number not above the value, "Paste and Send " the nearest (halves to even). Nothing
// when the text is not a number or the pause would be negative or beyond a 32-bit count.
std::optional<int> sendToLcdPause(const QString& xmitDelayText);
std::optional<int> pasteAndSendPause(const QString& xmitDelayText);

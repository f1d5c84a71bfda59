#pragma once

#include <QString>
#include <functional>
#include <optional>

class SerialPort;

// Sending a text to the PIC one character per write. The PIC has no handshake: the only pacing
// is a fixed pause taken just before each wait character, the time the PIC needs to take in the
// chunk it has just received.

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
};

struct SendResult {
    enum class Stop { Done, BadPause, WriteFailed };
    Stop stop = Stop::Done;
    qsizetype sent = 0; // characters written, counted from the start of the text
    QString portError;  // the port's description when a write failed
    bool ok() const { return stop == Stop::Done; }
};

// Writes text to the port, one character per write, in order, with the pacing's pause before
// each wait character. After every written character calls progress(sent), if given. Stops at
// the first failure; what was written before it stays written.
SendResult sendText(SerialPort& port, const QString& text, const SendPacing& pacing,
                    const std::function<void(qsizetype sent)>& progress = {});

// A sleep of the calling thread that never runs the event loop.
void blockingSleep(int milliseconds);

// The Xmit Delay box read the two ways the two sends read it: "Send to LCD" takes the largest
// whole number not above the value, "Paste and Send " the nearest (halves to even). Nothing
// when the text is not a number or the pause would be negative or beyond a 32-bit count.
std::optional<int> sendToLcdPause(const QString& xmitDelayText);
std::optional<int> pasteAndSendPause(const QString& xmitDelayText);

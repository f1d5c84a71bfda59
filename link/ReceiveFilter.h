#pragma once

#include <QString>

// What the receive window shows of the bytes the poll takes from the port.

// The text the receive window shows while the port is open and nothing has come in yet.
inline QString receivePlaceholder() {
    return QStringLiteral("Waiting.....");
}

// One polled piece made ready for the window: every line feed dropped, then a line feed put
// after every carriage return, so CR, CR LF and LF CR each become one CR LF and a lone LF
// vanishes. A NUL becomes U+2400 (the visible "NUL" symbol): a QString handed to a text widget
// stops or garbles at a raw NUL, and one symbol per byte keeps the count exact. Each piece is
// treated on its own; a CR ending one piece and an LF starting the next give one break because
// the LF is dropped.
QString receivedForDisplay(const QString& piece);

// What one poll does to the receive window.
struct ReceiveUpdate {
    enum class Action { None, Append, Replace };
    Action action = Action::None;
    QString text;
};

// window: the window's text now; piece: the raw characters just taken from the port; limit:
// the window's length limit. Nothing received leaves the window alone (also the placeholder).
// The placeholder gives way to the first data. When the append would bring the window to the
// limit or past it, the old text goes and the window restarts with the new piece (its last
// limit - 1 characters when it is that long), so nothing just received is dropped unseen.
ReceiveUpdate receiveIntoWindow(const QString& window, const QString& piece, int limit);

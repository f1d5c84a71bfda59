#pragma once

#include <QObject>
#include <QString>
#include <optional>

// The operations the program uses of its serial port, and nothing more: no receive events, no
// modem lines, no break. Texts cross the line one byte per character (Latin-1) both ways.
// Every fallible operation returns false and leaves a description in errorString().
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // True exactly while the port is open.
    virtual bool PortOpen() const = 0;
    // true: opens port CommPort() with the settings, handshake and buffer size written before.
    // false: closes it.
    virtual bool setPortOpen(bool open) = 0;

    // 1 is the machine's first serial port, 2 its second; read at the next open.
    virtual int CommPort() const = 0;
    virtual void setCommPort(int port) = 0;

    // "19200,n,8,1": baud, parity letter (n, e, o, m, s), data bits (5-8), stop bits (1, 1.5,
    // 2). Takes effect at once while open, else at the next open. A text that cannot be read
    // fails and leaves the settings in force unchanged; reading gives them back in the form
    // "baud,letter,bits,stops".
    virtual QString Settings() const = 0;
    virtual bool setSettings(const QString& settings) = 0;

    // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 RTS/CTS with XON/XOFF. Used from the next open.
    virtual int Handshaking() const = 0;
    virtual bool setHandshaking(int handshake) = 0;
    // Transmit buffer size in bytes (at least 1), used from the next open: at most this many
    // characters are on their way at once (in the driver's queue, or still on the wire).
    virtual int OutBufferSize() const = 0;
    virtual bool setOutBufferSize(int bytes) = 0;

    // Hands the characters to the operating system, in order, without waiting for them to leave
    // the wire; waits only for room in the transmit buffer. Fails when the port is closed, the
    // far end is gone or the line takes nothing for the stall timeout: then exactly the
    // characters before the failing one were handed over, and none of them is taken back.
    virtual bool Output(const QString& text) = 0;
    // How long until every character written so far has left the line, in nanoseconds; 0 once
    // it has. Nothing when the line has taken nothing for the stall timeout or is gone
    // (errorString() says which). Never blocks. A port that knows no line answers 0.
    virtual std::optional<qint64> nsUntilSent() { return 0; }
    // Everything received and not yet taken, at once; possibly empty. Never waits.
    virtual QString Input() = 0;
    // True when the last Input() found the line gone (device unplugged, far end hung up);
    // errorString() says so.
    virtual bool inputFailed() const { return false; }

    virtual QString errorString() const = 0;
};

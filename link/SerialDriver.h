#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>
#include <memory>

class QSerialPort;

// The few calls through which QtSerialPort hands bytes to the system and asks what it still
// holds. Two forms exist:
// - Posix writes to the handle itself and reads the driver's queue (TIOCOUTQ): the program
//   knows exactly which bytes the driver took.
// - Portable uses nothing but QSerialPort (write, bytesToWrite, waitForBytesWritten): its own
//   queue stands for the driver's, and the line model covers the wire time below it. It builds
//   wherever Qt Serial Port does.
// Both are driven the same way by QtSerialPort, which keeps the transmit buffer size, the stall
// timeout and the wire clock.
class SerialDriver {
public:
    enum class Kind { Posix, Portable };
    enum class Write { Taken, Full, Gone };
    enum class Wait { Ready, TimedOut, Gone };

    virtual ~SerialDriver() = default;
    virtual Kind kind() const = 0;

    // Bytes handed over that have not gone out to the line yet, as far as this form can see.
    virtual qint64 queued() = 0;
    // Hands one byte over without waiting. Full: there is no room now and nothing was taken.
    // Gone: the line is gone (reason() says how).
    virtual Write write(char byte) = 0;
    // Waits up to `milliseconds` for room for another byte.
    virtual Wait waitWritable(int milliseconds) = 0;
    // True when the line reports a hang-up now.
    virtual bool hungUp() = 0;
    // Before the port closes: passes on what this form still holds itself, until the line has
    // taken nothing for `milliseconds`. The system's own queue drains at the close.
    virtual void drain(int milliseconds) { Q_UNUSED(milliseconds); }
    // The system's words for the last failure; empty when it gave none.
    virtual QString reason() const = 0;
};

// The forms this build holds; the first is the one a port uses unless told otherwise.
QList<SerialDriver::Kind> serialDriverKinds();
QString serialDriverName(SerialDriver::Kind kind);
// Nothing when this build does not hold that form.
std::unique_ptr<SerialDriver> makeSerialDriver(SerialDriver::Kind kind, QSerialPort& port);

std::unique_ptr<SerialDriver> makePortableSerialDriver(QSerialPort& port);
#if defined(Q_OS_UNIX) && !defined(QUORVEL_PORTABLE_SERIAL)
#define QUORVEL_POSIX_SERIAL 1
std::unique_ptr<SerialDriver> makePosixSerialDriver(QSerialPort& port);
#endif

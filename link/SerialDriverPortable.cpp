#include "link/SerialDriver.h"

#include <QSerialPort>

namespace {
// QSerialPort takes every byte into its own queue and passes it on from the event loop. The send
// blocks the thread, so each call here pushes the queue on itself (waitForBytesWritten with no
// or a short wait), and the queue's length is what the driver has not taken.
class PortableSerialDriver : public SerialDriver {
public:
    explicit PortableSerialDriver(QSerialPort& port) : m_port(port) {}

    Kind kind() const override { return Kind::Portable; }

    qint64 queued() override {
        push(0);
        return m_port.isOpen() ? m_port.bytesToWrite() : 0;
    }

    Write write(char byte) override {
        if (gone())
            return Write::Gone;
        if (m_port.write(&byte, 1) != 1) {
            m_reason = m_port.errorString();
            return Write::Gone;
        }
        // Pushed on at once. A line found gone here never takes the byte: it is not counted,
        // and the port is closed with it. Otherwise the byte is the port's from here on,
        // whatever the line does, as one in the driver's queue would be.
        push(0);
        return gone() ? Write::Gone : Write::Taken;
    }

    Wait waitWritable(int milliseconds) override {
        if (gone())
            return Wait::Gone;
        if (m_port.bytesToWrite() == 0)
            return Wait::Ready;
        if (push(milliseconds))
            return Wait::Ready;
        return gone() ? Wait::Gone : Wait::TimedOut;
    }

    bool hungUp() override { return gone(); }

    void drain(int milliseconds) override {
        while (!gone() && m_port.bytesToWrite() > 0 && push(milliseconds)) {
        }
    }
    QString reason() const override { return m_reason; }

private:
    // Passes queued bytes on, waiting up to `milliseconds` for the line to take some. A wait
    // that runs out is no fault; any other error is a line that is gone.
    bool push(int milliseconds) {
        if (!m_port.isOpen() || m_port.bytesToWrite() == 0)
            return false;
        const bool wrote = m_port.waitForBytesWritten(milliseconds);
        if (!wrote && m_port.error() == QSerialPort::TimeoutError)
            m_port.clearError();
        return wrote;
    }

    // A hang-up shows as an error of the read that the wait for the write takes along.
    bool gone() {
        const QSerialPort::SerialPortError error = m_port.error();
        if (error == QSerialPort::ResourceError || error == QSerialPort::WriteError ||
            error == QSerialPort::ReadError) {
            m_reason = m_port.errorString();
            return true;
        }
        return !m_port.isOpen();
    }

    QSerialPort& m_port;
    QString m_reason;
};
} // namespace

std::unique_ptr<SerialDriver> makePortableSerialDriver(QSerialPort& port) {
    return std::make_unique<PortableSerialDriver>(port);
}

QList<SerialDriver::Kind> serialDriverKinds() {
#ifdef QUORVEL_POSIX_SERIAL
    return {SerialDriver::Kind::Posix, SerialDriver::Kind::Portable};
#else
    return {SerialDriver::Kind::Portable};
#endif
}

QString serialDriverName(SerialDriver::Kind kind) {
    return kind == SerialDriver::Kind::Posix ? QStringLiteral("posix") : QStringLiteral("portable");
}

std::unique_ptr<SerialDriver> makeSerialDriver(SerialDriver::Kind kind, QSerialPort& port) {
#ifdef QUORVEL_POSIX_SERIAL
    if (kind == SerialDriver::Kind::Posix)
        return makePosixSerialDriver(port);
#endif
    if (kind == SerialDriver::Kind::Portable)
        return makePortableSerialDriver(port);
    return nullptr;
}

// The serial driver on a POSIX system: bytes go to the handle itself, one write each, and the
// driver's queue is read with TIOCOUTQ. Left out where the system has none of these, and in a
// build with QUORVEL_PORTABLE_SERIAL.
#include "link/SerialDriver.h"

#ifdef QUORVEL_POSIX_SERIAL

#include <QSerialPort>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
class PosixSerialDriver : public SerialDriver {
public:
    explicit PosixSerialDriver(QSerialPort& port) : m_port(port) {}

    Kind kind() const override { return Kind::Posix; }

    // A pseudo-terminal always reports 0, and so do USB adapters once the bytes are in their
    // own FIFO: the wire clock covers both.
    qint64 queued() override {
        int queued = 0;
        if (!m_port.isOpen() || ::ioctl(fd(), TIOCOUTQ, &queued) != 0)
            return 0;
        return queued;
    }

    Write write(char byte) override {
        for (;;) {
            const ssize_t written = ::write(fd(), &byte, 1);
            if (written == 1)
                return Write::Taken;
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return Write::Full;
            m_reason = written < 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                   : QStringLiteral("the driver took nothing");
            return Write::Gone;
        }
    }

    Wait waitWritable(int milliseconds) override {
        for (;;) {
            pollfd p{fd(), POLLOUT, 0};
            const int ready = ::poll(&p, 1, milliseconds);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL))) {
                m_reason.clear();
                return Wait::Gone;
            }
            return ready > 0 ? Wait::Ready : Wait::TimedOut;
        }
    }

    bool hungUp() override {
        pollfd p{fd(), POLLOUT, 0};
        return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL));
    }

    QString reason() const override { return m_reason; }

private:
    int fd() const { return static_cast<int>(m_port.handle()); }

    QSerialPort& m_port;
    QString m_reason;
};
} // namespace

std::unique_ptr<SerialDriver> makePosixSerialDriver(QSerialPort& port) {
    return std::make_unique<PosixSerialDriver>(port);
}

#endif

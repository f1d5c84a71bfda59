#pragma once

// The program under test on its pseudo-terminal, opened the way a host opens a serial port.

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

// Reads from fd until a whole line ending in CR LF is in; empty on timeout.
inline QByteArray readLine(int fd, QByteArray& pending, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!pending.contains("\r\n")) {
        pollfd ready{fd, POLLIN, 0};
        if (clock.elapsed() > timeoutMs || ::poll(&ready, 1, 50) < 0)
            return {};
        char buffer[4096];
        const ssize_t got = (ready.revents & POLLIN) ? ::read(fd, buffer, sizeof buffer) : 0;
        if (got > 0)
            pending.append(buffer, got);
    }
    const int end = pending.indexOf("\r\n");
    const QByteArray line = pending.left(end);
    pending.remove(0, end + 2);
    return line;
}

inline int openRaw(const QString& device, speed_t speed, int extraFlags = 0) {
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | extraFlags);
    if (fd < 0)
        return fd;
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, speed);
    ::cfsetospeed(&raw, speed);
    ::tcsetattr(fd, TCSANOW, &raw); // TCSANOW: a flush would throw the greeting away
    return fd;
}

// Starts the simulator and returns its device ("" when it did not start).
inline QString startPicsim(QProcess& sim, const QStringList& arguments) {
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QUORVEL_PICSIM_EXE, arguments);
    if (!sim.waitForReadyRead(10000))
        return QString();
    return QString::fromLocal8Bit(sim.readLine()).trimmed();
}

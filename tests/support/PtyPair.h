#pragma once

// A pseudo-terminal pair standing in for the serial cable: the program opens slavePath() through
// QSerialPort, the test reads and writes the master side.
#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

class PtyPair {
public:
    PtyPair() {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        termios raw{};
        tcgetattr(m_slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_slave, TCSANOW, &raw);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_path = QString::fromLocal8Bit(name);
    }
    ~PtyPair() { closeMaster(), closeSlave(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isValid() const { return m_master >= 0 && !m_path.isEmpty(); }
    const QString& slavePath() const { return m_path; }
    // Points the program's Com1 at this pair; false when the pair could not be made.
    bool asCom1() const { return isValid() && qputenv("QUORVEL_COM1", m_path.toLocal8Bit()); }

    // The far end hangs up: the program's reads and writes on the slave start to fail.
    void closeMaster() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }
    // The test keeps its own slave descriptor only so that the pair survives until the program
    // opens it; dropping it lets a closed master be seen as a hang-up.
    void closeSlave() {
        if (m_slave >= 0)
            ::close(m_slave);
        m_slave = -1;
    }

    bool write(const QByteArray& bytes) {
        return m_master >= 0 && ::write(m_master, bytes.constData(), bytes.size()) == bytes.size();
    }

    // Everything that arrives until `count` bytes are in or `timeoutMs` passes.
    QByteArray read(int count, int timeoutMs = 2000) {
        QByteArray bytes;
        QElapsedTimer timer;
        timer.start();
        while (m_master >= 0 && bytes.size() < count && timer.elapsed() < timeoutMs) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0)
                bytes.append(buffer, static_cast<int>(n));
        }
        return bytes;
    }

    // What one read brings, waiting up to `timeoutMs` for something to arrive.
    QByteArray readSome(int timeoutMs) {
        pollfd p{m_master, POLLIN, 0};
        if (m_master < 0 || ::poll(&p, 1, timeoutMs) <= 0)
            return QByteArray();
        char buffer[4096];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        return n > 0 ? QByteArray(buffer, static_cast<int>(n)) : QByteArray();
    }

    // Whatever is waiting now, without blocking.
    QByteArray readAvailable() { return read(1 << 30, 50); }

    // The line as the driver holds it, read through a descriptor of our own on the slave side.
    std::optional<termios> line() const {
        const int fd = ::open(m_path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0)
            return std::nullopt;
        termios t{};
        const bool read = tcgetattr(fd, &t) == 0;
        ::close(fd);
        return read ? std::optional<termios>(t) : std::nullopt;
    }
    // The line's output speed, 0 when it cannot be read.
    speed_t speed() const {
        const std::optional<termios> t = line();
        return t ? cfgetospeed(&*t) : speed_t(0);
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

#include "serial_pty.h"

#include <QFile>
#include <QSocketNotifier>

#include <chrono>
#include <poll.h>
#include <pthread.h>
#include <sched.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

SerialPty::SerialPty(QObject* parent) : QObject(parent) {}

qint64 SerialPty::steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

SerialPty::~SerialPty() {
    stopping_ = true;
    if (reader_.joinable())
        reader_.join();
    removeLink();
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
}

bool SerialPty::open(QString* error) {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        *error = QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    devicePath_ = QString::fromLocal8Bit(name);

    // Raw: no echo, no CR/LF translation, no flow control characters eaten.
    termios settings{};
    ::tcgetattr(slave_, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(slave_, TCSANOW, &settings);

    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);

    writable_ = new QSocketNotifier(master_, QSocketNotifier::Write, this);
    writable_->setEnabled(false);
    connect(writable_, &QSocketNotifier::activated, this, &SerialPty::flushOutgoing);
    reader_ = std::thread([this] { readLoop(); });
    return true;
}

bool SerialPty::createLink(const QString& path, QString* error) {
    const QByteArray target = QFile::encodeName(devicePath_);
    const QByteArray link = QFile::encodeName(path);
    struct stat existing {};
    if (::lstat(link.constData(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            *error = QStringLiteral("%1 exists and is not a symlink").arg(path);
            return false;
        }
        ::unlink(link.constData()); // left over from an earlier run
    }
    if (::symlink(target.constData(), link.constData()) != 0) {
        *error = QStringLiteral("symlink %1: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    linkPath_ = path;
    return true;
}

void SerialPty::removeLink() {
    if (linkPath_.isEmpty())
        return;
    // Only our own link: another instance may have taken the name over meanwhile.
    const QByteArray link = QFile::encodeName(linkPath_);
    char target[256] = {};
    const ssize_t length = ::readlink(link.constData(), target, sizeof target - 1);
    if (length > 0 && QFile::decodeName(QByteArray(target, length)) == devicePath_)
        ::unlink(link.constData());
    linkPath_.clear();
}

void SerialPty::write(const QByteArray& data) {
    outgoing_ += data;
    flushOutgoing();
}

void SerialPty::flushOutgoing() {
    qsizetype done = 0;
    while (done < outgoing_.size()) {
        const ssize_t written = ::write(master_, outgoing_.constData() + done,
                                        static_cast<size_t>(outgoing_.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break; // EAGAIN: the host is not reading; the rest goes when it does
        done += written;
    }
    outgoing_.remove(0, done);
    writable_->setEnabled(!outgoing_.isEmpty());
}

void SerialPty::readLoop() {
    // The times noted here are the PIC's view of the wire, and a reader that waits for the CPU
    // notes a chunk late and merges it with the next. Where the system allows it (it usually
    // needs privileges), the reader runs before ordinary work; elsewhere it runs as it is.
    sched_param priority{};
    priority.sched_priority = 1;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
    char buffer[4096];
    while (!stopping_) {
        pollfd ready{master_, POLLIN, 0};
        const int polled = ::poll(&ready, 1, 50);
        if (polled == 0 || (polled < 0 && errno == EINTR))
            continue;
        const ssize_t got = (ready.revents & POLLIN) ? ::read(master_, buffer, sizeof buffer) : -1;
        if (got <= 0) {
            // A line in a state that wakes poll() without data must not turn this (possibly
            // high-priority) thread into a spinning one.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        const qint64 now = steadyNs();
        std::lock_guard<std::mutex> lock(piecesMutex_);
        pieces_.push_back({QByteArray(buffer, got), now});
        if (!signalled_) {
            signalled_ = true;
            QMetaObject::invokeMethod(this, &SerialPty::received, Qt::QueuedConnection);
        }
    }
}

std::vector<SerialPty::Piece> SerialPty::takePieces() {
    std::lock_guard<std::mutex> lock(piecesMutex_);
    signalled_ = false;
    std::vector<Piece> taken;
    taken.swap(pieces_);
    return taken;
}

WireFormat SerialPty::lineFormat() const {
    termios settings{};
    if (slave_ < 0 || ::tcgetattr(slave_, &settings) != 0)
        return WireFormat{};
    return wireFormatFromTermios(settings);
}

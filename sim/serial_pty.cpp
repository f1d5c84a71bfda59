#include "serial_pty.h"

#include <QFile>
#include <QSocketNotifier>

#include <algorithm>
#include <chrono>
#include <poll.h>
#include <pthread.h>
#include <sched.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/eventfd.h>
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
    {
        std::lock_guard<std::mutex> lock(piecesMutex_);
        stopping_ = true;
    }
    roomForPieces_.notify_one();
    if (wakeReader_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(wakeReader_, &one, sizeof one);
    }
    if (reader_.joinable())
        reader_.join();
    if (wakeReader_ >= 0)
        ::close(wakeReader_);
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
    connect(writable_, &QSocketNotifier::activated, this, [this] {
        if (flushOutgoing())
            emit hostRead();
    });
    wakeReader_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
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

bool SerialPty::flushOutgoing() {
    bool wroteSome = false;
    while (outgoingSent_ < outgoing_.size()) {
        const ssize_t written = ::write(master_, outgoing_.constData() + outgoingSent_,
                                        static_cast<size_t>(outgoing_.size() - outgoingSent_));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break; // EAGAIN: the host is not reading; the rest goes when it does
        outgoingSent_ += written;
        wroteSome = true;
    }
    // Dropped from the front only now and then, so that a long queue is not moved for every
    // few bytes the host reads.
    if (outgoingSent_ == outgoing_.size() || outgoingSent_ > outgoing_.size() / 2) {
        outgoing_.remove(0, outgoingSent_);
        outgoingSent_ = 0;
    }
    writable_->setEnabled(outgoingSent_ < outgoing_.size());
    return wroteSome;
}

namespace {

// What the reader does between two reads, on the CPU: handing a piece over and polling.
constexpr qint64 kWorkNs = 100000;
// A wait for a CPU short enough to be taken at its word.
constexpr qint64 kShortWaitNs = 1000000;

// The time this thread has spent ready to run but waiting for a CPU (the scheduler's run delay
// in /proc/thread-self/schedstat), or -1 where the system does not keep it. What it grows by
// while the thread sleeps in poll() is how late the thread got going once data woke it.
class RunDelay {
public:
    RunDelay() : fd_(::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC)) {}
    ~RunDelay() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    RunDelay(const RunDelay&) = delete;
    RunDelay& operator=(const RunDelay&) = delete;

    qint64 ns() const {
        char text[128];
        const ssize_t got = fd_ >= 0 ? ::pread(fd_, text, sizeof text - 1, 0) : -1;
        if (got <= 0)
            return -1;
        text[got] = '\0';
        unsigned long long onCpu = 0;
        unsigned long long waiting = 0;
        if (std::sscanf(text, "%llu %llu", &onCpu, &waiting) != 2)
            return -1;
        return static_cast<qint64>(waiting);
    }

private:
    int fd_;
};

} // namespace

void SerialPty::readLoop() {
    // The times noted here are the PIC's view of the wire, and a reader that waits for the CPU
    // notes a chunk late and merges it with the next. Where the system allows it (it usually
    // needs privileges), the reader runs before ordinary work; elsewhere it runs as it is and
    // says when it was late.
    sched_param priority{};
    priority.sched_priority = 1;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
    const RunDelay runDelay;
    char buffer[4096];
    bool behind = false; // data may have been waiting since before the next read
    qint64 lastReadNs = steadyNs();
    qint64 lastEarliestNs = lastReadNs;
    qint64 waitedAtLastRead = runDelay.ns();
    while (!stopping_) {
        {
            std::unique_lock<std::mutex> lock(piecesMutex_);
            if (queuedBytes_ >= kMaxQueuedBytes) {
                roomForPieces_.wait_for(lock, std::chrono::milliseconds(50), [this] {
                    return queuedBytes_ < kMaxQueuedBytes || stopping_;
                });
                behind = true;
                continue;
            }
        }
        pollfd ready[2] = {{master_, POLLIN, 0}, {wakeReader_, POLLIN, 0}};
        const int polled = ::poll(ready, wakeReader_ >= 0 ? 2 : 1, 50);
        if (polled == 0 || (polled < 0 && errno == EINTR) || stopping_)
            continue;
        const ssize_t got =
            (ready[0].revents & POLLIN) ? ::read(master_, buffer, sizeof buffer) : -1;
        if (got <= 0) {
            // A line in a state that wakes poll() without data must not turn this (possibly
            // high-priority) thread into a spinning one.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        const qint64 now = steadyNs();
        const qint64 waited = runDelay.ns();
        // The data came after the last read. Woken by it, this thread may have had to wait for
        // a CPU; a short wait (plus a little for its own work) is allowed for. After a longer
        // one, the pseudo-terminal's own hand-over (a kernel worker, which waits for a CPU as
        // well) may have held the data up by as much again, unseen: then all that can be said
        // is that it came some time since the last read. Where the system keeps no count of
        // the wait, the read time is all there is.
        qint64 earliest = now;
        if (behind)
            earliest = lastEarliestNs;
        else if (waited >= 0 && waitedAtLastRead >= 0)
            earliest = waited - waitedAtLastRead <= kShortWaitNs
                           ? std::max(lastReadNs, now - (waited - waitedAtLastRead) - kWorkNs)
                           : lastReadNs;
        Piece piece{QByteArray(buffer, got), now, std::min(earliest, now)};
        behind = got == sizeof buffer; // the rest was there already
        lastReadNs = now;
        lastEarliestNs = piece.earliestNs;
        waitedAtLastRead = waited;
        std::lock_guard<std::mutex> lock(piecesMutex_);
        queuedBytes_ += got;
        pieces_.push_back(std::move(piece));
        if (!signalled_) {
            signalled_ = true;
            QMetaObject::invokeMethod(this, &SerialPty::received, Qt::QueuedConnection);
        }
    }
}

bool SerialPty::takePiece(Piece* piece) {
    std::lock_guard<std::mutex> lock(piecesMutex_);
    if (pieces_.empty()) {
        signalled_ = false; // the next piece signals again
        return false;
    }
    *piece = std::move(pieces_.front());
    pieces_.pop_front();
    queuedBytes_ -= piece->data.size();
    roomForPieces_.notify_one();
    return true;
}

WireFormat SerialPty::lineFormat() const {
    termios settings{};
    if (slave_ < 0 || ::tcgetattr(slave_, &settings) != 0)
        return WireFormat{};
    return wireFormatFromTermios(settings);
}

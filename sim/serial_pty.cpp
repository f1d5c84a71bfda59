#include "serial_pty.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

SerialPty::SerialPty(QObject* parent) : QObject(parent) {}

SerialPty::~SerialPty() {
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

    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        const QByteArray data = readPending();
        if (!data.isEmpty())
            emit received(data);
    });
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
    const char* next = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(master_, next, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        next += written;
        left -= written;
    }
}

QByteArray SerialPty::readPending() {
    QByteArray data;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(master_, buffer, sizeof buffer);
        if (got > 0) {
            data.append(buffer, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        return data; // EAGAIN: nothing more for now
    }
}

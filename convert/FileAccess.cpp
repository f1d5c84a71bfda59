#include "convert/FileAccess.h"

#include "canvas/Import.h"

#include <QBuffer>
#include <QFile>
#include <QIODevice>
#include <QSaveFile>
#include <QStringList>
#include <QStringView>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString describe(const QFileDevice& file) {
    const QString text = file.errorString();
    return text.isEmpty() ? QStringLiteral("the file could not be written") : text;
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}
} // namespace

FileResult writeWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return {describe(file)};
    // QSaveFile holds up to 16 KiB in its buffer, and commit() (Qt 6.4) renames the temporary
    // file over the target even when writing out that last piece failed: flush and check here,
    // while the old file is still in place.
    // The failed write's own reason, which Qt 6.4 reports there as "Unknown error".
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        const QString reason = errno != 0 ? systemReason(errno) : describe(file);
        file.cancelWriting();
        return {reason};
    }
    if (!file.commit())
        return {describe(file)};
    return {};
}

QString charactersOutsideLatin1(const QString& text) {
    QList<char32_t> seen;
    for (const char32_t c : QStringView(text).toUcs4()) {
        if (c > 0xFF && !seen.contains(c))
            seen << c;
    }
    if (seen.isEmpty())
        return QString();
    constexpr qsizetype named = 10;
    QStringList names;
    for (qsizetype i = 0; i < seen.size() && i < named; ++i) {
        // The code as well as the character: some of them (joiners, marks) show as nothing.
        const QString code = QStringLiteral("%1").arg(uint(seen[i]), 4, 16, QLatin1Char('0'));
        names << QStringLiteral("%1 (U+%2)").arg(QString::fromUcs4(&seen[i], 1), code.toUpper());
    }
    QString line = QStringLiteral("a Latin-1 file cannot hold ") + names.join(QStringLiteral(", "));
    if (seen.size() > named)
        line += QStringLiteral(" and %1 other characters").arg(seen.size() - named);
    return line;
}

FileResult writeLatin1TextFile(const QString& path, const QString& text) {
    const QString outside = charactersOutsideLatin1(text);
    if (!outside.isEmpty())
        return {outside};
    return writeWholeFile(path, text.toLatin1());
}

namespace {
// Why a file was not read, kept apart from the words so that the window and the converter each
// say it in their own sentence.
enum class Refusal { None, Unreadable, NotAFile, TooLarge };

struct Reading {
    QByteArray bytes;
    Refusal refusal = Refusal::None;
    QString reason;   // Unreadable: the system's reason; NotAFile: what it is instead
    qint64 size = -1; // TooLarge: the size the file claims, or -1 when it only grew past the limit
};

Reading refused(Refusal refusal, const QString& reason, qint64 size = -1) {
    Reading reading;
    reading.refusal = refusal;
    reading.reason = reason;
    reading.size = size;
    return reading;
}

QString fileKind(mode_t mode) {
    return S_ISDIR(mode)    ? QStringLiteral("a folder")
           : S_ISFIFO(mode) ? QStringLiteral("a pipe")
           : S_ISSOCK(mode) ? QStringLiteral("a socket")
                            : QStringLiteral("a device");
}

Reading readRegular(const QByteArray& native, qint64 maxBytes) {
    // Opened without blocking, so that a FIFO with no writer cannot hold the program; it is
    // refused right after by its type.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refused(Refusal::Unreadable, systemReason(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return refused(Refusal::Unreadable, systemReason(error));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return refused(Refusal::NotAFile, fileKind(info.st_mode));
    }
    if (info.st_size > maxBytes) {
        ::close(fd);
        return refused(Refusal::TooLarge, QString(), qint64(info.st_size));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refused(Refusal::Unreadable, file.errorString());
    }
    // A file that grows while it is read is still taken only up to the limit.
    Reading reading;
    reading.bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(Refusal::Unreadable, file.errorString());
    if (reading.bytes.size() > maxBytes)
        return refused(Refusal::TooLarge, QString());
    return reading;
}

// The phrase after an input's name in the converter's and Import's messages.
FileContent asInput(const Reading& reading, qint64 maxBytes) {
    FileContent content;
    switch (reading.refusal) {
    case Refusal::None:
        content.bytes = reading.bytes;
        break;
    case Refusal::Unreadable:
        content.failure = QStringLiteral("cannot read (%1)").arg(reading.reason);
        break;
    case Refusal::NotAFile:
        content.failure = QStringLiteral("not a file but %1").arg(reading.reason);
        break;
    case Refusal::TooLarge:
        content.failure = reading.size >= 0
                              ? QStringLiteral("too large: %1 bytes, more than the %2 read at most")
                                    .arg(reading.size)
                                    .arg(byteCountText(maxBytes))
                              : QStringLiteral("too large: more than the %1 read at most")
                                    .arg(byteCountText(maxBytes));
        break;
    }
    return content;
}
} // namespace

QString byteCountText(qint64 bytes) {
    constexpr qint64 MiB = 1024 * 1024;
    if (bytes >= MiB && bytes % MiB == 0)
        return QStringLiteral("%1 MiB").arg(bytes / MiB);
    return QString::number(bytes);
}

FileContent readWholeRegularFile(const QString& path, qint64 maxBytes) {
    const Reading reading = readRegular(QFile::encodeName(path), maxBytes);
    FileContent content;
    switch (reading.refusal) {
    case Refusal::None:
        content.bytes = reading.bytes;
        break;
    case Refusal::Unreadable:
        content.failure = QStringLiteral("%1 cannot be read: %2").arg(path, reading.reason);
        break;
    case Refusal::NotAFile:
        content.failure = QStringLiteral("%1 is not a file but %2").arg(path, reading.reason);
        break;
    case Refusal::TooLarge:
        content.failure = reading.size >= 0
                              ? QStringLiteral("%1 holds %2 bytes, more than the %3 read at most")
                                    .arg(path)
                                    .arg(reading.size)
                                    .arg(maxBytes)
                              : QStringLiteral("%1 holds more than the %2 bytes read at most")
                                    .arg(path)
                                    .arg(maxBytes);
        break;
    }
    return content;
}

FileContent readInputFile(const QByteArray& nativePath, qint64 maxBytes) {
    return asInput(readRegular(nativePath, maxBytes), maxBytes);
}

FileContent readInputDevice(QIODevice& device, qint64 maxBytes) {
    // In steps, so that an endless input (a pipe from /dev/zero) stops one step past the limit
    // instead of growing until memory runs out.
    constexpr qint64 Step = 1024 * 1024;
    QByteArray bytes;
    for (;;) {
        const qint64 room = maxBytes + 1 - bytes.size();
        if (room <= 0)
            break;
        const qsizetype had = bytes.size();
        const qint64 want = std::min(Step, room);
        bytes.resize(had + want);
        const qint64 got = device.read(bytes.data() + had, want);
        if (got < 0)
            return asInput(refused(Refusal::Unreadable, device.errorString()), maxBytes);
        bytes.resize(had + got);
        if (got == 0) // the end of the input
            break;
    }
    if (bytes.size() > maxBytes)
        return asInput(refused(Refusal::TooLarge, QString()), maxBytes);
    Reading reading;
    reading.bytes = bytes;
    return asInput(reading, maxBytes);
}

QImage readPictureFile(const QString& path, QString* failure) {
    FileContent content = readInputFile(QFile::encodeName(path), LargestPictureBytes);
    if (!content.ok()) {
        *failure = content.failure;
        return {};
    }
    QBuffer buffer(&content.bytes);
    buffer.open(QIODevice::ReadOnly);
    return readPicture(&buffer, failure);
}

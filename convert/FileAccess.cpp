#include "convert/FileAccess.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QStringView>

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

FileContent readWholeRegularFile(const QString& path, qint64 maxBytes) {
    FileContent content;
    const QByteArray native = QFile::encodeName(path);
    // Opened without blocking, so that a FIFO with no writer cannot hold the window; it is
    // refused right after by its type.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        content.failure = QStringLiteral("%1 cannot be read: %2").arg(path, systemReason(errno));
        return content;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        content.failure = QStringLiteral("%1 cannot be read: %2").arg(path, systemReason(errno));
        ::close(fd);
        return content;
    }
    if (!S_ISREG(info.st_mode)) {
        content.failure = QStringLiteral("%1 is not a file but %2")
                              .arg(path, S_ISDIR(info.st_mode)    ? QStringLiteral("a folder")
                                         : S_ISFIFO(info.st_mode) ? QStringLiteral("a pipe")
                                         : S_ISSOCK(info.st_mode) ? QStringLiteral("a socket")
                                                                  : QStringLiteral("a device"));
        ::close(fd);
        return content;
    }
    if (info.st_size > maxBytes) {
        content.failure = QStringLiteral("%1 holds %2 bytes, more than the %3 read at most")
                              .arg(path)
                              .arg(qint64(info.st_size))
                              .arg(maxBytes);
        ::close(fd);
        return content;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        content.failure = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        ::close(fd);
        return content;
    }
    // A file that grows while it is read is still taken only up to the limit.
    content.bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        content.failure = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        content.bytes.clear();
    } else if (content.bytes.size() > maxBytes) {
        content.failure =
            QStringLiteral("%1 holds more than the %2 bytes read at most").arg(path).arg(maxBytes);
        content.bytes.clear();
    }
    return content;
}

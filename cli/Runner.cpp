#include "cli/Runner.h"

#include "canvas/Import.h"
#include "cli/Conversion.h"
#include "cli/FileNames.h"
#include "cli/Options.h"
#include "convert/FileAccess.h"

#include <QBuffer>
#include <QHash>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString StandardInput = QStringLiteral("-");

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString shownName(const QString& input) {
    return input == StandardInput ? QStringLiteral("standard input") : shownFileName(input);
}

QString quoted(const QString& path) {
    return QLatin1Char('\'') + shownFileName(path) + QLatin1Char('\'');
}

// The last part of a path, and that without its last extension ("a.tar.gz": "a.tar"), worked on
// the text so that the bytes of a name that is not UTF-8 stay as they are.
QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString completeBaseName(const QString& path) {
    const QString name = fileNameOf(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

// The file name an input's outputs are named after, without extension.
QString baseName(const QString& input) {
    return input == StandardInput ? QStringLiteral("stdin") : completeBaseName(input);
}

QString inFolder(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Standard output, every write checked: a full disk or /dev/full is a failure to report, not a
// table cut short behind an exit status of 0.
class Output {
public:
    explicit Output(QIODevice& device) : m_device(device) {}

    bool write(const QByteArray& bytes) {
        if (!m_failure.isEmpty())
            return false;
        errno = 0;
        if (m_device.write(bytes) != bytes.size()) {
            const int error = errno;
            QString reason = m_device.errorString();
            if ((reason.isEmpty() || reason == QLatin1String("Unknown error")) && error != 0)
                reason = systemReason(error);
            m_failure = QStringLiteral("cannot write standard output (%1)").arg(reason);
            return false;
        }
        return true;
    }
    bool write(const QString& text) { return write(text.toUtf8()); }
    const QString& failure() const { return m_failure; }

private:
    QIODevice& m_device;
    QString m_failure;
};

bool writeAll(int fd, const QByteArray& contents) {
    qsizetype done = 0;
    while (done < contents.size()) {
        const ssize_t wrote =
            ::write(fd, contents.constData() + done, size_t(contents.size() - done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            if (wrote == 0)
                errno = ENOSPC;
            return false;
        }
        done += wrote;
    }
    return true;
}

// Every folder on the way to `folder`, as `mkdir -p` makes them.
bool makeFolders(const QByteArray& folder) {
    struct stat info {};
    if (folder.isEmpty() || ::stat(folder.constData(), &info) == 0)
        return true;
    const qsizetype slash = folder.lastIndexOf('/');
    if (slash > 0 && !makeFolders(folder.left(slash)))
        return false;
    return ::mkdir(folder.constData(), 0777) == 0 || errno == EEXIST;
}

// Into a device, a pipe or through a link the bytes are written as they are (renaming over
// /dev/stdout or /dev/null would replace it). A plain file is written whole under a temporary
// name and renamed over the target, so that an interrupted run never leaves a half-written
// table that a build would take as up to date; not synced to disk, or a batch of a hundred
// files would spend most of its time waiting for the disk. The names are the system's bytes.
bool writeFile(const QString& path, const QByteArray& contents, QString* failure) {
    const QByteArray native = nativeName(path);
    const auto fail = [&](int error) {
        *failure =
            QStringLiteral("cannot write %1 (%2)").arg(shownFileName(path), systemReason(error));
        return false;
    };
    struct stat link {};
    if (::lstat(native.constData(), &link) == 0 && !S_ISREG(link.st_mode)) {
        const int fd = ::open(native.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0)
            return fail(errno);
        const bool written = writeAll(fd, contents);
        const int error = errno;
        if (::close(fd) != 0 && written)
            return fail(errno);
        return written || fail(error);
    }
    const qsizetype slash = native.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? native.left(slash) : QByteArray();
    if (!makeFolders(folder)) {
        *failure = QStringLiteral("cannot make the directory %1 (%2)")
                       .arg(shownFileName(argumentText(folder)), systemReason(errno));
        return false;
    }
    QByteArray temporary = native + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return fail(errno);
    // The permissions of a newly created file, not the private ones of a temporary file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    const bool written = writeAll(fd, contents);
    int error = errno;
    if (::close(fd) != 0 && written) {
        error = errno;
        ::unlink(temporary.constData());
        return fail(error);
    }
    if (!written || std::rename(temporary.constData(), native.constData()) != 0) {
        if (written)
            error = errno;
        ::unlink(temporary.constData());
        return fail(error);
    }
    return true;
}

// Where an input's file goes: `target` itself, or inside it when it names a directory.
QString targetPath(const QString& target, const QString& input, const QString& extension) {
    return namesDirectory(target) ? inFolder(target, baseName(input) + extension) : target;
}

// Two inputs of the same name would write the same file; the second one is refused instead.
class Targets {
public:
    explicit Targets(QString target) : m_target(std::move(target)) {}

    QString pathFor(const QString& input, const QString& extension, QString* failure) {
        const QString path = targetPath(m_target, input, extension);
        if (!namesDirectory(m_target))
            return path;
        if (m_written.contains(path)) {
            *failure = QStringLiteral("would overwrite %1, written for %2")
                           .arg(shownFileName(path), shownName(m_written.value(path)));
            return QString();
        }
        m_written.insert(path, input);
        return path;
    }

private:
    QString m_target;
    QHash<QString, QString> m_written;
};

// A file by what it is, not by how it is spelled: device and inode for a file that exists,
// the folder's device and inode and the name for one that is still to be made. Empty for what
// is not a regular file (a device such as /dev/null may well take two outputs).
QString fileIdentity(const QString& path) {
    const QByteArray native = nativeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) == 0) {
        if (!S_ISREG(info.st_mode))
            return QString();
        return QStringLiteral("%1:%2").arg(quint64(info.st_dev)).arg(quint64(info.st_ino));
    }
    const qsizetype slash = native.lastIndexOf('/');
    const QByteArray folder =
        slash < 0 ? QByteArray(".") : native.left(std::max<qsizetype>(slash, 1));
    const QByteArray name = native.mid(slash + 1);
    if (::stat(folder.constData(), &info) == 0)
        return QStringLiteral("%1:%2/%3")
            .arg(quint64(info.st_dev))
            .arg(quint64(info.st_ino))
            .arg(QString::fromLatin1(name.toHex()));
    return QStringLiteral("new:") + QString::fromLatin1(native.toHex());
}

// An output that is one of the inputs, or -o and --preview that are the same file, would
// destroy what the run reads or writes: refused before anything is read or written.
QString clashingOutput(const CliOptions& options) {
    QHash<QString, QString> inputs; // identity -> input
    for (const QString& input : options.inputs) {
        if (input == StandardInput)
            continue;
        const QString identity = fileIdentity(input);
        if (!identity.isEmpty() && !inputs.contains(identity))
            inputs.insert(identity, input);
    }
    struct Planned {
        QString option;
        QString path;
        QString identity;
    };
    QList<Planned> planned;
    const auto plan = [&](const QString& option, const QString& target, const QString& extension) {
        if (target.isEmpty())
            return;
        for (const QString& input : options.inputs) {
            const QString path = targetPath(target, input, extension);
            planned.append({option, path, fileIdentity(path)});
        }
    };
    plan(QStringLiteral("-o"), options.output, outputExtension(options));
    plan(QStringLiteral("--preview"), options.preview, QStringLiteral(".png"));
    for (const Planned& each : planned) {
        if (each.identity.isEmpty())
            continue;
        if (inputs.contains(each.identity))
            return QStringLiteral("%1 %2 is the same file as the input %3")
                .arg(each.option, quoted(each.path), quoted(inputs.value(each.identity)));
        for (const Planned& other : planned)
            if (other.option != each.option && other.identity == each.identity)
                return QStringLiteral("%1 %2 is the same file as %3 %4")
                    .arg(other.option, quoted(other.path), each.option, quoted(each.path));
    }
    return QString();
}

FileContent readInput(const QString& input, const CliOptions& options, QIODevice& in) {
    // A table is text of a few kilobytes; a picture file is never larger than it is decoded.
    const qint64 limit = options.decode ? LargestReadFile : LargestPictureBytes;
    if (input == StandardInput)
        return readInputDevice(in, limit);
    return readInputFile(nativeName(input), limit);
}

// One input from reading to its files; false with `failure` when it gave nothing usable, or
// when standard output failed (then `out` holds why).
bool convertOne(const QString& input, const CliOptions& options, QIODevice& in, Output& out,
                Targets& outputs, Targets& previews, QString* failure) {
    FileContent content = readInput(input, options, in);
    if (!content.ok()) {
        *failure = content.failure;
        return false;
    }
    Converted converted;
    if (options.decode) {
        converted = tableToPicture(content.bytes, options);
    } else {
        QBuffer source(&content.bytes);
        source.open(QIODevice::ReadOnly);
        const QString name =
            input == StandardInput ? QStringLiteral("image") : completeBaseName(input);
        converted = pictureToTable(source, name, options);
    }
    if (!converted.ok()) {
        *failure = converted.failure;
        return false;
    }

    if (options.output.isEmpty()) {
        if (options.inputs.size() > 1) {
            // Each output opens on a line of its own after the line naming its input.
            const QString name = input == StandardInput ? QStringLiteral("standard input") : input;
            if (!out.write(nameComment(options, name) + QLatin1Char('\n')))
                return false;
            if (!converted.output.endsWith('\n'))
                converted.output += '\n';
        }
        if (!out.write(converted.output))
            return false;
    } else {
        const QString path = outputs.pathFor(input, outputExtension(options), failure);
        if (path.isEmpty() || !writeFile(path, converted.output, failure))
            return false;
    }
    if (!options.preview.isEmpty()) {
        const QString path = previews.pathFor(input, QStringLiteral(".png"), failure);
        if (path.isEmpty() || !writeFile(path, pngFile(converted.drawn), failure))
            return false;
    }
    return true;
}
} // namespace

int runConvert(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err) {
    Output output(out);
    const auto say = [&err](const QString& text) { err.write(text.toUtf8()); };
    const auto usageError = [&say](const QString& text) {
        say(QStringLiteral("quorvel-convert: %1\n%2\nTry 'quorvel-convert --help' for every "
                           "option.\n")
                .arg(text, usageLine()));
        return 2;
    };
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    switch (parsed.outcome) {
    case ParsedCommandLine::Help:
    case ParsedCommandLine::Version:
        if (!output.write(parsed.text)) {
            say(QStringLiteral("quorvel-convert: %1\n").arg(output.failure()));
            return 1;
        }
        return 0;
    case ParsedCommandLine::UsageError:
        return usageError(parsed.text);
    case ParsedCommandLine::Run:
        break;
    }

    const CliOptions& options = parsed.options;
    const QString clash = clashingOutput(options);
    if (!clash.isEmpty())
        return usageError(clash);
    Targets outputs(options.output);
    Targets previews(options.preview);
    bool allConverted = true;
    for (const QString& input : options.inputs) {
        QString failure;
        if (!convertOne(input, options, in, output, outputs, previews, &failure)) {
            if (!output.failure().isEmpty()) {
                // Standard output takes nothing more: the inputs after this one would only
                // repeat it.
                say(QStringLiteral("quorvel-convert: %1\n").arg(output.failure()));
                return 1;
            }
            say(QStringLiteral("quorvel-convert: %1: %2\n").arg(shownName(input), failure));
            allConverted = false;
        }
    }
    return allConverted ? 0 : 1;
}

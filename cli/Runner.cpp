#include "cli/Runner.h"

#include "cli/Conversion.h"
#include "cli/Options.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {
const QString StandardInput = QStringLiteral("-");

QString shownName(const QString& input) {
    return input == StandardInput ? QStringLiteral("standard input") : input;
}

// The file name an input's outputs are named after, without extension.
QString baseName(const QString& input) {
    return input == StandardInput ? QStringLiteral("stdin") : QFileInfo(input).completeBaseName();
}

void say(QIODevice& device, const QString& text) {
    device.write(text.toUtf8());
}

// Into a device, a pipe or through a link the bytes are written as they are (renaming over
// /dev/stdout or /dev/null would replace it). A plain file is written whole under a temporary
// name and renamed over the target, so that an interrupted run never leaves a half-written
// table that a build would take as up to date; not synced to disk, or a batch of a hundred
// files would spend most of its time waiting for the disk.
bool writeFile(const QString& path, const QByteArray& contents, QString* failure) {
    const QFileInfo info(path);
    if (info.exists() && (info.isSymLink() || !info.isFile())) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(contents) != contents.size() || !file.flush()) {
            *failure = QStringLiteral("cannot write %1 (%2)").arg(path, file.errorString());
            return false;
        }
        return true;
    }
    if (!QDir().mkpath(info.absolutePath())) {
        *failure = QStringLiteral("cannot make the directory %1").arg(info.absolutePath());
        return false;
    }
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(contents) != contents.size() || !file.flush()) {
        *failure = QStringLiteral("cannot write %1 (%2)").arg(path, file.errorString());
        return false;
    }
    // The permissions of a newly created file, not the private ones of a temporary file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(file.handle(), 0666 & ~mask);
    file.close();
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0) {
        *failure = QStringLiteral("cannot write %1 (%2)")
                       .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    file.setAutoRemove(false);
    return true;
}

// Where an input's file goes: `target` itself, or inside it when it names a directory. Two
// inputs of the same name would write the same file; the second one is refused instead.
class Targets {
public:
    explicit Targets(QString target) : m_target(std::move(target)) {}

    QString pathFor(const QString& input, const QString& extension, QString* failure) {
        if (!namesDirectory(m_target))
            return m_target;
        const QString path = QDir(m_target).filePath(baseName(input) + extension);
        const QString key = QFileInfo(path).absoluteFilePath();
        if (m_written.contains(key)) {
            *failure = QStringLiteral("would overwrite %1, written for %2")
                           .arg(path, shownName(m_written.value(key)));
            return QString();
        }
        m_written.insert(key, input);
        return path;
    }

private:
    QString m_target;
    QHash<QString, QString> m_written;
};

bool readInput(const QString& input, QIODevice& in, QByteArray* contents, QString* failure) {
    if (input == StandardInput) {
        *contents = in.readAll();
        return true;
    }
    QFile file(input);
    if (!file.open(QIODevice::ReadOnly)) {
        *failure = QStringLiteral("cannot read (%1)").arg(file.errorString());
        return false;
    }
    *contents = file.readAll();
    return true;
}

// One input from reading to its files; false with `failure` when it gave nothing usable.
bool convertOne(const QString& input, const CliOptions& options, QIODevice& in, QIODevice& out,
                Targets& outputs, Targets& previews, QString* failure) {
    QByteArray contents;
    if (!readInput(input, in, &contents, failure))
        return false;
    Converted converted;
    if (options.decode) {
        converted = tableToPicture(contents, options);
    } else {
        QBuffer source(&contents);
        source.open(QIODevice::ReadOnly);
        const QString name =
            input == StandardInput ? QStringLiteral("image") : QFileInfo(input).completeBaseName();
        converted = pictureToTable(source, name, options);
    }
    if (!converted.ok()) {
        *failure = converted.failure;
        return false;
    }

    if (options.output.isEmpty()) {
        if (options.inputs.size() > 1) {
            // Each output opens on a line of its own after the line naming its input.
            say(out, nameComment(options, shownName(input)) + QLatin1Char('\n'));
            if (!converted.output.endsWith('\n'))
                converted.output += '\n';
        }
        out.write(converted.output);
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
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    switch (parsed.outcome) {
    case ParsedCommandLine::Help:
    case ParsedCommandLine::Version:
        say(out, parsed.text);
        return 0;
    case ParsedCommandLine::UsageError:
        say(err, QStringLiteral("quorvel-convert: %1\n%2\nTry 'quorvel-convert --help' for every "
                                "option.\n")
                     .arg(parsed.text, usageLine()));
        return 2;
    case ParsedCommandLine::Run:
        break;
    }

    const CliOptions& options = parsed.options;
    Targets outputs(options.output);
    Targets previews(options.preview);
    bool allConverted = true;
    for (const QString& input : options.inputs) {
        QString failure;
        if (!convertOne(input, options, in, out, outputs, previews, &failure)) {
            say(err, QStringLiteral("quorvel-convert: %1: %2\n").arg(shownName(input), failure));
            allConverted = false;
        }
    }
    return allConverted ? 0 : 1;
}

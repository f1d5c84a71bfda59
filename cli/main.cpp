// quorvel-convert: the window's conversions from the command line. A core application only, so
// that it starts fast and runs where there is no display.
#include "cli/FileNames.h"
#include "cli/Runner.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <unistd.h>

namespace {
// A picture that cannot be read is reported once, with its name and the reason; the decoders'
// own lines ("libpng error: Read Error", "Corrupt JPEG data") would only repeat it. Only a fatal
// message, which ends the program, is still printed.
void quietLibraries(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg)
        std::fprintf(stderr, "quorvel-convert: %s\n", message.toLocal8Bit().constData());
}
} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietLibraries);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvel-convert"));
    // The arguments as the system's file names: bytes that are not UTF-8 are kept, not replaced.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << argumentText(QByteArray(argv[i]));
    QFile in;
    QFile out;
    QFile err;
    in.open(STDIN_FILENO, QIODevice::ReadOnly);
    // Straight to the descriptor: every write's failure is seen where it happens.
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    int status = runConvert(arguments, in, out, err);
    // The last check: nothing of standard output may stay behind unwritten.
    if (!out.flush() && status == 0) {
        err.write(QStringLiteral("quorvel-convert: cannot write standard output (%1)\n")
                      .arg(out.errorString())
                      .toUtf8());
        status = 1;
    }
    return status;
}

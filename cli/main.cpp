// quorvel-convert: the window's conversions from the command line. A core application only, so
// that it starts fast and runs where there is no display.
#include "cli/Runner.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvel-convert"));
    // A picture that cannot be read is reported once, with its name and the reader's reason;
    // the decoders' own warnings would only repeat it.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio=false"));
    QFile in;
    QFile out;
    QFile err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return runConvert(QCoreApplication::arguments().mid(1), in, out, err);
}

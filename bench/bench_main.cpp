// quorvel-bench: prints tables of how fast the program does its work. Never fails on time.
// With section names as arguments (convert, click, send, image, textbox, import, export, paint,
// startup, cli, firmware) runs only those.
#include "Benches.h"

#include <QApplication>
#include <cstring>
#include <functional>
#include <utility>

namespace {
QtMessageHandler defaultHandler = nullptr;

// The offscreen platform warns each time a window is shown, and Qt when the runtime folder is
// unset; neither says anything about the program, and both would break up the tables.
void quietPlatformNoise(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("propagateSizeHints")) ||
        text.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    defaultHandler(type, context, text);
}
} // namespace

int main(int argc, char** argv) {
    defaultHandler = qInstallMessageHandler(quietPlatformNoise);
    if (argc > 1 && std::strcmp(argv[1], "--startup-probe") == 0)
        return startupProbe(argc, argv);
    QApplication app(argc, argv);
    const QString self = QString::fromLocal8Bit(argv[0]);
    const std::pair<const char*, std::function<void()>> sections[] = {
        {"convert", benchConversion},
        {"click", benchConvertClick},
        {"send", benchSendCost},
        {"image", benchSendImage},
        {"textbox", benchTextBoxes},
        {"import", benchImport},
        {"export", benchExport},
        {"paint", benchPenPaint},
        {"startup", [&self] { benchStartup(self); }},
        {"cli", benchCli},
        {"firmware", benchFirmware},
    };
    const QStringList chosen = app.arguments().mid(1);
    for (const auto& [name, run] : sections)
        if (chosen.isEmpty() || chosen.contains(QLatin1String(name)))
            run();
    return 0;
}

// quorvel-picsim: a virtual PIC with its graphic LCD and EEPROM behind a pseudo-terminal, so the
// ToolBox can be driven end to end without hardware.

#include "lcd_window.h"
#include "serial_pty.h"
#include "sim_options.h"
#include "sim_session.h"
#include "unix_signal_watcher.h"

#include <QApplication>

#include <csignal>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const OptionsParse parsed = parseSimOptions(arguments);
    if (!parsed.options) {
        std::fprintf(parsed.helpRequested ? stdout : stderr, "%s\n", qPrintable(parsed.message));
        return parsed.helpRequested ? 0 : 2;
    }
    const SimOptions& options = *parsed.options;

    // Headless runs must not make Qt look for a display it would fail to open.
    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") &&
                           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (options.noWindow || noDisplay)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    SerialPty pty;
    QString error;
    if (!pty.open(&error) ||
        (!options.linkPath.isEmpty() && !pty.createLink(options.linkPath, &error))) {
        std::fprintf(stderr, "quorvel-picsim: %s\n", qPrintable(error));
        return 1;
    }
    // The first line of stdout is the contract with scripts and tests: the device to open.
    std::printf("%s\n", qPrintable(pty.devicePath()));
    std::fflush(stdout);

    SimSession session(options, &pty);
    UnixSignalWatcher watcher({SIGTERM, SIGINT, SIGHUP, SIGUSR1});
    QObject::connect(&watcher, &UnixSignalWatcher::caught, &app, [&](int signalNumber) {
        if (signalNumber == SIGUSR1)
            session.savePng();
        else
            QCoreApplication::quit();
    });

    std::unique_ptr<LcdWindow> window;
    const QString platform = QGuiApplication::platformName();
    if (!options.noWindow && platform != QLatin1String("offscreen") &&
        platform != QLatin1String("minimal")) {
        window = std::make_unique<LcdWindow>(options.scale, pty.devicePath());
        window->showLcd(session.lcd());
        QObject::connect(&session, &SimSession::lcdChanged, window.get(), &LcdWindow::showLcd);
        QObject::connect(&session, &SimSession::statusLine, window.get(), &LcdWindow::showStatus);
        QObject::connect(&session, &SimSession::layoutHint, window.get(), &LcdWindow::showHint);
        window->show();
    }

    session.start();
    return app.exec();
}

#include "sim_options.h"

#include "command_header.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {

std::optional<int> positiveNumber(const QString& text, int minimum, int maximum) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

OptionsParse failure(const QString& message) {
    return OptionsParse{std::nullopt, message, false};
}

// The wait text must never be mistaken for data or for the start of the next header.
bool usableWaitText(const QString& text) {
    if (text.isEmpty() || text.size() > 8)
        return false;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e || c == QLatin1Char('*') ||
            hexDigitValue(c.toLower().toLatin1()) >= 0)
            return false;
    }
    return true;
}

} // namespace

OptionsParse parseSimOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Virtual PIC on a pseudo-terminal: prints the pty path on the first line of "
                       "stdout, decodes LCD and EEPROM streams, answers with status lines."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Create a symlink to the pty device."),
                                  QStringLiteral("path"));
    const QCommandLineOption wait(QStringLiteral("wait"),
                                  QStringLiteral("Wait character(s) before each chunk; default ]."),
                                  QStringLiteral("chars"), QStringLiteral("]"));
    const QCommandLineOption png(QStringLiteral("png"),
                                 QStringLiteral("Write the LCD picture as PNG after each picture."),
                                 QStringLiteral("file"));
    const QCommandLineOption busy(QStringLiteral("busy-ms"),
                                  QStringLiteral("PIC busy time per chunk; default 0 = off."),
                                  QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption idle(QStringLiteral("idle-ms"),
                                  QStringLiteral("Quiet time that ends a transfer; default 400."),
                                  QStringLiteral("ms"), QStringLiteral("400"));
    const QCommandLineOption noWindow(QStringLiteral("no-window"),
                                      QStringLiteral("Run headless even with a display."));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("No copy of the status lines on stderr."));
    const QCommandLineOption scale(QStringLiteral("scale"),
                                   QStringLiteral("Window magnification 1-8; default 3."),
                                   QStringLiteral("n"), QStringLiteral("3"));
    const QCommandLineOption eepromPanel(
        QStringLiteral("eeprom-panel"),
        QStringLiteral("Panel the EEPROM is shown as: WxH with optional v/h suffix, or auto "
                       "(from the last EEPROM load's size); default 128x64."),
        QStringLiteral("panel"), QStringLiteral("128x64"));
    const QCommandLineOption invert(
        QStringLiteral("invert-horizontal"),
        QStringLiteral("In horizontal streams a 0 bit is dark (default: 1 is dark)."));
    const QCommandLineOption controller(
        QStringLiteral("controller"),
        QStringLiteral("The panel's chip: ks0108 (shows vertical bytes), t6963c (horizontal "
                       "bytes, as the SED1330), or auto (128 pixels wide: ks0108, wider: "
                       "t6963c); default auto."),
        QStringLiteral("chip"), QStringLiteral("auto"));
    parser.addOptions({help, link, wait, png, busy, idle, noWindow, quiet, scale, eepromPanel,
                       invert, controller});

    if (!parser.parse(arguments))
        return failure(parser.errorText());
    if (parser.isSet(help))
        return OptionsParse{std::nullopt,
                            parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                      QStringLiteral("quorvel-picsim")),
                            true};
    if (!parser.positionalArguments().isEmpty())
        return failure(QStringLiteral("unexpected argument: ") +
                       parser.positionalArguments().first());

    SimOptions options;
    options.linkPath = parser.value(link);
    options.pngPath = parser.value(png);
    options.noWindow = parser.isSet(noWindow);
    options.quiet = parser.isSet(quiet);
    if (!options.pngPath.isEmpty()) {
        // The picture is written aside and renamed onto the path: a folder or a device there
        // would refuse every rename, so say so now rather than fail quietly later.
        const QFileInfo target(options.pngPath);
        if (target.exists() && !target.isFile())
            return failure(QStringLiteral("--png %1: not a regular file").arg(options.pngPath));
        if (!target.absoluteDir().exists())
            return failure(
                QStringLiteral("--png %1: the folder does not exist").arg(options.pngPath));
    }
    options.config.horizontalOneIsDark = !parser.isSet(invert);

    if (!usableWaitText(parser.value(wait)))
        return failure(
            QStringLiteral("--wait: 1-8 printable ASCII characters, no hex digit, no '*'"));
    options.config.wait = parser.value(wait).toLatin1();

    const auto busyMs = positiveNumber(parser.value(busy), 0, 60000);
    const auto idleMs = positiveNumber(parser.value(idle), 10, 600000);
    const auto scaleValue = positiveNumber(parser.value(scale), 1, 8);
    if (!busyMs || !idleMs || !scaleValue)
        return failure(QStringLiteral("--busy-ms 0-60000, --idle-ms 10-600000, --scale 1-8"));
    options.config.busyMs = *busyMs;
    options.config.idleMs = *idleMs;
    options.scale = *scaleValue;

    const QString chip = parser.value(controller).toLower();
    if (chip == QLatin1String("ks0108"))
        options.config.controller = Controller::Ks0108;
    else if (chip == QLatin1String("t6963c"))
        options.config.controller = Controller::T6963c;
    else if (chip != QLatin1String("auto"))
        return failure(QStringLiteral("--controller: ks0108, t6963c or auto"));

    const QString panelText = parser.value(eepromPanel);
    if (panelText == QLatin1String("auto")) {
        options.config.eepromPanel.reset();
    } else {
        options.config.eepromPanel = parsePanelText(panelText);
        if (!options.config.eepromPanel)
            return failure(QStringLiteral("--eeprom-panel: WxH[v|h] (multiples of 8) or auto"));
    }
    return OptionsParse{options, QString(), false};
}

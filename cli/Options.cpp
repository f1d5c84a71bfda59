#include "cli/Options.h"

#include "canvas/LcdSize.h"
#include "cli/FileNames.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <sys/stat.h>
#include <utility>
#include <vector>

#ifndef QUORVEL_VERSION
#error "QUORVEL_VERSION comes from the project version in CMake"
#endif

namespace {
const QString Program = QStringLiteral("quorvel-convert");

template <class T> using Choices = std::vector<std::pair<QString, T>>;

const Choices<ImportScale>& scales() {
    static const Choices<ImportScale> choices{{QStringLiteral("fit"), ImportScale::Fit},
                                              {QStringLiteral("fill"), ImportScale::Fill},
                                              {QStringLiteral("stretch"), ImportScale::Stretch},
                                              {QStringLiteral("none"), ImportScale::None}};
    return choices;
}

const Choices<ImportDither>& dithers() {
    static const Choices<ImportDither> choices{
        {QStringLiteral("threshold"), ImportDither::Threshold},
        {QStringLiteral("floyd-steinberg"), ImportDither::FloydSteinberg},
        {QStringLiteral("ordered"), ImportDither::Ordered},
        {QStringLiteral("atkinson"), ImportDither::Atkinson}};
    return choices;
}

const Choices<ExportFormat>& exportFormats() {
    // In the window's order; "asm" is the PIC18 table's older name.
    static const Choices<ExportFormat> choices = [] {
        Choices<ExportFormat> list;
        for (int i = 0; i < ExportFormatCount; ++i) {
            const auto format = static_cast<ExportFormat>(i);
            list.emplace_back(exportFormatKey(format), format);
            if (format == ExportFormat::Pic18Assembler)
                list.emplace_back(QStringLiteral("asm"), format);
        }
        return list;
    }();
    return choices;
}

const Choices<bool>& cTypes() {
    static const Choices<bool> choices{{QStringLiteral("unsigned-char"), false},
                                       {QStringLiteral("uint8_t"), true}};
    return choices;
}

const Choices<bool>& layouts() {
    static const Choices<bool> choices{{QStringLiteral("vertical"), false},
                                       {QStringLiteral("horizontal"), true}};
    return choices;
}

template <class T> QString names(const Choices<T>& choices) {
    QStringList list;
    for (const auto& choice : choices)
        list << choice.first;
    const QString last = list.takeLast();
    return list.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

template <class T> bool choose(const Choices<T>& choices, const QString& value, T* chosen) {
    for (const auto& choice : choices) {
        if (choice.first.compare(value, Qt::CaseInsensitive) == 0) {
            *chosen = choice.second;
            return true;
        }
    }
    return false;
}

QString panelNames() {
    QStringList list;
    for (const LcdSize& size : lcdSizes())
        list << QString::fromLatin1(size.label);
    const QString last = list.takeLast();
    return list.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

bool choosePanel(const QString& value, int* width, int* height) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,4})[xX](\\d{1,4})$"));
    const QRegularExpressionMatch match = form.match(value);
    if (!match.hasMatch())
        return false;
    for (const LcdSize& size : lcdSizes()) {
        if (size.width == match.captured(1).toInt() && size.height == match.captured(2).toInt()) {
            *width = size.width;
            *height = size.height;
            return true;
        }
    }
    return false;
}

bool wholeNumber(const QString& value, int low, int high, int* number) {
    bool ok = false;
    const int n = value.toInt(&ok, 10);
    if (!ok || n < low || n > high)
        return false;
    *number = n;
    return true;
}

QString quoted(const QString& text) {
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

struct Option {
    QCommandLineOption option;
    bool picture = false; // applies to reading a picture, not to --decode
    bool textOutput = false;
    bool exportOutput = false;
};
} // namespace

QString usageLine() {
    return QStringLiteral("Usage: ") + Program + QStringLiteral(" [options] PICTURE...");
}

bool namesDirectory(const QString& path) {
    struct stat info {};
    return path.endsWith(QLatin1Char('/')) ||
           (::stat(nativeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode));
}

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
    const QString none = QStringLiteral("(default: empty)");
    const QCommandLineOption panel(
        QStringLiteral("panel"),
        QStringLiteral("The panel: %1 (default: 128x64).").arg(panelNames()),
        QStringLiteral("WxH"));
    const QCommandLineOption layout(
        QStringLiteral("layout"),
        QStringLiteral("vertical: bytes of 8 pixels in a column, page by page (KS0108); "
                       "horizontal: bytes of 8 pixels in a row, row by row (T6963C, SED1330) "
                       "(default: vertical)."),
        QStringLiteral("layout"));
    const QCommandLineOption noInvert(
        QStringLiteral("no-invert"),
        QStringLiteral("Horizontal bytes as with \"Inverted\" unticked: a black pixel is a 0 bit "
                       "(default: ticked, a black pixel is a 1 bit, as the panel lights it)."));
    const QCommandLineOption scale(
        QStringLiteral("scale"),
        QStringLiteral("How the picture meets the panel: fit (whole picture, white borders), "
                       "fill (panel covered, cropped), stretch, or none (one pixel per pixel, "
                       "centred) (default: fit)."),
        QStringLiteral("mode"));
    const QCommandLineOption dither(
        QStringLiteral("dither"),
        QStringLiteral("Black and white by %1 (default: threshold).").arg(names(dithers())),
        QStringLiteral("mode"));
    const QCommandLineOption threshold(
        QStringLiteral("threshold"),
        QStringLiteral("0-255: a pixel darker than this is black; for the dithers it shifts "
                       "the brightness (default: 128)."),
        QStringLiteral("N"));
    const QCommandLineOption invert(
        QStringLiteral("invert"),
        QStringLiteral("Swap black and white after the conversion to black and white."));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("Output text: written before every byte, for "
                                                   "example 0x %1.")
                                        .arg(none),
                                    QStringLiteral("F"));
    const QCommandLineOption delimiter(
        QStringLiteral("delimiter"),
        QStringLiteral("Output text: written after every byte, the last one taken off again %1.")
            .arg(none),
        QStringLiteral("D"));
    const QCommandLineOption header(
        QStringLiteral("header"),
        QStringLiteral("Output text: written once before the first byte %1.").arg(none),
        QStringLiteral("H"));
    const QCommandLineOption footer(
        QStringLiteral("footer"),
        QStringLiteral("Output text: written once after the last byte %1.").arg(none),
        QStringLiteral("T"));
    const QCommandLineOption exportTable(
        QStringLiteral("export"),
        QStringLiteral("Write a table as Export does instead of the output text: %1 "
                       "(default: none, the output text).")
            .arg(names(exportFormats())),
        QStringLiteral("format"));
    const QCommandLineOption cType(
        QStringLiteral("c-type"),
        QStringLiteral("The element type of a c or progmem table: unsigned-char, or uint8_t "
                       "with #include <stdint.h> (default: unsigned-char)."),
        QStringLiteral("type"));
    const QCommandLineOption name(
        QStringLiteral("name"),
        QStringLiteral("The exported table's name, made a C identifier (default: the picture's "
                       "file name without its extension, \"image\" for standard input)."),
        QStringLiteral("NAME"));
    const QCommandLineOption bytesPerLine(
        QStringLiteral("bytes-per-line"),
        QStringLiteral("1-64: bytes on each line of an exported table (default: 16)."),
        QStringLiteral("N"));
    const QCommandLineOption output(
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Where to write (default: standard output, several pictures each after a "
                       "comment line naming it). A directory (ending in /) gets one file per "
                       "picture, named after it: .txt, .h, .inc, .bas, .bin, or .png with "
                       "--decode."),
        QStringLiteral("FILE|DIR/"));
    const QCommandLineOption preview(
        QStringLiteral("preview"),
        QStringLiteral("Also write the panel picture as the bytes draw it, decoded from them: "
                       "PNG, one pixel per panel pixel, black on white (a directory ending in / "
                       "for several pictures) (default: none)."),
        QStringLiteral("FILE.png|DIR/"));
    const QCommandLineOption decode(
        QStringLiteral("decode"),
        QStringLiteral("Read each input as a table instead of a picture (the output text of any "
                       "Format and Delimiter, or an exported C, assembler or BASIC table), check "
                       "its byte count against --panel and --layout, and write the PNG it draws "
                       "to -o."));

    // Which options belong to which kind of run, so that one that would be ignored is refused.
    const std::vector<Option> all{
        {panel},
        {layout},
        {noInvert, true},
        {scale, true},
        {dither, true},
        {threshold, true},
        {invert, true},
        {format, true, true},
        {delimiter, true, true},
        {header, true, true},
        {footer, true, true},
        {exportTable, true, false, true},
        {cType, true, false, true},
        {name, true, false, true},
        {bytesPerLine, true, false, true},
        {output},
        {preview, true},
        {decode},
    };

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Turns pictures into the byte tables a graphic LCD takes, as the "
                       "Quorvel Graphic LCD ToolBox window converts and exports them, and tables "
                       "back into pictures."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const Option& each : all)
        parser.addOption(each.option);
    parser.addPositionalArgument(
        QStringLiteral("PICTURE"),
        QStringLiteral("A picture file (PNG, JPEG, BMP, GIF, PBM/PGM/PPM, XBM, ...), or a table "
                       "with --decode; - is standard input."),
        QStringLiteral("PICTURE..."));

    ParsedCommandLine parsed;
    const auto refuse = [&parsed](const QString& why) {
        parsed.outcome = ParsedCommandLine::UsageError;
        parsed.text = why;
        return parsed;
    };
    if (!parser.parse(QStringList{Program} + arguments))
        return refuse(parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        QString text = parser.helpText();
        text.replace(0, text.indexOf(QLatin1Char('\n')), usageLine());
        parsed.outcome = ParsedCommandLine::Help;
        parsed.text = text;
        return parsed;
    }
    if (parser.isSet(version)) {
        parsed.outcome = ParsedCommandLine::Version;
        parsed.text =
            Program + QLatin1Char(' ') + QStringLiteral(QUORVEL_VERSION) + QLatin1Char('\n');
        return parsed;
    }

    CliOptions& o = parsed.options;
    const auto valueOf = [&parser](const QCommandLineOption& option) {
        return parser.value(option);
    };
    if (parser.isSet(panel) && !choosePanel(valueOf(panel), &o.width, &o.height))
        return refuse(QStringLiteral("the panel %1 is not one of %2")
                          .arg(quoted(valueOf(panel)), panelNames()));
    if (parser.isSet(layout) && !choose(layouts(), valueOf(layout), &o.horizontal))
        return refuse(QStringLiteral("--layout is %1, not %2")
                          .arg(names(layouts()), quoted(valueOf(layout))));
    if (parser.isSet(scale) && !choose(scales(), valueOf(scale), &o.import.scale))
        return refuse(
            QStringLiteral("--scale is %1, not %2").arg(names(scales()), quoted(valueOf(scale))));
    if (parser.isSet(dither) && !choose(dithers(), valueOf(dither), &o.import.dither))
        return refuse(QStringLiteral("--dither is %1, not %2")
                          .arg(names(dithers()), quoted(valueOf(dither))));
    if (parser.isSet(threshold) && !wholeNumber(valueOf(threshold), 0, 255, &o.import.threshold))
        return refuse(QStringLiteral("--threshold takes a whole number from 0 to 255, not %1")
                          .arg(quoted(valueOf(threshold))));
    if (parser.isSet(bytesPerLine) && !wholeNumber(valueOf(bytesPerLine), 1, 64, &o.bytesPerLine))
        return refuse(QStringLiteral("--bytes-per-line takes a whole number from 1 to 64, not %1")
                          .arg(quoted(valueOf(bytesPerLine))));
    if (parser.isSet(exportTable)) {
        ExportFormat chosen = ExportFormat::C;
        if (!choose(exportFormats(), valueOf(exportTable), &chosen))
            return refuse(QStringLiteral("--export is %1, not %2")
                              .arg(names(exportFormats()), quoted(valueOf(exportTable))));
        o.exportTable = chosen;
    }
    if (parser.isSet(cType)) {
        if (!choose(cTypes(), valueOf(cType), &o.uint8Type))
            return refuse(QStringLiteral("--c-type is %1, not %2")
                              .arg(names(cTypes()), quoted(valueOf(cType))));
        if (o.exportTable && !isCExport(*o.exportTable))
            return refuse(QStringLiteral("--c-type applies to --export c and progmem only"));
    }
    o.inverted = !parser.isSet(noInvert);
    o.import.invert = parser.isSet(invert);
    o.text = {valueOf(format), valueOf(delimiter), valueOf(header), valueOf(footer)};
    o.name = valueOf(name);
    o.output = valueOf(output);
    o.preview = valueOf(preview);
    o.decode = parser.isSet(decode);
    o.inputs = parser.positionalArguments();

    const auto firstSet = [&](auto belongs) -> QString {
        for (const Option& each : all)
            if (belongs(each) && parser.isSet(each.option))
                return QStringLiteral("--") + each.option.names().constLast();
        return QString();
    };
    if (o.decode) {
        const QString misplaced = firstSet([](const Option& each) { return each.picture; });
        if (!misplaced.isEmpty())
            return refuse(misplaced + QStringLiteral(" does not apply to --decode, which reads "
                                                     "tables and writes the pictures they draw"));
    } else if (o.exportTable) {
        const QString misplaced = firstSet([](const Option& each) { return each.textOutput; });
        if (!misplaced.isEmpty())
            return refuse(misplaced + QStringLiteral(" belongs to the output text; --export "
                                                     "writes a table of its own"));
    } else {
        const QString misplaced = firstSet([](const Option& each) { return each.exportOutput; });
        if (!misplaced.isEmpty())
            return refuse(misplaced + QStringLiteral(" applies to --export only"));
    }

    if (o.inputs.isEmpty())
        return refuse(QStringLiteral("no PICTURE given"));
    if (o.inputs.count(QStringLiteral("-")) > 1)
        return refuse(QStringLiteral("standard input (-) can be read only once"));
    if (o.inputs.size() > 1) {
        if (!o.output.isEmpty() && !namesDirectory(o.output))
            return refuse(QStringLiteral("several inputs need a directory for -o (ending in /), "
                                         "not the file %1")
                              .arg(quoted(o.output)));
        if (!o.preview.isEmpty() && !namesDirectory(o.preview))
            return refuse(QStringLiteral("several inputs need a directory for --preview (ending "
                                         "in /), not the file %1")
                              .arg(quoted(o.preview)));
        if (o.output.isEmpty() && (o.decode || o.exportTable == ExportFormat::Binary))
            return refuse(
                QStringLiteral("several %1 cannot share standard output: give -o DIR/")
                    .arg(o.decode ? QStringLiteral("pictures") : QStringLiteral("binary tables")));
    }
    parsed.outcome = ParsedCommandLine::Run;
    return parsed;
}

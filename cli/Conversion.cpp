#include "cli/Conversion.h"

#include "convert/BytePicture.h"
#include "convert/Convert.h"
#include "convert/TableReader.h"

#include <QBuffer>
#include <QIODevice>

Converted pictureToTable(QIODevice& source, const QString& name, const CliOptions& options) {
    Converted result;
    QString failure;
    const QImage picture = readPicture(&source, &failure);
    if (picture.isNull()) {
        result.failure = QStringLiteral("not a picture (%1)").arg(failure);
        return result;
    }
    // The imported picture stands where the window's canvas would, with nothing loaded.
    ConvertInput input;
    input.horizontal = options.horizontal;
    input.width = options.width;
    input.height = options.height;
    input.canvas = importPicture(picture, options.width, options.height, options.import);
    input.inverted = options.inverted;
    input.format = options.text;
    const Conversion converted = convertPicture(input);
    if (!converted.ok()) {
        result.failure = converted.failure;
        return result;
    }
    if (options.exportTable) {
        const ExportOptions exportOptions{options.name.isEmpty() ? name : options.name,
                                          options.bytesPerLine, options.uint8Type};
        result.output = exportTable(converted.bytes, options.width, options.height,
                                    options.horizontal, *options.exportTable, exportOptions);
    } else {
        result.output = converted.text.toUtf8();
    }
    result.drawn =
        pictureFromBytes(converted.bytes, options.width, options.height, options.horizontal);
    return result;
}

Converted tableToPicture(const QByteArray& contents, const CliOptions& options) {
    Converted result;
    const PanelBytes fitted =
        fitToPanel(readTableFile(contents), options.width, options.height, options.horizontal);
    if (!fitted.ok()) {
        result.failure = fitted.failure;
        return result;
    }
    result.drawn =
        pictureFromBytes(fitted.bytes, options.width, options.height, options.horizontal);
    result.output = pngFile(result.drawn);
    return result;
}

QByteArray pngFile(const QImage& picture) {
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    picture.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither).save(&buffer, "PNG");
    return file;
}

QString outputExtension(const CliOptions& options) {
    if (options.decode)
        return QStringLiteral(".png");
    if (options.exportTable)
        return exportExtension(*options.exportTable);
    return QStringLiteral(".txt");
}

QString nameComment(const CliOptions& options, const QString& name) {
    if (options.decode || options.exportTable == ExportFormat::Binary)
        return QString();
    ExportFormat language = options.exportTable.value_or(ExportFormat::C);
    if (!options.exportTable) {
        // The output text reads as the language its Format belongs to.
        const QString format = options.text.format.trimmed().toLower();
        if (format == QLatin1String("$"))
            language = ExportFormat::Assembler;
        else if (format == QLatin1String("&h"))
            language = ExportFormat::Basic;
    }
    switch (language) {
    case ExportFormat::Assembler:
    case ExportFormat::Pic16Assembler:
        return QStringLiteral("; ") + name;
    case ExportFormat::Basic:
        return QStringLiteral("REM ") + name;
    default:
        return QStringLiteral("// ") + name;
    }
}

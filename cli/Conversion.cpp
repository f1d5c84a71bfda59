#include "cli/Conversion.h"

#include "cli/FileNames.h"

#include "convert/BytePicture.h"
#include "convert/Convert.h"
#include "convert/TableReader.h"

#include <QBuffer>
#include <QIODevice>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
// libpng, under Qt's PNG reader, prints its errors ("libpng error: Read Error") straight to
// standard error, past any Qt message handler; the reason comes back from the reader anyway.
// So standard error points at /dev/null while a picture is decoded.
class QuietStandardError {
public:
    QuietStandardError() {
        std::fflush(stderr);
        m_saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && null >= 0)
            ::dup2(null, STDERR_FILENO);
        if (null >= 0)
            ::close(null);
    }
    ~QuietStandardError() {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int m_saved = -1;
};
} // namespace

Converted pictureToTable(QIODevice& source, const QString& name, const CliOptions& options) {
    Converted result;
    QString failure;
    QImage picture;
    {
        const QuietStandardError quiet;
        picture = readPicture(&source, &failure);
    }
    if (picture.isNull()) {
        result.failure = failure;
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
    const QByteArray bytes = readTableFile(contents, &result.failure);
    if (!result.ok())
        return result;
    const PanelBytes fitted = fitToPanel(bytes, options.width, options.height, options.horizontal);
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

QString nameComment(const CliOptions& options, const QString& fileName) {
    // A name may hold anything but '/' and NUL, line breaks and "*/" too: escaped, it can
    // neither end the comment nor join the next line to it.
    const QString name = commentFileName(fileName);
    if (options.decode || options.exportTable == ExportFormat::Binary)
        return QString();
    ExportFormat language = options.exportTable.value_or(ExportFormat::C);
    if (!options.exportTable) {
        // The output text reads as the language its Format belongs to.
        const QString format = options.text.format.trimmed().toLower();
        if (format == QLatin1String("$"))
            language = ExportFormat::Pic18Assembler;
        else if (format == QLatin1String("&h"))
            language = ExportFormat::Basic;
    }
    switch (language) {
    case ExportFormat::Pic18Assembler:
    case ExportFormat::Pic16Assembler:
        return QStringLiteral("; ") + name;
    case ExportFormat::Basic:
        return QStringLiteral("REM ") + name;
    default:
        return QStringLiteral("// ") + name;
    }
}

// Export of the largest table (320x200, 8,000 bytes) in every format: what a change of format,
// name or line length in frmExport costs before the preview shows it. Goal: under 5 ms a table.
#include "Benches.h"
#include "Harness.h"

#include "BenchPictures.h"
#include "convert/Convert.h"
#include "convert/Export.h"

void benchExport() {
    ConvertInput input;
    input.horizontal = true;
    input.width = 320;
    input.height = 200;
    input.canvas = halfBlackImage(320, 200);
    const QByteArray bytes = pictureBytes(input);

    Table table("Export of a 320x200 picture (8,000 bytes), no window",
                {QStringLiteral("format"), QStringLiteral("size"), QStringLiteral("table"),
                 QStringLiteral("preview text"), QStringLiteral("goal")});
    for (int f = 0; f < ExportFormatCount; ++f) {
        const auto format = static_cast<ExportFormat>(f);
        ExportOptions options;
        options.name = QStringLiteral("my logo");
        QByteArray made;
        const std::vector<double> times = medianMicrosTakingTurns(
            101, {[&] { made = exportTable(bytes, 320, 200, true, format, options); },
                  [&] { keep(exportPreview(made, format)); }});
        table.row({exportFormatLabel(format), QStringLiteral("%1 B").arg(made.size()),
                   micros(times[0]), micros(times[1]), QStringLiteral("< 5 ms")});
    }
    table.print();
    printNote(QStringLiteral("Median of 101 runs each, 16 bytes a line. \"table\" is exportTable "
                             "(the file's bytes); \"preview text\" is what frmExport's box is "
                             "given (the text itself, or the hex dump of a binary file)."));
}

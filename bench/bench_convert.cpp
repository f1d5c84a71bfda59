// Conversion and output text without a window, beside the naive way, for all eight panels.
#include "BenchPictures.h"
#include "Benches.h"
#include "Harness.h"
#include "NaiveConvert.h"

#include "canvas/LcdSize.h"

namespace {
constexpr int runs = 201;

// The program's time, the naive time and how many times faster the program is. A baseline
// that does not give the same result would make the ratio meaningless, so it is checked.
QStringList versus(const std::function<void()>& fast, const std::function<void()>& naive,
                   bool same) {
    const std::vector<double> us = medianMicrosTakingTurns(runs, {fast, naive});
    const double fastUs = us[0], naiveUs = us[1];
    return {micros(fastUs), micros(naiveUs),
            same ? ratio(naiveUs / fastUs) : QStringLiteral("results differ")};
}

QString sizeName(const LcdSize& size) {
    return QString::fromLatin1(size.label);
}
} // namespace

void benchConversion() {
    const OutputFormat bare; // what is sent to the panel
    Table vertical("Vertical conversion (KS0108), no window",
                   {QStringLiteral("panel"), QStringLiteral("bytes"), QStringLiteral("naive"),
                    QStringLiteral("faster"), QStringLiteral("text"), QStringLiteral("naive"),
                    QStringLiteral("faster")});
    Table horizontal("Horizontal output text (T6963C, SED1330), no window",
                     {QStringLiteral("panel"), QStringLiteral("text"), QStringLiteral("naive"),
                      QStringLiteral("faster")});
    for (const LcdSize& size : lcdSizes()) {
        const QImage image = halfBlackImage(size.width, size.height);
        const VertMatrix matrix = verticalMatrix(image, size.width, size.height);
        const HorzMatrix captured = halfBlackCapture(size.width, size.height);
        const bool sameBytes =
            naiveVerticalMatrix(image, size.width, size.height).bytes == matrix.bytes;
        const bool sameText = naiveVerticalText(matrix, bare) == verticalOutputText(matrix, bare);
        const bool sameHorizontal = naiveHorizontalText(captured, size.width, size.height, bare) ==
                                    horizontalOutputText(captured, size.width, size.height, bare);

        QStringList cells{sizeName(size)};
        cells << versus([&] { keep(verticalMatrix(image, size.width, size.height)); },
                        [&] { keep(naiveVerticalMatrix(image, size.width, size.height)); },
                        sameBytes);
        cells << versus([&] { keep(verticalOutputText(matrix, bare)); },
                        [&] { keep(naiveVerticalText(matrix, bare)); }, sameText);
        vertical.row(cells);
        horizontal.row(
            QStringList{sizeName(size)} +
            versus([&] { keep(horizontalOutputText(captured, size.width, size.height, bare)); },
                   [&] { keep(naiveHorizontalText(captured, size.width, size.height, bare)); },
                   sameHorizontal));
    }
    vertical.print();
    printNote(QStringLiteral("Median of %1 runs each, the program and the naive code taking "
                             "turns. \"bytes\" reads the canvas into the matrix, \"text\" writes "
                             "the matrix as bare hex (empty Format, Delimiter, Header, Footer). "
                             "Picture: about half the pixels black, scattered. Naive: one "
                             "QImage::pixel() per pixel, one QString appended per byte.")
                  .arg(runs));
    horizontal.print();
    printNote(QStringLiteral("The horizontal matrix is captured when a BMP file is loaded; "
                             "Convert only writes it out, so the text is the whole conversion."));

    // A data table for another program's source: every byte decorated.
    const OutputFormat table{QStringLiteral("0x"), QStringLiteral(", "),
                             QStringLiteral("const unsigned char image[] = { "),
                             QStringLiteral(" };")};
    Table decorated("Output text as a C table (Format \"0x\", Delimiter \", \", Header, Footer)",
                    {QStringLiteral("panel, layout"), QStringLiteral("text"),
                     QStringLiteral("naive"), QStringLiteral("faster")});
    for (const LcdSize& size : {lcdSizes()[3], lcdSizes()[7]}) {
        const VertMatrix matrix =
            verticalMatrix(halfBlackImage(size.width, size.height), size.width, size.height);
        const HorzMatrix captured = halfBlackCapture(size.width, size.height);
        decorated.row(
            QStringList{sizeName(size) + QStringLiteral(", vertical")} +
            versus([&] { keep(verticalOutputText(matrix, table)); },
                   [&] { keep(naiveVerticalText(matrix, table)); },
                   naiveVerticalText(matrix, table) == verticalOutputText(matrix, table)));
        decorated.row(
            QStringList{sizeName(size) + QStringLiteral(", horizontal")} +
            versus([&] { keep(horizontalOutputText(captured, size.width, size.height, table)); },
                   [&] { keep(naiveHorizontalText(captured, size.width, size.height, table)); },
                   naiveHorizontalText(captured, size.width, size.height, table) ==
                       horizontalOutputText(captured, size.width, size.height, table)));
    }
    decorated.print();
}

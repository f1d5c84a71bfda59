// Conversion and output text without a window, beside the naive way, for all eight panels.
#include "BenchPictures.h"
#include "Benches.h"
#include "Harness.h"
#include "NaiveConvert.h"

#include "canvas/LcdSize.h"
#include "convert/Convert.h"
#include "convert/HorizontalCapture.h"

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

// The obvious capture of a canvas: one QImage::pixel() per pixel, one byte appended at a time.
QByteArray naiveHorizontalBytes(const QImage& image, int width, int height, bool inverted) {
    QByteArray bytes;
    for (int y = 0; y < height; ++y) {
        for (int c = 0; c < width / 8; ++c) {
            int byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const bool white = (image.pixel(8 * c + bit, y) & 0xFFFFFFu) != 0;
                byte = byte << 1 | (white != inverted ? 1 : 0);
            }
            bytes.append(char(byte));
        }
    }
    return bytes;
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

    // Horizontal bytes when the canvas is not the file loaded last: captured from the canvas.
    Table fromCanvas("Horizontal bytes captured from the canvas, no window",
                     {QStringLiteral("panel"), QStringLiteral("capture"), QStringLiteral("naive"),
                      QStringLiteral("faster"), QStringLiteral("capture and text"),
                      QStringLiteral("goal")});
    for (const LcdSize& size : lcdSizes()) {
        const QImage image = halfBlackImage(size.width, size.height);
        const QByteArray bytes = horizontalBytes(image, size.width, size.height, true);
        const bool same = bytes == naiveHorizontalBytes(image, size.width, size.height, true) &&
                          bytes == capturedBytes(halfBlackCapture(size.width, size.height),
                                                 size.width, size.height);
        ConvertInput input;
        input.width = size.width;
        input.height = size.height;
        input.canvas = image;
        const std::vector<double> step =
            medianMicrosTakingTurns(runs, {[&] { keep(convertPicture(input).text); }});
        const bool big = size.width == 320;
        fromCanvas.row(
            QStringList{sizeName(size)} +
            versus([&] { keep(horizontalBytes(image, size.width, size.height, true)); },
                   [&] { keep(naiveHorizontalBytes(image, size.width, size.height, true)); },
                   same) +
            QStringList{micros(step[0]), big ? QStringLiteral("capture < 200 µs") : QString()});
    }
    fromCanvas.print();
    printNote(QStringLiteral("\"capture\" is horizontalBytes, the bytes a save and reload of the "
                             "canvas as a 1-bit BMP would capture, \"Inverted\" ticked; checked "
                             "against the naive way and against the capture of the same picture "
                             "from a file. \"capture and text\" is the whole Convert step "
                             "(convertPicture) with empty Format, Delimiter, Header and Footer."));
}

// The whole Convert click in a shown window: read the canvas, write the text, put it in the
// output window.
#include "BenchPictures.h"
#include "BenchWindow.h"
#include "Benches.h"
#include "Harness.h"

#include "app/Main.h"
#include "app/TextBox.h"
#include "canvas/LcdSize.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace {
constexpr int runs = 61;

int sizeIndex(int width, int height) {
    for (int i = 0; i < LcdSizeCount; ++i)
        if (lcdSizes()[size_t(i)].width == width && lcdSizes()[size_t(i)].height == height)
            return i;
    return 0;
}

void click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// Chooses the panel and the Byte Matrix and puts the half-black picture on the canvas; false
// with the row that says why when the window cannot be set up so.
bool setUp(Main& w, Table& table, const QString& what, int width, int height, bool horizontal) {
    clickControl(&w, QStringLiteral("optgrf(%1)").arg(sizeIndex(width, height)));
    clickControl(&w, QStringLiteral("Option2(%1)").arg(horizontal ? 1 : 0));
    if (importOntoCanvas(w, halfBlackImage(width, height)))
        return true;
    table.row({what, QStringLiteral("not measured: the picture did not reach the canvas")});
    return false;
}

// One row: the click alone, then the click followed by the painting the event loop does next.
void measure(Main& w, Table& table, const QString& what, qsizetype expectedLength) {
    auto* convert = findControl<QPushButton>(&w, QStringLiteral("Command9"));
    auto* output = findControl<TextBox>(&w, QStringLiteral("Text3"));
    // A Convert that fails says so in a message box and would stop every run there.
    const QStringList boxes = Modals::boxesDuring([convert] { click(convert); });
    if (!boxes.isEmpty()) {
        table.row({what, QStringLiteral("not measured: ") + boxes.join(QLatin1Char(' '))});
        return;
    }
    const bool whole = output->text().size() == expectedLength;
    const QString text = output->text();
    const std::vector<double> us = medianMicrosTakingTurns(runs, {[&] { click(convert); },
                                                                  [&] {
                                                                      click(convert);
                                                                      QApplication::processEvents();
                                                                  },
                                                                  [&] {
                                                                      output->setText(QString());
                                                                      output->setText(text);
                                                                  }});
    const double clickUs = us[0], paintedUs = us[1], setTextUs = us[2];
    table.row({what, millis(clickUs / 1000), millis(paintedUs / 1000), millis(setTextUs / 1000),
               QStringLiteral("< 10 ms"),
               whole ? QStringLiteral("%1 characters").arg(expectedLength)
                     : QStringLiteral("wrong length %1").arg(output->text().size())});
}
} // namespace

void benchConvertClick() {
    Main w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return printNote(QStringLiteral("The window was never shown: Convert not measured."));
    Table table("Convert click in the shown window (offscreen)",
                {QStringLiteral("panel, layout"), QStringLiteral("click"),
                 QStringLiteral("click and paint"), QStringLiteral("Text3 emptied and set"),
                 QStringLiteral("goal"), QStringLiteral("Text3 holds")});

    const QString vertical = QStringLiteral("256x128 vertical");
    if (setUp(w, table, vertical, 256, 128, false))
        measure(w, table, vertical, 256 * 16 * 2);

    // Imported, not loaded, so Convert captures the canvas itself, as it does after any drawing.
    const QString horizontal = QStringLiteral("320x200 horizontal, from the canvas");
    if (setUp(w, table, horizontal, 320, 200, true))
        measure(w, table, horizontal, 40 * 200 * 2 + 2);

    table.print();
    printNote(QStringLiteral("Median of %1 runs of each, taking turns. A click is "
                             "QTest::mouseClick on Command9: the whole handler, Text3 set "
                             "included. \"click and paint\" adds the one pass of the event loop "
                             "that paints what the click changed. Most of the click is the text "
                             "box taking the text: compare the pure conversion above.")
                  .arg(runs));
}

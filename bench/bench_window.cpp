// The whole Convert click in a shown window: read the canvas, write the text, put it in the
// output window.
#include "BenchPictures.h"
#include "Benches.h"
#include "Harness.h"

#include "app/Main.h"
#include "app/TextBox.h"
#include "canvas/LcdSize.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
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

// One row: the click alone, then the click followed by the painting the event loop does next.
void measure(Main& w, Table& table, const QString& what, qsizetype expectedLength) {
    QString failure;
    if (!w.getparam(&failure)) { // Convert would stop in a message box
        table.row({what, QStringLiteral("not measured: ") + failure});
        return;
    }
    click(w.Command9);
    const bool whole = w.Text3->text().size() == expectedLength;
    const QString text = w.Text3->text();
    const std::vector<double> us = medianMicrosTakingTurns(runs, {[&] { click(w.Command9); },
                                                                  [&] {
                                                                      click(w.Command9);
                                                                      QApplication::processEvents();
                                                                  },
                                                                  [&] {
                                                                      w.Text3->setText(QString());
                                                                      w.Text3->setText(text);
                                                                  }});
    const double clickUs = us[0], paintedUs = us[1], setTextUs = us[2];
    table.row({what, millis(clickUs / 1000), millis(paintedUs / 1000), millis(setTextUs / 1000),
               QStringLiteral("< 10 ms"),
               whole ? QStringLiteral("%1 characters").arg(expectedLength)
                     : QStringLiteral("wrong length %1").arg(w.Text3->text().size())});
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

    click(w.optgrf[size_t(sizeIndex(256, 128))]);
    click(w.Option2[0]);
    w.canvas.image() = halfBlackImage(256, 128);
    measure(w, table, QStringLiteral("256x128 vertical"), 256 * 16 * 2);

    // Nothing loaded, so Convert captures the canvas itself, as it does after any drawing.
    click(w.optgrf[size_t(sizeIndex(320, 200))]);
    click(w.Option2[1]);
    w.canvas.image() = halfBlackImage(320, 200);
    measure(w, table, QStringLiteral("320x200 horizontal, from the canvas"), 40 * 200 * 2 + 2);

    table.print();
    printNote(QStringLiteral("Median of %1 runs of each, taking turns. A click is "
                             "QTest::mouseClick on Command9: the whole handler, Text3 set "
                             "included. \"click and paint\" adds the one pass of the event loop "
                             "that paints what the click changed. Most of the click is the text "
                             "box taking the text: compare the pure conversion above.")
                  .arg(runs));
}

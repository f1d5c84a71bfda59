// The paint cost of one pen movement on a 320x200 panel at x8 in the shown window: the handler
// plots and marks what changed, and the repaint draws only that.
#include "Benches.h"
#include "Harness.h"

#include "app/CanvasView.h"
#include "app/Main.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

void benchPenPaint() {
    Main w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return printNote(QStringLiteral("The window was never shown: painting not measured."));
    w.optgrf_Click(7);
    Table table("Pen movement on 320x200 (offscreen)",
                {QStringLiteral("zoom, pen"), QStringLiteral("movement and repaint"),
                 QStringLiteral("whole box repainted"), QStringLiteral("goal")});
    for (int entry : {0, 5}) {
        w.cboZoom->setCurrentIndex(entry);
        for (int pen : {0, 5}) {
            w.Combo1->setCurrentIndex(pen);
            QApplication::processEvents();
            w.Picture1_MouseDown(Qt::LeftButton, {}, 10, 10);
            int step = 0;
            const std::vector<double> us = medianMicrosTakingTurns(
                101, {[&] {
                          ++step;
                          w.Picture1_MouseMove(Qt::LeftButton, {}, 10 + step % 40,
                                               10 + (step / 40) % 40);
                          QApplication::processEvents();
                      },
                      [&] { w.Picture1->repaint(w.Picture1->visibleRegion()); }});
            w.Picture1_MouseUp(Qt::LeftButton, {}, 10, 10);
            table.row(
                {QStringLiteral("x%1, pen %2").arg(w.Picture1->zoom()).arg(w.Combo1->currentText()),
                 millis(us[0] / 1000), millis(us[1] / 1000), QStringLiteral("< 2 ms")});
        }
    }
    table.print();
    printNote(QStringLiteral(
        "Median of 101 runs. A movement is the mouse-move handler (one dot) and the event "
        "loop's repaint of what it marked; the whole visible box repainted is shown beside it "
        "for comparison."));
}

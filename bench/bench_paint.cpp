// The paint cost of one pen movement on a 320x200 panel at x8 in the shown window: the handler
// plots and marks what changed, and the repaint draws only that.
#include "Benches.h"
#include "Harness.h"

#include "app/CanvasView.h"
#include "app/Main.h"
#include "support/Controls.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

void benchPenPaint() {
    Main w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return printNote(QStringLiteral("The window was never shown: painting not measured."));
    clickControl(&w, QStringLiteral("optgrf(7)"));
    auto* box = findControl<CanvasView>(&w, QStringLiteral("Picture1"));
    auto* zoom = findControl<QComboBox>(&w, QStringLiteral("cboZoom"));
    auto* pens = findControl<QComboBox>(&w, QStringLiteral("Combo1"));
    Table table("Pen movement on 320x200 (offscreen)",
                {QStringLiteral("zoom, pen"), QStringLiteral("movement and repaint"),
                 QStringLiteral("whole box repainted"), QStringLiteral("goal")});
    for (int entry : {0, 5}) {
        zoom->setCurrentIndex(entry);
        for (int pen : {0, 5}) {
            pens->setCurrentIndex(pen);
            QApplication::processEvents();
            // The box's own signals, as it sends them for a real press, movement and release,
            // at exact positions in panel units.
            emit box->mouseDown(Qt::LeftButton, {}, 10, 10);
            int step = 0;
            const std::vector<double> us = medianMicrosTakingTurns(
                101, {[&] {
                          ++step;
                          emit box->mouseMove(Qt::LeftButton, {}, 10 + step % 40,
                                              10 + (step / 40) % 40);
                          QApplication::processEvents();
                      },
                      [&] { box->repaint(box->visibleRegion()); }});
            emit box->mouseUp(Qt::LeftButton, {}, 10, 10);
            table.row({QStringLiteral("x%1, pen %2").arg(box->zoom()).arg(pens->currentText()),
                       millis(us[0] / 1000), millis(us[1] / 1000), QStringLiteral("< 2 ms")});
        }
    }
    table.print();
    printNote(QStringLiteral(
        "Median of 101 runs. A movement is the mouse-move handler (one dot) and the event "
        "loop's repaint of what it marked; the whole visible box repainted is shown beside it "
        "for comparison."));
}

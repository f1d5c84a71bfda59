// Sets the main window up the way the README's screenshot shows it: a 128x64 picture drawn and
// stamped with text, converted for the KS0108, reformatted and sent to the PIC on Com1
// (QUORVEL_COM1). Prints "ready" once the PIC's answer is in, then waits to be photographed.
#include "SceneDrawing.h"
#include "app/Main.h"

#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <cstdio>

namespace {
void drawScene(Main& w) {
    clickControl(&w, QStringLiteral("optgrf(1)"));  // 128x64
    clickControl(&w, QStringLiteral("Option2(0)")); // Vertical KS0108
    drawFramedTitle(w, 13, QPointF(8, 6));
    // The second line in a smaller font, where the first one left the pen, moved right.
    chooseFont(w, QFont(QStringLiteral("DejaVu Sans"), 8));
    placeText(w, QPointF(8, w.state().canvas.currentPosition.y()));
    stampText(w, QStringLiteral("KS0108 128x64"));
    findControl<QComboBox>(&w, QStringLiteral("Combo1"))->setCurrentIndex(2); // x3
    for (int i = 0; i < 6; ++i)
        penStroke(w, {{96.0 + 4 * i, 44.0 - 3 * i}});
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Main w;
    w.move(0, 0);
    w.show();
    drawScene(w);
    clickControl(&w, QStringLiteral("Command9"));  // Convert
    clickControl(&w, QStringLiteral("Command15")); // Reformat For Output
    clickControl(&w, QStringLiteral("cmdcomm"));   // Open
    clickControl(&w, QStringLiteral("Command16")); // Send to LCD
    QTimer::singleShot(1500, [] {
        std::printf("ready\n");
        std::fflush(stdout);
    });
    return app.exec();
}

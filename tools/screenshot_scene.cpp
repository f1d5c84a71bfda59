// Sets the main window up the way the README's screenshot shows it: a 128x64 picture drawn and
// stamped with text, converted for the KS0108, reformatted and sent to the PIC on Com1
// (QUORVEL_COM1). Prints "ready" once the PIC's answer is in, then waits to be photographed.
#include "SceneDrawing.h"
#include "app/CanvasView.h"
#include "app/Main.h"
#include "app/TextBox.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>

namespace {
void drawScene(Main& w) {
    w.optgrf_Click(1); // 128x64
    w.optgrf[1]->setChecked(true);
    w.Option2[0]->setChecked(true);
    w.Option2_Click(0);
    drawFramedTitle(w, 13, QPointF(8, 6));
    Canvas& canvas = w.canvas;
    canvas.font.setPointSize(8);
    canvas.font.setBold(false);
    canvas.currentPosition.setX(8);
    w.pictxt->setText(QStringLiteral("KS0108 128x64"));
    w.cmdtext_Click();
    w.Combo1->setCurrentIndex(2); // x3
    for (int i = 0; i < 6; ++i) {
        const double x = 96 + 4 * i;
        w.Picture1_MouseDown(Qt::LeftButton, {}, x, 44 - 3 * i);
        w.Picture1_MouseUp(Qt::LeftButton, {}, x, 44 - 3 * i);
    }
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Main w;
    w.move(0, 0);
    w.show();
    drawScene(w);
    w.Command9_Click();  // Convert
    w.Command15_Click(); // Reformat For Output
    w.cmdcomm_Click();   // Open
    w.Command16_Click(); // Send to LCD
    QTimer::singleShot(1500, [] {
        std::printf("ready\n");
        std::fflush(stdout);
    });
    return app.exec();
}

// Shows the main window for a layout screenshot (scripts/layout-shots.sh): at its minimum size
// or a given size, with a panel size, a zoom and a drawn picture chosen on the command line.
// Prints "ready" when it is laid out and painted, then waits to be photographed.
//   quorvel-layout-scene [--size min|WxH] [--panel 0..7] [--zoom 0..5] [--eeprom] [--vertical]
#include "SceneDrawing.h"
#include "app/CanvasView.h"
#include "app/Main.h"
#include "app/TextBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>

namespace {
void drawScene(Main& w) {
    drawFramedTitle(w, 12, QPointF(6, 4));
    w.Combo1->setCurrentIndex(1); // x2
    w.Picture1_MouseDown(Qt::LeftButton, {}, 8, 30);
    w.Picture1_MouseMove(Qt::LeftButton, Qt::ShiftModifier, 60, 50);
    w.Picture1_MouseMove(Qt::LeftButton, Qt::ShiftModifier, 100, 26);
    w.Picture1_MouseUp(Qt::LeftButton, {}, 100, 26);
    w.txtfrmt->setText(QStringLiteral("0x"));
    w.txtDelim->setText(QStringLiteral(","));
    w.Command9_Click();
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto value = [&](const char* name, const QString& fallback) {
        const int at = static_cast<int>(args.indexOf(QLatin1String(name)));
        return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
    };
    Main w;
    w.move(0, 0);
    const int panel = value("--panel", QStringLiteral("0")).toInt();
    if (panel != 0) {
        w.optgrf[static_cast<size_t>(panel)]->setChecked(true);
        w.optgrf_Click(panel);
    }
    if (args.contains(QLatin1String("--vertical"))) {
        w.Option2[0]->setChecked(true);
        w.Option2_Click(0);
    }
    if (args.contains(QLatin1String("--eeprom"))) {
        w.Check1->setChecked(true);
        w.Check1_Click();
    }
    drawScene(w);
    w.cboZoom->setCurrentIndex(value("--zoom", QStringLiteral("0")).toInt());
    const QString size = value("--size", QStringLiteral("min"));
    w.show();
    if (size == QLatin1String("min")) {
        w.resize(w.minimumSizeHint());
    } else {
        const QStringList wh = size.split(QLatin1Char('x'));
        w.resize(wh.value(0).toInt(), wh.value(1).toInt());
    }
    QTimer::singleShot(800, [&w] {
        std::printf("ready %dx%d\n", w.width(), w.height());
        std::fflush(stdout);
    });
    return app.exec();
}

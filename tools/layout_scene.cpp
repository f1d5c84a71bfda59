// Shows the main window for a layout screenshot (scripts/layout-shots.sh): at its minimum size
// or a given size, with a panel size, a zoom and a drawn picture chosen on the command line.
// Prints "ready" when it is laid out and painted, then waits to be photographed.
//   quorvel-layout-scene [--size min|WxH] [--panel 0..7] [--zoom 0..5] [--eeprom] [--vertical]
#include "SceneDrawing.h"
#include "app/Main.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

namespace {
void drawScene(Main& w) {
    drawFramedTitle(w, 12, QPointF(6, 4));
    findControl<QComboBox>(&w, QStringLiteral("Combo1"))->setCurrentIndex(1); // x2
    penStroke(w, {{8, 30}, {60, 50}, {100, 26}});
    typeInto(findControl<QLineEdit>(&w, QStringLiteral("txtfrmt")), QStringLiteral("0x"));
    typeInto(findControl<QLineEdit>(&w, QStringLiteral("txtDelim")), QStringLiteral(","));
    clickControl(&w, QStringLiteral("Command9")); // Convert
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
    // Shown first: a hidden control takes no click.
    w.show();
    const int panel = value("--panel", QStringLiteral("0")).toInt();
    if (panel != 0)
        clickControl(&w, QStringLiteral("optgrf(%1)").arg(panel));
    if (args.contains(QLatin1String("--vertical")))
        clickControl(&w, QStringLiteral("Option2(0)"));
    if (args.contains(QLatin1String("--eeprom")))
        clickControl(&w, QStringLiteral("Check1"));
    drawScene(w);
    findControl<QComboBox>(&w, QStringLiteral("cboZoom"))
        ->setCurrentIndex(value("--zoom", QStringLiteral("0")).toInt());
    const QString size = value("--size", QStringLiteral("min"));
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

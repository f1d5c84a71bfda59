// LCD size choice, Clear and the pen size list.
#include "app/Main.h"

#include "app/CanvasView.h"
#include "canvas/LcdSize.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <cmath>

void Main::optgrf_Click(int index) {
    CanvasStep step(this);
    lcdSizeIndex = index;
    const LcdSize& size = lcdSizes().at(static_cast<size_t>(index));
    lcdWidth = size.width;
    lcdHeight = size.height;
    showPanelBox();
    canvas.resize(lcdWidth, lcdHeight);
    Picture1->update();
}

void Main::showPanelBox() {
    const QSizeF box = lcdBoxSize(lcdSizeIndex, canvasBaseWidth, canvasBaseHeight);
    Picture1->setBoxSize(QSize(static_cast<int>(std::lround(box.width())),
                               static_cast<int>(std::lround(box.height()))));
    Picture1->setUnits(lcdWidth, lcdHeight);
}

void Main::Command5_Click() {
    CanvasStep step(this);
    // A loaded picture may have brought its own size and left the box measuring display
    // pixels; Clear leaves a white canvas of the chosen panel size in the panel's own box, so
    // every click lands on a panel pixel again.
    canvas.resize(lcdWidth, lcdHeight);
    canvas.clear();
    showPanelBox();
    Picture1->update();
    chkinvert->setEnabled(true);
    for (int i = 0; i <= 6; ++i)
        optgrf[i]->setEnabled(true);
}

void Main::Combo1_Click() {
    static const int widths[] = {1, 2, 3, 4, 5, 10};
    const int entry = Combo1->currentIndex();
    if (entry < 0 || entry >= static_cast<int>(std::size(widths)))
        return;
    canvas.penWidth = widths[entry];
}

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
    m_state.choosePanel(index);
    showPanelBox();
    m_state.canvas.resize(m_state.panelWidth(), m_state.panelHeight());
    ui.Picture1->update();
}

void Main::showPanelBox() {
    const QSizeF box = lcdBoxSize(m_state.panelIndex(), m_canvasBaseWidth, m_canvasBaseHeight);
    ui.Picture1->setBoxSize(QSize(static_cast<int>(std::lround(box.width())),
                                  static_cast<int>(std::lround(box.height()))));
    ui.Picture1->setUnits(m_state.panelWidth(), m_state.panelHeight());
}

void Main::Command5_Click() {
    CanvasStep step(this);
    // A loaded picture may have brought its own size and left the box measuring display
    // pixels; Clear leaves a white canvas of the chosen panel size in the panel's own box, so
    // every click lands on a panel pixel again.
    m_state.canvas.resize(m_state.panelWidth(), m_state.panelHeight());
    m_state.canvas.clear();
    showPanelBox();
    ui.Picture1->update();
    ui.chkinvert->setEnabled(true);
    for (int i = 0; i <= 6; ++i)
        ui.optgrf[i]->setEnabled(true);
}

void Main::Combo1_Click() {
    static const int widths[] = {1, 2, 3, 4, 5, 10};
    const int entry = ui.Combo1->currentIndex();
    if (entry < 0 || entry >= static_cast<int>(std::size(widths)))
        return;
    m_state.canvas.penWidth = widths[entry];
}

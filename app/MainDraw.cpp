// Pen drawing and text stamping on the canvas.
#include "app/Main.h"

#include "app/CanvasView.h"
#include "app/CommonDialog.h"
#include "canvas/Dot.h"
#include "canvas/TextStamp.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

// Any button starts a stroke. While a button is held the view keeps the mouse (the toolkit's
// implicit grab), so positions beyond the box still arrive here and only their dots are clipped.
// A stroke, press to release, is one step of the undo history.
void Main::Picture1_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, double x, double y) {
    if (!m_state.penDown)
        m_strokeOpenedStep = m_state.beginStep();
    ui.lblxy->setVisible(true);
    ui.Picture1->updatePixels(plotDot(m_state.canvas, QPointF(x, y)));
    m_state.penDown = true;
}

// One dot per movement report and no joining line between them, so a fast stroke leaves gaps;
// with Shift held each position is joined to the one before by a straight line of dots.
void Main::Picture1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers shift, double x, double y) {
    if (!m_state.penDown)
        return;
    const QPointF to(x, y);
    ui.Picture1->updatePixels(shift.testFlag(Qt::ShiftModifier)
                                  ? plotLine(m_state.canvas, m_state.canvas.currentPosition, to)
                                  : plotDot(m_state.canvas, to));
    ui.lblxy->setText(penPositionCaption(m_state.canvas.currentPosition));
}

// Releasing any button ends the stroke, even while another one is still held.
void Main::Picture1_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, double, double) {
    ui.lblxy->setVisible(false);
    if (m_state.penDown && m_strokeOpenedStep) {
        m_state.endStep();
        refreshUndo();
    }
    m_strokeOpenedStep = false;
    m_state.penDown = false;
}

void Main::Command7_Click() {
    m_state.canvas.penColour = Canvas::Black;
}

void Main::Command6_Click() {
    m_state.canvas.penColour = Canvas::White;
    ui.chkinvert->setEnabled(true);
}

void Main::cmdfont_Click() {
    // Flags stay on the shared dialog object; later file dialogs see them as this one left them.
    ui.commdlg->Flags = 3;
    ui.commdlg->FontName = m_state.canvas.font.family();
    ui.commdlg->FontSize = m_state.canvas.font.pointSizeF();
    if (!ui.commdlg->ShowFont())
        return;
    // Name and size only: bold, italic and the effects of the dialog are not taken.
    const double size =
        ui.commdlg->FontSize > 0 ? ui.commdlg->FontSize : m_state.canvas.font.pointSizeF();
    QFont chosen(ui.commdlg->FontName);
    if (size > 0)
        chosen.setPointSizeF(size);
    m_state.canvas.font = chosen;
}

void Main::cmdtext_Click() {
    CanvasStep step(this);
    stampText(m_state.canvas, ui.pictxt->text());
    ui.Picture1->update();
}

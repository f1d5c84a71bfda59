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
    if (!penDown)
        m_strokeOpenedStep = history.begin(canvas, lcdSizeIndex);
    lblxy->setVisible(true);
    Picture1->updatePixels(plotDot(canvas, QPointF(x, y)));
    penDown = true;
}

// One dot per movement report and no joining line between them, so a fast stroke leaves gaps;
// with Shift held each position is joined to the one before by a straight line of dots.
void Main::Picture1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers shift, double x, double y) {
    if (!penDown)
        return;
    const QPointF to(x, y);
    Picture1->updatePixels(shift.testFlag(Qt::ShiftModifier)
                               ? plotLine(canvas, canvas.currentPosition, to)
                               : plotDot(canvas, to));
    lblxy->setText(penPositionCaption(canvas.currentPosition));
}

// Releasing any button ends the stroke, even while another one is still held.
void Main::Picture1_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, double, double) {
    lblxy->setVisible(false);
    if (penDown && m_strokeOpenedStep)
        history.end(canvas, lcdSizeIndex);
    m_strokeOpenedStep = false;
    penDown = false;
}

void Main::Command7_Click() {
    canvas.penColour = Canvas::Black;
}

void Main::Command6_Click() {
    canvas.penColour = Canvas::White;
    chkinvert->setEnabled(true);
}

void Main::cmdfont_Click() {
    // Flags stay on the shared dialog object; later file dialogs see them as this one left them.
    commdlg->Flags = 3;
    commdlg->FontName = canvas.font.family();
    commdlg->FontSize = canvas.font.pointSizeF();
    if (!commdlg->ShowFont())
        return;
    // Name and size only: bold, italic and the effects of the dialog are not taken.
    const double size = commdlg->FontSize > 0 ? commdlg->FontSize : canvas.font.pointSizeF();
    QFont chosen(commdlg->FontName);
    if (size > 0)
        chosen.setPointSizeF(size);
    canvas.font = chosen;
}

void Main::cmdtext_Click() {
    CanvasStep step(this);
    stampText(canvas, pictxt->text());
    Picture1->update();
}

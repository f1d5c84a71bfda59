// Undo and redo of the canvas, the zoom and Invert.
#include "app/Main.h"

#include "app/CanvasView.h"
#include "canvas/LcdSize.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

Main::CanvasStep::CanvasStep(Main* window)
    : m_window(window), m_opened(window->history.begin(window->canvas, window->lcdSizeIndex)) {}

Main::CanvasStep::~CanvasStep() {
    if (m_opened)
        m_window->history.end(m_window->canvas, m_window->lcdSizeIndex);
}

void Main::buildCanvasTools() {
    actUndo = new QAction(QStringLiteral("Undo"), this);
    actUndo->setObjectName(QStringLiteral("actUndo"));
    actUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    actRedo = new QAction(QStringLiteral("Redo"), this);
    actRedo->setObjectName(QStringLiteral("actRedo"));
    actRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    addAction(actUndo);
    addAction(actRedo);
    connect(actUndo, &QAction::triggered, this, &Main::actUndo_Triggered);
    connect(actRedo, &QAction::triggered, this, &Main::actRedo_Triggered);
    connect(qApp, &QApplication::focusChanged, this, [this] { updateUndoKeys(); });
    updateUndoKeys();

    connect(cboZoom, &QComboBox::currentIndexChanged, this, &Main::cboZoom_Click);
    connect(cmdInvert, &QPushButton::clicked, this, &Main::cmdInvert_Click);
}

void Main::updateUndoKeys() {
    QWidget* focus = QApplication::focusWidget();
    const bool ours = !focus || focus->window() != this || focus == Picture1 ||
                      qobject_cast<QAbstractButton*>(focus) != nullptr;
    actUndo->setEnabled(ours);
    actRedo->setEnabled(ours);
}

void Main::actUndo_Triggered() {
    const int panel = lcdSizeIndex;
    const QSize size(canvas.width(), canvas.height());
    if (history.undo(canvas, lcdSizeIndex))
        showRestoredCanvas(panel, size);
}

void Main::actRedo_Triggered() {
    const int panel = lcdSizeIndex;
    const QSize size(canvas.width(), canvas.height());
    if (history.redo(canvas, lcdSizeIndex))
        showRestoredCanvas(panel, size);
}

void Main::showRestoredCanvas(int previousPanel, const QSize& previousSize) {
    const QSize size(canvas.width(), canvas.height());
    if (lcdSizeIndex != previousPanel) {
        const LcdSize& panel = lcdSizes().at(static_cast<size_t>(lcdSizeIndex));
        lcdWidth = panel.width;
        lcdHeight = panel.height;
        optgrf[static_cast<size_t>(lcdSizeIndex)]->setChecked(true);
    }
    if (lcdSizeIndex != previousPanel || size != previousSize) {
        // The panel's box in panel units, as a size choice leaves it; a picture of another size
        // (a loaded file) at one display pixel per picture pixel, as Load leaves it.
        if (size == QSize(lcdWidth, lcdHeight)) {
            const QSizeF box = lcdBoxSize(lcdSizeIndex, canvasBaseWidth, canvasBaseHeight);
            Picture1->setBoxSize(
                QSize(int(std::lround(box.width())), int(std::lround(box.height()))));
            Picture1->setUnits(lcdWidth, lcdHeight);
        } else {
            Picture1->setDisplayPixelUnits();
            Picture1->setBoxSize(size);
        }
    }
    Picture1->update();
}

void Main::cboZoom_Click() {
    static const int factors[] = {1, 2, 3, 4, 6, 8};
    const int entry = cboZoom->currentIndex();
    if (entry < 0 || entry >= static_cast<int>(std::size(factors)))
        return;
    Picture1->setZoom(factors[entry]);
}

void Main::cmdInvert_Click() {
    CanvasStep step(this);
    // Every colour to its complement: black and white swap, and twice is the identity.
    canvas.image().invertPixels(QImage::InvertRgb);
    Picture1->update();
}

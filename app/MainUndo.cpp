// Undo and redo of the canvas (keys and buttons), the zoom and Invert.
#include "app/Main.h"

#include "app/CanvasView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

Main::CanvasStep::CanvasStep(Main* window)
    : m_window(window), m_opened(window->m_state.beginStep()) {}

Main::CanvasStep::~CanvasStep() {
    if (m_opened) {
        m_window->m_state.endStep();
        m_window->refreshUndo();
    }
}

void Main::buildCanvasTools() {
    ui.actUndo = new QAction(QStringLiteral("Undo"), this);
    ui.actUndo->setObjectName(QStringLiteral("actUndo"));
    ui.actUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    ui.actRedo = new QAction(QStringLiteral("Redo"), this);
    ui.actRedo->setObjectName(QStringLiteral("actRedo"));
    ui.actRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    addAction(ui.actUndo);
    addAction(ui.actRedo);
    connect(ui.actUndo, &QAction::triggered, this, &Main::actUndo_Triggered);
    connect(ui.actRedo, &QAction::triggered, this, &Main::actRedo_Triggered);
    connect(qApp, &QApplication::focusChanged, this, [this] { refreshUndo(); });

    const auto keys = [](const QAction* action) {
        QStringList names;
        for (const QKeySequence& keys : action->shortcuts())
            names << keys.toString(QKeySequence::NativeText);
        return names.join(QStringLiteral(", "));
    };
    ui.cmdUndo->setToolTip(QStringLiteral("Undo (%1)").arg(keys(ui.actUndo)));
    ui.cmdRedo->setToolTip(QStringLiteral("Redo (%1)").arg(keys(ui.actRedo)));
    // A click on a button is the canvas's, wherever the keyboard was before it.
    connect(ui.cmdUndo, &QPushButton::clicked, this, [this] {
        ui.actUndo->setEnabled(m_state.history.canUndo());
        ui.actUndo->trigger();
    });
    connect(ui.cmdRedo, &QPushButton::clicked, this, [this] {
        ui.actRedo->setEnabled(m_state.history.canRedo());
        ui.actRedo->trigger();
    });
    refreshUndo();

    connect(ui.cboZoom, &QComboBox::currentIndexChanged, this, &Main::cboZoom_Click);
    connect(ui.cmdInvert, &QPushButton::clicked, this, &Main::cmdInvert_Click);
}

void Main::refreshUndo() {
    QWidget* focus = QApplication::focusWidget();
    const bool ours = !focus || focus->window() != this || focus == ui.Picture1 ||
                      qobject_cast<QAbstractButton*>(focus) != nullptr;
    const bool canUndo = m_state.history.canUndo(), canRedo = m_state.history.canRedo();
    ui.actUndo->setEnabled(ours && canUndo);
    ui.actRedo->setEnabled(ours && canRedo);
    ui.cmdUndo->setEnabled(canUndo);
    ui.cmdRedo->setEnabled(canRedo);
}

void Main::actUndo_Triggered() {
    const int panel = m_state.panelIndex();
    const QSize size(m_state.canvas.width(), m_state.canvas.height());
    if (m_state.undo())
        showRestoredCanvas(panel, size);
    refreshUndo();
}

void Main::actRedo_Triggered() {
    const int panel = m_state.panelIndex();
    const QSize size(m_state.canvas.width(), m_state.canvas.height());
    if (m_state.redo())
        showRestoredCanvas(panel, size);
    refreshUndo();
}

void Main::showRestoredCanvas(int previousPanel, const QSize& previousSize) {
    const QSize size(m_state.canvas.width(), m_state.canvas.height());
    if (m_state.panelIndex() != previousPanel) {
        ui.optgrf[static_cast<size_t>(m_state.panelIndex())]->setChecked(true);
    }
    if (m_state.panelIndex() != previousPanel || size != previousSize) {
        // The panel's box in panel units, as a size choice leaves it; a picture of another size
        // (a loaded file) at one display pixel per picture pixel, as Load leaves it.
        if (size == QSize(m_state.panelWidth(), m_state.panelHeight())) {
            showPanelBox();
        } else {
            ui.Picture1->setDisplayPixelUnits();
            ui.Picture1->setBoxSize(size);
        }
    }
    ui.Picture1->update();
}

void Main::cboZoom_Click() {
    static const int factors[] = {1, 2, 3, 4, 6, 8};
    const int entry = ui.cboZoom->currentIndex();
    if (entry < 0 || entry >= static_cast<int>(std::size(factors)))
        return;
    ui.Picture1->setZoom(factors[entry]);
}

void Main::cmdInvert_Click() {
    CanvasStep step(this);
    // Every colour to its complement: black and white swap, and twice is the identity.
    m_state.canvas.image().invertPixels(QImage::InvertRgb);
    ui.Picture1->update();
}

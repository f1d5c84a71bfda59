#pragma once

#include <QByteArray>
#include <QImage>
#include <QPointF>
#include <QVector>

class Canvas;

// The canvas as it was at one moment, kept small: a picture of at most two colours (everything
// the pen, text, Clear, Invert and Import produce, and every 1-bit file) takes one bit per
// pixel; any other picture is kept losslessly compressed. Restoring gives back the picture
// exactly, its size, the current position and the panel choice in force.
class CanvasSnapshot {
public:
    CanvasSnapshot() = default;
    CanvasSnapshot(const Canvas& canvas, int panel);

    // Writes the picture back through Canvas::setPicture, so the canvas counts it as a change.
    void restore(Canvas& canvas) const;
    QImage picture() const;
    int panel() const { return m_panel; }
    QSize size() const { return {m_width, m_height}; }
    // Same picture, size and panel; the current position alone is not a change.
    bool samePicture(const CanvasSnapshot& other) const;
    // Heap bytes held, for the history's budget.
    qsizetype bytes() const { return m_data.capacity(); }

private:
    int m_width = 0;
    int m_height = 0;
    int m_panel = -1;
    QPointF m_position;
    bool m_twoColour = false;
    QRgb m_colours[2] = {0xFFFFFFu, 0xFFFFFFu}; // bit 0 and bit 1 of a two-colour picture
    QByteArray m_data; // rows of packed bits, or the compressed 24-bit pixels
};

// Undo and redo of the canvas. Every change that the user can take back is wrapped as one step:
//
//     const bool opened = history.begin(canvas, panel); // the state to come back to
//     ... change the canvas (pen stroke, text, Clear, Load, Import, size choice, Invert) ...
//     if (opened) history.end(canvas, panel);            // recorded only if something changed
//
// A begin while a step is open joins that step (a handler that calls another wrapped handler
// makes one step, not two) and returns false, so only the caller that opened it ends it. `panel`
// is whatever the caller keeps beside the picture (the window keeps its LCD size option); undo
// and redo hand it back. A step that changed nothing (a cancelled dialog, Clear of a white
// canvas) leaves no entry and keeps the redo list.
//
// Memory stays bounded: at most `maxSteps` steps are kept and at most `maxBytes` bytes of
// snapshots; the oldest steps go first. A 320x200 panel costs 8 kB a step.
class UndoHistory {
public:
    explicit UndoHistory(int maxSteps = 200, qsizetype maxBytes = 16 * 1024 * 1024);

    bool begin(const Canvas& canvas, int panel);
    // Closes the open step; true when it was recorded (the canvas or panel differ from begin).
    bool end(const Canvas& canvas, int panel);
    bool isOpen() const { return m_open; }

    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    int undoCount() const { return static_cast<int>(m_undo.size()); }
    int redoCount() const { return static_cast<int>(m_redo.size()); }

    // Back to the state before the latest step (an open step is closed first); the present
    // state goes to the redo list. `panel` is updated with the restored one. False when there
    // is nothing to undo.
    bool undo(Canvas& canvas, int& panel);
    bool redo(Canvas& canvas, int& panel);
    void clear();

    // Heap bytes the stored snapshots hold.
    qsizetype bytes() const;

private:
    // Takes the newest snapshot of `from` back onto the canvas; the present state goes to `to`.
    bool step(QVector<CanvasSnapshot>& from, QVector<CanvasSnapshot>& to, Canvas& canvas,
              int& panel);
    void trim();

    int m_maxSteps;
    qsizetype m_maxBytes;
    bool m_open = false;
    CanvasSnapshot m_pending;
    QVector<CanvasSnapshot> m_undo;
    QVector<CanvasSnapshot> m_redo;
};

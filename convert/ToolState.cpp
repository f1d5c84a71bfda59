#include "convert/ToolState.h"

#include "canvas/LcdSize.h"

int ToolState::panelWidth() const {
    return lcdSizes().at(static_cast<size_t>(m_panelIndex)).width;
}

int ToolState::panelHeight() const {
    return lcdSizes().at(static_cast<size_t>(m_panelIndex)).height;
}

void ToolState::choosePanel(int index) {
    if (index >= 0 && index < LcdSizeCount)
        m_panelIndex = index;
}

bool ToolState::undo() {
    return history.undo(canvas, m_panelIndex);
}

bool ToolState::redo() {
    return history.redo(canvas, m_panelIndex);
}

void ToolState::recordLoadCapture() {
    m_loadRevision = canvas.revision();
    m_loadedPanel = m_panelIndex;
}

bool ToolState::loadCaptureStands() const {
    return m_loadRevision != 0 && canvas.revision() == m_loadRevision &&
           m_loadedPanel == m_panelIndex;
}

void ToolState::convertStarted() {
    m_converted = false;
    m_sendArmed = false;
}

void ToolState::convertSucceeded(const TransmitBasis& basis) {
    m_convertBasis = basis;
    m_converted = true;
}

QStringList ToolState::disarmIfStale(const TransmitBasis& now) {
    if (!m_sendArmed)
        return {};
    QStringList reasons = staleTransmitReasons(m_convertBasis, now);
    if (!reasons.isEmpty())
        m_sendArmed = false;
    return reasons;
}

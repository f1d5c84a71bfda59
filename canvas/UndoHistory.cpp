#include "canvas/UndoHistory.h"

#include "canvas/Canvas.h"

#include <algorithm>

namespace {
constexpr QRgb ColourMask = 0xFFFFFFu;

qsizetype packedRowBytes(int width) {
    return (qsizetype(width) + 7) / 8;
}
} // namespace

CanvasSnapshot::CanvasSnapshot(const Canvas& canvas, int panel)
    : m_width(canvas.width()), m_height(canvas.height()), m_panel(panel),
      m_position(canvas.currentPosition) {
    const QImage& image = canvas.image();
    // Find out whether the picture has at most two colours; stop at the third.
    bool haveFirst = false;
    bool haveSecond = false;
    bool more = false;
    for (int y = 0; y < m_height && !more; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < m_width; ++x) {
            const QRgb c = row[x] & ColourMask;
            if (!haveFirst) {
                m_colours[0] = m_colours[1] = c;
                haveFirst = true;
            } else if (c != m_colours[0] && (!haveSecond || c != m_colours[1])) {
                if (haveSecond) {
                    more = true;
                    break;
                }
                m_colours[1] = c;
                haveSecond = true;
            }
        }
    }
    m_twoColour = !more;
    if (m_twoColour) {
        const qsizetype stride = packedRowBytes(m_width);
        m_data = QByteArray(stride * m_height, '\0');
        char* bits = m_data.data();
        const QRgb one = m_colours[1];
        for (int y = 0; y < m_height; ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            char* out = bits + y * stride;
            for (int x = 0; x < m_width; ++x)
                if ((row[x] & ColourMask) == one && one != m_colours[0])
                    out[x >> 3] = char(out[x >> 3] | (0x80 >> (x & 7)));
        }
    } else {
        QByteArray raw;
        raw.reserve(qsizetype(m_width) * m_height * 4);
        for (int y = 0; y < m_height; ++y)
            raw.append(reinterpret_cast<const char*>(image.constScanLine(y)),
                       qsizetype(m_width) * 4);
        m_data = qCompress(raw);
    }
    m_data.squeeze();
}

QImage CanvasSnapshot::picture() const {
    QImage image(m_width, m_height, QImage::Format_RGB32);
    if (m_twoColour) {
        const qsizetype stride = packedRowBytes(m_width);
        const QRgb colours[2] = {0xFF000000u | m_colours[0], 0xFF000000u | m_colours[1]};
        for (int y = 0; y < m_height; ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            const char* in = m_data.constData() + y * stride;
            for (int x = 0; x < m_width; ++x)
                row[x] = colours[(in[x >> 3] >> (7 - (x & 7))) & 1];
        }
    } else {
        const QByteArray raw = qUncompress(m_data);
        for (int y = 0; y < m_height; ++y)
            std::copy_n(raw.constData() + qsizetype(y) * m_width * 4, qsizetype(m_width) * 4,
                        reinterpret_cast<char*>(image.scanLine(y)));
    }
    return image;
}

void CanvasSnapshot::restore(Canvas& canvas) const {
    canvas.setPicture(picture());
    canvas.currentPosition = m_position;
}

bool CanvasSnapshot::samePicture(const CanvasSnapshot& other) const {
    if (m_width != other.m_width || m_height != other.m_height || m_panel != other.m_panel)
        return false;
    if (m_twoColour != other.m_twoColour)
        return false;
    if (!m_twoColour)
        return picture() == other.picture();
    // Two pictures of one colour each, or with their two colours the other way round, are
    // compared pixel by pixel; the common case (same colours, same bits) is one byte compare.
    if (m_colours[0] == other.m_colours[0] && m_colours[1] == other.m_colours[1])
        return m_data == other.m_data;
    return picture() == other.picture();
}

UndoHistory::UndoHistory(int maxSteps, qsizetype maxBytes)
    : m_maxSteps(std::max(1, maxSteps)), m_maxBytes(maxBytes) {}

bool UndoHistory::begin(const Canvas& canvas, int panel) {
    if (m_open)
        return false;
    m_pending = CanvasSnapshot(canvas, panel);
    m_open = true;
    return true;
}

bool UndoHistory::end(const Canvas& canvas, int panel) {
    if (!m_open)
        return false;
    m_open = false;
    if (m_pending.samePicture(CanvasSnapshot(canvas, panel)))
        return false;
    m_undo.append(std::move(m_pending));
    m_pending = CanvasSnapshot();
    m_redo.clear();
    trim();
    return true;
}

bool UndoHistory::undo(Canvas& canvas, int& panel) {
    return step(m_undo, m_redo, canvas, panel);
}

bool UndoHistory::redo(Canvas& canvas, int& panel) {
    return step(m_redo, m_undo, canvas, panel);
}

bool UndoHistory::step(QVector<CanvasSnapshot>& from, QVector<CanvasSnapshot>& to, Canvas& canvas,
                       int& panel) {
    if (m_open)
        end(canvas, panel);
    if (from.isEmpty())
        return false;
    to.append(CanvasSnapshot(canvas, panel));
    const CanvasSnapshot restored = from.takeLast();
    restored.restore(canvas);
    panel = restored.panel();
    // A redo grows the undo list, which is the one kept within its limits.
    trim();
    return true;
}

void UndoHistory::clear() {
    m_open = false;
    m_pending = CanvasSnapshot();
    m_undo.clear();
    m_redo.clear();
}

qsizetype UndoHistory::bytes() const {
    qsizetype total = m_pending.bytes();
    for (const CanvasSnapshot& s : m_undo)
        total += s.bytes() + qsizetype(sizeof(CanvasSnapshot));
    for (const CanvasSnapshot& s : m_redo)
        total += s.bytes() + qsizetype(sizeof(CanvasSnapshot));
    return total;
}

void UndoHistory::trim() {
    // The newest step is always kept, however large, so the last change can be taken back.
    while (m_undo.size() > 1 && (m_undo.size() > m_maxSteps || bytes() > m_maxBytes))
        m_undo.removeFirst();
}

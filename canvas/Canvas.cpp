#include "canvas/Canvas.h"

#include <QPainter>
#include <atomic>

namespace {
QImage whiteImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(0xFFFFFFFFu);
    return image;
}

// Shared by every canvas, so that no two pictures ever carry the same revision: an undo that
// puts back a copy brings back that copy's revision, and only that one.
quint64 nextRevision() {
    static std::atomic<quint64> last{0};
    return ++last;
}
} // namespace

Canvas::Canvas(int width, int height)
    : m_image(whiteImage(width, height)), m_revision(nextRevision()) {}

Canvas::Canvas(const Canvas& other)
    : penColour(other.penColour), penWidth(other.penWidth), font(other.font),
      currentPosition(other.currentPosition), m_image(other.m_image), m_revision(other.m_revision) {
}

Canvas& Canvas::operator=(const Canvas& other) {
    if (this == &other)
        return *this;
    penColour = other.penColour;
    penWidth = other.penWidth;
    font = other.font;
    currentPosition = other.currentPosition;
    m_image = other.m_image;
    m_revision = other.m_revision;
    if (m_listener)
        m_listener();
    return *this;
}

void Canvas::changed() {
    m_revision = nextRevision();
    if (m_listener)
        m_listener();
}

void Canvas::resize(int width, int height) {
    if (width != this->width() || height != this->height()) {
        QImage resized = whiteImage(width, height);
        QPainter painter(&resized);
        painter.drawImage(0, 0, m_image);
        painter.end();
        m_image = resized;
    }
    // A size choice counts as a change even when the size stays: the user chose again.
    changed();
}

void Canvas::clear() {
    m_image.fill(0xFFFFFFFFu);
    currentPosition = QPointF(0, 0);
    changed();
}

void Canvas::setPicture(const QImage& picture) {
    m_image = picture.convertToFormat(QImage::Format_RGB32);
    changed();
}

QRgb Canvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return White;
    return reinterpret_cast<const QRgb*>(m_image.constScanLine(y))[x] & 0xFFFFFFu;
}

void Canvas::setPixel(int x, int y, QRgb colour) {
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return;
    reinterpret_cast<QRgb*>(m_image.scanLine(y))[x] = 0xFF000000u | (colour & 0xFFFFFFu);
    changed();
}

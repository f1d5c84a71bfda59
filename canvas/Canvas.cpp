#include "canvas/Canvas.h"

#include <QPainter>

namespace {
QImage whiteImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(0xFFFFFFFFu);
    return image;
}
} // namespace

Canvas::Canvas(int width, int height) : m_image(whiteImage(width, height)) {}

void Canvas::resize(int width, int height) {
    if (width == this->width() && height == this->height())
        return;
    QImage resized = whiteImage(width, height);
    QPainter painter(&resized);
    painter.drawImage(0, 0, m_image);
    painter.end();
    m_image = resized;
}

void Canvas::clear() {
    m_image.fill(0xFFFFFFFFu);
    currentPosition = QPointF(0, 0);
}

void Canvas::setPicture(const QImage& picture) {
    m_image = picture.convertToFormat(QImage::Format_RGB32);
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
}

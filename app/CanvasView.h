#pragma once

#include <QWidget>

class Canvas;

// The canvas box. It shows the picture and reports mouse positions as real numbers in its
// current units: after a size choice the inner area spans exactly the panel's width x height
// units; at start-up and after a BMP save or load it measures in display pixels of the picture
// at x1.
//
// The zoom magnifies the box: at zoom z it is z times its x1 box size, every panel pixel is a
// square of z screen pixels, and a mouse position is divided by z before it is turned into
// units, so a position always addresses the panel pixel whose square holds it. Size the box
// with setBoxSize (the x1 size), never with QWidget::resize, so that the zoom survives it.
// From x4 up a light grid is drawn between the pixels, on the screen only.
class CanvasView : public QWidget {
    Q_OBJECT
public:
    static constexpr int GridFromZoom = 4;

    explicit CanvasView(Canvas* canvas, QWidget* parent = nullptr);

    void setUnits(double unitsWide, double unitsHigh);
    void setDisplayPixelUnits();
    bool measuresDisplayPixels() const { return m_unitsWide <= 0; }
    QPointF toUnits(const QPointF& widgetPosition) const;

    // The box at x1; the widget is this times the zoom.
    void setBoxSize(const QSize& x1Size);
    QSize boxSize() const { return m_boxSize; }
    void setZoom(int zoom);
    int zoom() const { return m_zoom; }

    // Repaints the part of the box that shows these canvas pixels (and nothing else).
    void updatePixels(const QRect& canvasPixels);

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, double x, double y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Canvas pixels per widget pixel, both ways.
    double scaleX() const;
    double scaleY() const;
    void applySize();

    Canvas* m_canvas;
    double m_unitsWide = 0;
    double m_unitsHigh = 0;
    QSize m_boxSize;
    int m_zoom = 1;
};

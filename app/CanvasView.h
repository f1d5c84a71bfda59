#pragma once

#include <QWidget>

class Canvas;

// The canvas box. It shows the picture and reports mouse positions as real numbers in its
// current units: after a size choice the inner area spans exactly the panel's width x height
// units; at start-up and after a BMP save or load it measures in display pixels.
class CanvasView : public QWidget {
    Q_OBJECT
public:
    explicit CanvasView(Canvas* canvas, QWidget* parent = nullptr);

    void setUnits(double unitsWide, double unitsHigh);
    void setDisplayPixelUnits();
    bool measuresDisplayPixels() const { return m_unitsWide <= 0; }
    QPointF toUnits(const QPointF& widgetPosition) const;

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
    Canvas* m_canvas;
    double m_unitsWide = 0;
    double m_unitsHigh = 0;
};

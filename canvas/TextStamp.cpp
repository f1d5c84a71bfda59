#include "canvas/TextStamp.h"

#include "canvas/Canvas.h"
#include "canvas/Dot.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace {
// Glyphs are laid out on an image of the canvas's kind, so the metrics match the drawing.
QImage maskImage(int width, int height) {
    QImage mask(width, height, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    return mask;
}
} // namespace

QFont stampFont(const QFont& font) {
    QFont bits(font);
    bits.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    return bits;
}

int stampLineHeight(const QFont& font) {
    QImage probe = maskImage(1, 1);
    return QFontMetrics(stampFont(font), &probe).lineSpacing();
}

void stampText(Canvas& canvas, const QString& text) {
    const QPointF start = canvas.currentPosition;
    const QFont font = stampFont(canvas.font);
    QImage probe = maskImage(1, 1);
    const QFontMetrics metrics(font, &probe);
    const QPoint topLeft = pixelAt(start);
    const QPoint baseline(topLeft.x(), topLeft.y() + metrics.ascent());

    // Only the part of the canvas the glyphs can reach is rendered; a loaded picture may be
    // large. The margin covers glyphs that overhang their advance.
    const int margin = metrics.height();
    const QRect reach = metrics.boundingRect(text)
                            .translated(baseline)
                            .adjusted(-margin, -margin, margin, margin)
                            .intersected(std::as_const(canvas).image().rect());
    if (!text.isEmpty() && !reach.isEmpty()) {
        QImage mask = maskImage(reach.width(), reach.height());
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(baseline - reach.topLeft(), text);
        painter.end();
        // Coverage is all or nothing without smoothing; the threshold keeps it so even if the
        // platform smooths a glyph anyway, and every painted pixel is exactly the pen colour.
        for (int y = 0; y < mask.height(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            for (int x = 0; x < mask.width(); ++x) {
                if (qAlpha(row[x]) >= 128)
                    canvas.setPixel(reach.x() + x, reach.y() + y, canvas.penColour);
            }
        }
    }
    canvas.currentPosition = QPointF(0, start.y() + metrics.lineSpacing());
}

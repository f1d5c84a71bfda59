#pragma once

#include <QFont>
#include <QString>

class Canvas;

// Distance from one stamped line to the next in `font`: QFontMetrics::lineSpacing (ascent +
// descent + leading), so repeated lines never touch, measured at the canvas image's resolution
// like the glyphs themselves.
int stampLineHeight(const QFont& font);

// Writes `text` in canvas.font and canvas.penColour with the top-left corner of its line box on
// the pixel under canvas.currentPosition. Only glyph pixels change, each to exactly penColour:
// the panel has no grey, and only pure black counts as a set pixel. Then currentPosition moves to
// the start of the next line (x 0, y one stampLineHeight further down), also for an empty text.
void stampText(Canvas& canvas, const QString& text);

// The canvas font as a stamp draws it: one bit per pixel, no smoothing.
QFont stampFont(const QFont& font);

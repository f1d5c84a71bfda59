#pragma once

#include "convert/ByteMatrix.h"

#include <QString>

// The decoration around each byte of the output text, taken from the "Output Format" boxes as
// they stand (spaces included).
struct OutputFormat {
    QString format;    // before every byte
    QString delimiter; // after every byte; the last one is taken off again
    QString header;    // once before the first byte
    QString footer;    // once after the last byte
};

// The longest output text the two functions below build; beyond it they throw
// std::length_error, whose message gives the length the text would have had.
constexpr qsizetype LargestOutputText = 16'000'000;

// One line of two-digit hex bytes, page by page and left to right within a page, each written
// format + digits + delimiter; the final delimiter's first character becomes a space and trailing
// spaces go; then header + body + footer, trimmed of spaces at both ends, all lower case.
QString verticalOutputText(const VertMatrix& matrix, const OutputFormat& format);

// The captured bytes of a width x height panel, row by row, followed by the closing "00" the
// controller firmware expects. The closing "00" stays whole and the last element keeps its
// delimiter, so a table such as "...,0x7f,00" stays valid source. A cell never captured gives
// format + delimiter only.
QString horizontalOutputText(const HorzMatrix& matrix, int width, int height,
                             const OutputFormat& format);

// The same layout for horizontal bytes already in output order (horizontalBytes of a canvas):
// every byte one element, then the closing "00" kept whole as above.
QString horizontalOutputText(const QByteArray& bytes, const OutputFormat& format);

// The captured bytes of a width x height panel with no decoration and no closing "00": what the
// output window shows right after a BMP load.
QString rawMatrixText(const HorzMatrix& matrix, int width, int height);

// Half the text length as the size label shows it: 2048 -> "1024", 2049 -> "1024.5".
QString byteCountCaption(qsizetype textLength);

// Removes the space character (only that one) from both ends.
QString trimSpaces(const QString& text);

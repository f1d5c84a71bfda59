#include "convert/OutputText.h"

#include <algorithm>

namespace {
const char hexDigits[] = "0123456789abcdef";

void appendHex(QString& text, quint8 byte) {
    const QChar digits[2] = {QLatin1Char(hexDigits[byte >> 4]), QLatin1Char(hexDigits[byte & 15])};
    text.append(digits, 2);
}

void chopSpaces(QString& text, qsizetype keep) {
    qsizetype end = text.size();
    while (end > keep && text.at(end - 1) == QLatin1Char(' '))
        --end;
    text.truncate(end);
}

// Header, the elements, the closing "00" if any, footer; trimmed and lower-cased.
// appendElementDigits(text, i) appends the digits of element i (none for an empty cell).
template <typename AppendDigits>
QString assemble(const OutputFormat& f, qsizetype count, bool closingZeros,
                 AppendDigits appendElementDigits) {
    const qsizetype element = f.format.size() + 2 + f.delimiter.size();
    QString text;
    text.reserve(f.header.size() + count * element + 2 + f.footer.size());
    text.append(f.header);
    const qsizetype bodyStart = text.size();
    for (qsizetype i = 0; i < count; ++i) {
        text.append(f.format);
        appendElementDigits(text, i);
        text.append(f.delimiter);
    }
    if (closingZeros) {
        text.append(QLatin1String("00"));
    } else if (count > 0 && !f.delimiter.isEmpty()) {
        // Only the delimiter's first character is blanked; the rest of a longer delimiter stays
        // unless it is spaces, so ",a" leaves " a" at the end of the body.
        text[text.size() - f.delimiter.size()] = QLatin1Char(' ');
        chopSpaces(text, bodyStart);
    }
    text.append(f.footer);
    chopSpaces(text, 0);
    qsizetype lead = 0;
    while (lead < text.size() && text.at(lead) == QLatin1Char(' '))
        ++lead;
    text.remove(0, lead);
    return std::move(text).toLower();
}

int bytesPerRow(int width) {
    return std::clamp(width / 8, 0, HorzMatrix::Size);
}

int rowCount(int height) {
    return std::clamp(height, 0, HorzMatrix::Size);
}
} // namespace

QString verticalOutputText(const VertMatrix& matrix, const OutputFormat& format) {
    const qsizetype count = static_cast<qsizetype>(matrix.columns) * matrix.pages;
    const int columns = std::max(matrix.columns, 1);
    return assemble(format, count, false, [&](QString& text, qsizetype i) {
        appendHex(text, matrix.at(static_cast<int>(i % columns), static_cast<int>(i / columns)));
    });
}

QString horizontalOutputText(const HorzMatrix& matrix, int width, int height,
                             const OutputFormat& format) {
    const int perRow = std::max(bytesPerRow(width), 1);
    const qsizetype count = static_cast<qsizetype>(bytesPerRow(width)) * rowCount(height);
    return assemble(format, count, true, [&](QString& text, qsizetype i) {
        const int row = static_cast<int>(i / perRow);
        const int column = static_cast<int>(i % perRow);
        if (!matrix.isEmpty(row, column))
            appendHex(text, matrix.byte(row, column));
    });
}

QString rawMatrixText(const HorzMatrix& matrix, int width, int height) {
    const int perRow = bytesPerRow(width);
    const int rows = rowCount(height);
    QString text;
    text.reserve(static_cast<qsizetype>(perRow) * rows * 2);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < perRow; ++column) {
            if (!matrix.isEmpty(row, column))
                appendHex(text, matrix.byte(row, column));
        }
    }
    return text;
}

QString byteCountCaption(qsizetype textLength) {
    QString caption = QString::number(textLength / 2);
    if (textLength % 2 != 0)
        caption += QLatin1String(".5");
    return caption;
}

QString trimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

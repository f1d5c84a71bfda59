#include "convert/OutputText.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace {
// Two lower-case digits per byte value, written with one copy each.
const std::array<std::array<char16_t, 2>, 256>& hexPairs() {
    static const auto table = [] {
        std::array<std::array<char16_t, 2>, 256> pairs{};
        const char digits[] = "0123456789abcdef";
        for (int i = 0; i < 256; ++i)
            pairs[i] = {char16_t(digits[i >> 4]), char16_t(digits[i & 15])};
        return pairs;
    }();
    return table;
}

QChar* put(QChar* out, const QString& text) {
    std::memcpy(static_cast<void*>(out), text.constData(), sizeof(QChar) * text.size());
    return out + text.size();
}

QChar* putHex(QChar* out, quint8 byte) {
    std::memcpy(static_cast<void*>(out), hexPairs()[byte].data(), sizeof(QChar) * 2);
    return out + 2;
}

bool isSpace(QChar c) {
    return c == QLatin1Char(' ');
}

// Header, the elements, the closing "00" if any, footer; trimmed of spaces and lower-cased.
// putDigits(out, i) writes the digits of element i (none for an empty cell) and returns the end.
// The decoration is lower-cased piece by piece up front and the digits are lower case already,
// so the text is written once into a buffer of its final size.
template <typename PutDigits>
QString assemble(const OutputFormat& f, qsizetype count, bool closingZeros, PutDigits putDigits) {
    const QString format = f.format.toLower();
    const QString delimiter = f.delimiter.toLower();
    const QString header = f.header.toLower();
    const QString footer = f.footer.toLower();
    const qsizetype element = format.size() + 2 + delimiter.size();
    const qsizetype size = header.size() + count * element + 2 + footer.size();
    // A long Format on a large panel would otherwise build a text of gigabytes and freeze the
    // window for many seconds; no table or stream of the program comes near this.
    const qsizetype length = closingZeros ? size : size - 2; // before the trimming of spaces
    if (length > LargestOutputText)
        throw std::length_error(QStringLiteral("the output text would be %1 characters long, "
                                               "more than the %2 the program makes")
                                    .arg(length)
                                    .arg(LargestOutputText)
                                    .toStdString());
    QString text(size, Qt::Uninitialized);
    QChar* const begin = text.data();
    QChar* out = put(begin, header);
    QChar* const body = out;
    for (qsizetype i = 0; i < count; ++i) {
        out = put(out, format);
        out = putDigits(out, i);
        out = put(out, delimiter);
    }
    if (closingZeros) {
        // The closing "00" follows the last delimiter and the rule below does not touch it: the
        // body ends with the marker, not with a delimiter.
        *out++ = QLatin1Char('0');
        *out++ = QLatin1Char('0');
    } else if (count > 0 && !f.delimiter.isEmpty()) {
        // The final delimiter's first character becomes a space, then trailing spaces go: a
        // delimiter ",a" leaves " a" at the end, ", " leaves nothing.
        const qsizetype first = QString(f.delimiter.at(0)).toLower().size();
        out -= delimiter.size();
        *out++ = QLatin1Char(' ');
        out = put(out, delimiter.mid(first));
        while (out > body && isSpace(out[-1]))
            --out;
    }
    out = put(out, footer);
    while (out > begin && isSpace(out[-1]))
        --out;
    const qsizetype lead = std::find_if_not(begin, out, isSpace) - begin;
    text.truncate(out - begin);
    text.remove(0, lead);
    return text;
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
    return assemble(format, count, false, [&](QChar* out, qsizetype i) {
        return putHex(out, matrix.at(static_cast<int>(i % columns), static_cast<int>(i / columns)));
    });
}

QString horizontalOutputText(const HorzMatrix& matrix, int width, int height,
                             const OutputFormat& format) {
    const int perRow = std::max(bytesPerRow(width), 1);
    const qsizetype count = static_cast<qsizetype>(bytesPerRow(width)) * rowCount(height);
    return assemble(format, count, true, [&](QChar* out, qsizetype i) {
        const int row = static_cast<int>(i / perRow);
        const int column = static_cast<int>(i % perRow);
        return matrix.isEmpty(row, column) ? out : putHex(out, matrix.byte(row, column));
    });
}

QString horizontalOutputText(const QByteArray& bytes, const OutputFormat& format) {
    const auto* data = reinterpret_cast<const quint8*>(bytes.constData());
    return assemble(format, bytes.size(), true,
                    [data](QChar* out, qsizetype i) { return putHex(out, data[i]); });
}

QString rawMatrixText(const HorzMatrix& matrix, int width, int height) {
    const int perRow = bytesPerRow(width);
    const int rows = rowCount(height);
    QString text(static_cast<qsizetype>(perRow) * rows * 2, Qt::Uninitialized);
    QChar* out = text.data();
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < perRow; ++column) {
            if (!matrix.isEmpty(row, column))
                out = putHex(out, matrix.byte(row, column));
        }
    }
    text.truncate(out - text.constData());
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
    while (begin < end && isSpace(text.at(begin)))
        ++begin;
    while (end > begin && isSpace(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

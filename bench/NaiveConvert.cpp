#include "NaiveConvert.h"

#include <QImage>

namespace {
QString upperHex(int byte) {
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

void chopSpaces(QString& text) {
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
}

QString finish(QString body, const OutputFormat& f) {
    QString text = f.header + body + f.footer;
    chopSpaces(text);
    while (text.startsWith(QLatin1Char(' ')))
        text.remove(0, 1);
    return text.toLower();
}
} // namespace

VertMatrix naiveVerticalMatrix(const QImage& image, int width, int height) {
    VertMatrix matrix;
    matrix.columns = width;
    matrix.pages = height / 8;
    matrix.bytes.resize(static_cast<size_t>(width) * matrix.pages);
    for (int x = 0; x < width; ++x) {
        for (int page = 0; page < matrix.pages; ++page) {
            int byte = 0;
            for (int k = 0; k < 8; ++k)
                if ((image.pixel(x, 8 * page + k) & 0xFFFFFF) == 0)
                    byte += 1 << k;
            matrix.bytes[static_cast<size_t>(x) * matrix.pages + page] = quint8(byte);
        }
    }
    return matrix;
}

QString naiveVerticalText(const VertMatrix& matrix, const OutputFormat& f) {
    QString body;
    for (int page = 0; page < matrix.pages; ++page)
        for (int x = 0; x < matrix.columns; ++x)
            body += f.format + upperHex(matrix.at(x, page)) + f.delimiter;
    if (!f.delimiter.isEmpty() && !body.isEmpty()) {
        body[body.size() - f.delimiter.size()] = QLatin1Char(' ');
        chopSpaces(body);
    }
    return finish(body, f);
}

QString naiveHorizontalText(const HorzMatrix& matrix, int width, int height,
                            const OutputFormat& f) {
    QString body;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width / 8; ++column)
            body +=
                f.format +
                (matrix.isEmpty(row, column) ? QString()
                                             : QStringLiteral("%1").arg(matrix.byte(row, column), 2,
                                                                        16, QLatin1Char('0'))) +
                f.delimiter;
    return finish(body + QStringLiteral("00"), f);
}

#include "convert/BytePicture.h"

#include "canvas/LcdSize.h"

#include <QStringList>
#include <algorithm>

namespace {
constexpr QRgb Dark = 0xff000000;
constexpr QRgb Light = 0xffffffff;

QString sizeText(int width, int height) {
    return QStringLiteral("%1x%2").arg(width).arg(height);
}
} // namespace

int panelByteCount(int width, int height) {
    return width > 0 && height > 0 ? width / 8 * height : 0;
}

QImage pictureFromBytes(const QByteArray& bytes, int width, int height, bool horizontal) {
    if (width <= 0 || height <= 0)
        return QImage();
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Light);
    const auto* data = reinterpret_cast<const quint8*>(bytes.constData());
    const qsizetype count = bytes.size();
    if (horizontal) {
        const int perRow = width / 8;
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int c = 0; c < perRow; ++c) {
                const qsizetype at = static_cast<qsizetype>(y) * perRow + c;
                const quint8 byte = at < count ? data[at] : 0;
                for (int bit = 0; bit < 8; ++bit)
                    if (byte & (0x80 >> bit))
                        line[8 * c + bit] = Dark;
            }
        }
    } else {
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            const quint8 bit = static_cast<quint8>(1u << (y & 7));
            const qsizetype page = static_cast<qsizetype>(y >> 3) * width;
            const qsizetype available = std::clamp<qsizetype>(count - page, 0, width);
            for (qsizetype x = 0; x < available; ++x)
                if (data[page + x] & bit)
                    line[x] = Dark;
        }
    }
    return picture;
}

PanelBytes fitToPanel(const QByteArray& table, int width, int height, bool horizontal) {
    const qsizetype needed = panelByteCount(width, height);
    const qsizetype count = table.size();
    if (count == needed)
        return {table, QString()};
    // The output text of a horizontal conversion ends with the "00" that closes a stream.
    if (horizontal && count == needed + 1 && table.back() == 0)
        return {table.left(needed), QString()};

    QString failure = QStringLiteral("wrong byte count: %1 bytes, but a %2 panel needs %3")
                          .arg(count)
                          .arg(sizeText(width, height))
                          .arg(needed);
    if (horizontal)
        failure += QStringLiteral(" (or %1 ending in the closing 00)").arg(needed + 1);
    QStringList others;
    for (const LcdSize& size : lcdSizes()) {
        const qsizetype other = panelByteCount(size.width, size.height);
        if (count == other || (horizontal && count == other + 1 && table.back() == 0))
            others << sizeText(size.width, size.height);
    }
    if (others.isEmpty())
        failure += QStringLiteral("; %1 bytes fit none of the eight panels").arg(count);
    else
        failure += QStringLiteral("; %1 bytes fit %2")
                       .arg(count)
                       .arg(others.join(QStringLiteral(" and ")));
    return {QByteArray(), failure};
}

#include "canvas/Import.h"

#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <array>
#include <vector>

namespace {
constexpr QRgb BlackPixel = 0xFF000000u;
constexpr QRgb WhitePixel = 0xFFFFFFFFu;

QImage readFrom(QImageReader& reader, QString* failure) {
    // Qt's own limit (128 MiB) refuses a 6000 x 6000 photo; the one here fits a large photo and
    // is still far from what a damaged header could claim.
    QImageReader::setAllocationLimit(LargestPictureMiB);
    const QSize size = reader.size();
    if (size.isValid()) {
        // At least four bytes a pixel: the scaling works on 32-bit pixels whatever the file holds.
        const int bits =
            std::max(32, int(QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel()));
        const qint64 bytes = qint64(size.width()) * size.height() * (bits / 8);
        if (bytes > LargestPictureBytes) {
            if (failure) {
                constexpr qint64 MiB = 1024 * 1024;
                *failure = QStringLiteral("too large: %1 x %2 pixels take %3 MiB, more than the %4 "
                                          "MiB a picture may take")
                               .arg(size.width())
                               .arg(size.height())
                               .arg((bytes + MiB - 1) / MiB)
                               .arg(LargestPictureMiB);
            }
            return {};
        }
    }
    // Cameras store the picture sideways and say so in the file.
    reader.setAutoTransform(true);
    QImage picture = reader.read();
    if (picture.isNull() && failure)
        *failure = QStringLiteral("not a picture (%1)").arg(reader.errorString());
    return picture;
}

// Luma with the weights of analogue television, in whole numbers and rounded.
quint8 luma(QRgb colour) {
    return static_cast<quint8>(
        (299 * qRed(colour) + 587 * qGreen(colour) + 114 * qBlue(colour) + 500) / 1000);
}

QImage brightness(const QImage& opaque) {
    QImage grey(opaque.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < opaque.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(opaque.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < opaque.width(); ++x)
            out[x] = luma(in[x]);
    }
    return grey;
}

// Brightness moved by 128 - threshold: the brightness at the slider comes out as half the dots
// black, darker ones mostly black, as in the threshold's own mode.
std::array<quint8, 256> shiftTable(int threshold) {
    const int shift = 128 - std::clamp(threshold, 0, 255);
    std::array<quint8, 256> table{};
    for (int v = 0; v < 256; ++v)
        table[static_cast<size_t>(v)] = static_cast<quint8>(std::clamp(v + shift, 0, 255));
    return table;
}

QImage shifted(const QImage& grey, int threshold) {
    if (threshold == 128)
        return grey;
    const std::array<quint8, 256> table = shiftTable(threshold);
    QImage result(grey.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* in = grey.constScanLine(y);
        uchar* out = result.scanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            out[x] = table[in[x]];
    }
    return result;
}

QImage thresholded(const QImage& grey, int threshold) {
    QImage result(grey.size(), QImage::Format_RGB32);
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* in = grey.constScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < grey.width(); ++x)
            out[x] = in[x] < threshold ? BlackPixel : WhitePixel;
    }
    return result;
}

// Qt's own dithers (error diffusion, 16x16 Bayer); the one-bit result is read back as pure black
// and white.
QImage qtDither(const QImage& grey, Qt::ImageConversionFlags method) {
    const QImage mono = grey.convertToFormat(QImage::Format_Mono, Qt::MonoOnly | method);
    QImage result = mono.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            line[x] = qGray(line[x]) < 128 ? BlackPixel : WhitePixel;
    }
    return result;
}

// Atkinson's diffusion: an eighth of the error to each of six neighbours, the rest dropped, which
// keeps large light and dark areas clean.
QImage atkinson(const QImage& grey) {
    const int w = grey.width();
    const int h = grey.height();
    // Two spare columns either side and two spare rows below take the error that falls outside.
    const int stride = w + 4;
    std::vector<int> level(static_cast<size_t>(stride) * (h + 2), 0);
    auto at = [&](int x, int y) -> int& {
        return level[static_cast<size_t>(y) * stride + static_cast<size_t>(x + 2)];
    };
    for (int y = 0; y < h; ++y) {
        const uchar* in = grey.constScanLine(y);
        for (int x = 0; x < w; ++x)
            at(x, y) = in[x];
    }
    QImage result(grey.size(), QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int value = at(x, y);
            const bool black = value < 128;
            out[x] = black ? BlackPixel : WhitePixel;
            const int share = (value - (black ? 0 : 255)) / 8;
            if (share == 0)
                continue;
            at(x + 1, y) += share;
            at(x + 2, y) += share;
            at(x - 1, y + 1) += share;
            at(x, y + 1) += share;
            at(x + 1, y + 1) += share;
            at(x, y + 2) += share;
        }
    }
    return result;
}

void invertInPlace(QImage& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = line[x] == BlackPixel ? WhitePixel : BlackPixel;
    }
}
} // namespace

QImage readPicture(QIODevice* device, QString* failure) {
    QImageReader reader(device);
    return readFrom(reader, failure);
}

QStringList importPatterns() {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString pattern = QStringLiteral("*.") + QString::fromLatin1(format).toLower();
        if (!patterns.contains(pattern))
            patterns << pattern;
    }
    return patterns;
}

QImage scaleForPanel(const QImage& source, int width, int height, ImportScale scale) {
    if (source.isNull() || width <= 0 || height <= 0)
        return {};
    const QSize panel(width, height);
    QSize target = source.size();
    switch (scale) {
    case ImportScale::Fit:
        target = source.size().scaled(panel, Qt::KeepAspectRatio);
        break;
    case ImportScale::Fill:
        target = source.size().scaled(panel, Qt::KeepAspectRatioByExpanding);
        break;
    case ImportScale::Stretch:
        target = panel;
        break;
    case ImportScale::None:
        break;
    }
    target = target.expandedTo(QSize(1, 1));
    const QPoint offset((width - target.width()) / 2, (height - target.height()) / 2);

    QImage placed;
    QPoint at = offset;
    if (scale == ImportScale::None) {
        // Only the part that shows, so that a large picture is not converted whole.
        const QRect visible = QRect(-offset, panel).intersected(source.rect());
        placed = source.copy(visible);
        at = QPoint(std::max(offset.x(), 0), std::max(offset.y(), 0));
    } else if (scale == ImportScale::Fill &&
               qint64(target.width()) * target.height() > 64 * qint64(width) * height) {
        // A very narrow or very tall picture (a damaged file of a few KB can claim 37x589847)
        // would be scaled whole to billions of pixels and then cropped: scale only what shows.
        const double fx = double(target.width()) / source.width();
        const double fy = double(target.height()) / source.height();
        const QRectF shown(-offset.x() / fx, -offset.y() / fy, width / fx, height / fy);
        const QRect part = shown.toAlignedRect().intersected(source.rect());
        placed = source.copy(part).scaled(panel, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        at = QPoint(0, 0);
    } else {
        placed = target == source.size()
                     ? source
                     : source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    QImage opaque(panel, QImage::Format_RGB32);
    opaque.fill(WhitePixel);
    QPainter painter(&opaque);
    // Drawn over white, so transparent pixels come out white and half-transparent ones lighter.
    painter.drawImage(at, placed);
    painter.end();
    return brightness(opaque);
}

QImage toMonochrome(const QImage& scaled, const ImportOptions& options) {
    if (scaled.isNull())
        return {};
    const QImage grey =
        scaled.format() == QImage::Format_Grayscale8
            ? scaled
            : scaleForPanel(scaled, scaled.width(), scaled.height(), ImportScale::Stretch);
    QImage result;
    switch (options.dither) {
    case ImportDither::Threshold:
        result = thresholded(grey, options.threshold);
        break;
    case ImportDither::FloydSteinberg:
        result = qtDither(shifted(grey, options.threshold), Qt::DiffuseDither);
        break;
    case ImportDither::Ordered:
        result = qtDither(shifted(grey, options.threshold), Qt::OrderedDither);
        break;
    case ImportDither::Atkinson:
        result = atkinson(shifted(grey, options.threshold));
        break;
    }
    if (options.invert)
        invertInPlace(result);
    return result;
}

QImage importPicture(const QImage& source, int width, int height, const ImportOptions& options) {
    return toMonochrome(scaleForPanel(source, width, height, options.scale), options);
}

// Import of a 12-megapixel photo: decoding, the one scaling to the panel when the dialog opens,
// and what a move of the threshold slider costs, in the core and in frmImport with its preview.
#include "Benches.h"
#include "Harness.h"

#include "app/ImportDialog.h"
#include "canvas/Import.h"

#include <QBuffer>
#include <QComboBox>
#include <QPainter>
#include <QSlider>

namespace {
constexpr int photoWidth = 4000;
constexpr int photoHeight = 3000;

// Smooth colour gradients with shapes, like a photo as far as scaling and dithering can tell.
QImage syntheticPhoto() {
    QImage image(photoWidth, photoHeight, QImage::Format_RGB32);
    for (int y = 0; y < photoHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < photoWidth; ++x)
            line[x] = qRgb(x * 255 / photoWidth, y * 255 / photoHeight, ((x + y) / 16) % 256);
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 30, 60));
    painter.drawEllipse(QRect(800, 600, 1400, 1400));
    painter.setBrush(QColor(240, 230, 200));
    painter.drawRect(QRect(2600, 300, 600, 2200));
    return image;
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

QImage decoded(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QString failure;
    return readPicture(&buffer, &failure);
}
} // namespace

void benchImport() {
    const QImage photo = syntheticPhoto();
    const QByteArray jpeg = encoded(photo, "JPEG");

    Table opening("Opening a 4000x3000 photo (12 MP) for a 320x200 panel",
                  {QStringLiteral("step"), QStringLiteral("time")});
    const std::vector<double> read = medianMicrosTakingTurns(5, {[&] { keep(decoded(jpeg)); }});
    opening.row({QStringLiteral("decode the JPEG (%1 kB)").arg(jpeg.size() / 1024),
                 millis(read[0] / 1000)});
    const char* scaleNames[] = {"Fit", "Fill", "Stretch", "None"};
    for (int s = 0; s < 4; ++s) {
        const auto scale = static_cast<ImportScale>(s);
        const std::vector<double> us =
            medianMicrosTakingTurns(5, {[&] { keep(scaleForPanel(photo, 320, 200, scale)); }});
        opening.row({QStringLiteral("scale to the panel, %1").arg(QLatin1String(scaleNames[s])),
                     millis(us[0] / 1000)});
    }
    opening.print();

    Table slider("A move of the threshold slider, 320x200 panel",
                 {QStringLiteral("mode"), QStringLiteral("core"), QStringLiteral("dialog"),
                  QStringLiteral("goal")});
    const QImage scaled = scaleForPanel(photo, 320, 200, ImportScale::Fit);
    ImportDialog dialog(photo, 320, 200);
    const char* ditherNames[] = {"Threshold", "Floyd-Steinberg", "Ordered", "Atkinson"};
    for (int d = 0; d < 4; ++d) {
        ImportOptions options;
        options.dither = static_cast<ImportDither>(d);
        dialog.cboDither->setCurrentIndex(d);
        int step = 0;
        const std::vector<double> us = medianMicrosTakingTurns(
            101, {[&] {
                      options.threshold = 100 + step % 56;
                      keep(toMonochrome(scaled, options));
                  },
                  [&] { dialog.sldThreshold->setValue(100 + (++step) % 56); }});
        slider.row({QLatin1String(ditherNames[d]), millis(us[0] / 1000), millis(us[1] / 1000),
                    QStringLiteral("< 30 ms")});
    }
    slider.print();
    printNote(QStringLiteral(
        "Median of 5 runs (opening) and 101 runs (slider). The photo is scaled once when frmImport "
        "opens and again only when the scaling changes; \"dialog\" is the slider's whole update: "
        "black and white from the scaled picture plus the preview pixmap at its zoom."));
}

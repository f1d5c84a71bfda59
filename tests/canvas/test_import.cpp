// Pictures of any kind made into black-and-white panel pictures: placement, dithers, reading.
#include "canvas/Import.h"
#include "support/TestGroup.h"

#include <QBuffer>
#include <QPainter>
#include <QtTest>

Q_DECLARE_METATYPE(ImportScale)
Q_DECLARE_METATYPE(ImportDither)

namespace {
constexpr QRgb Black = 0xFF000000u;
constexpr QRgb White = 0xFFFFFFFFu;

QImage filled(int width, int height, QRgb colour, QImage::Format format = QImage::Format_RGB32) {
    QImage image(width, height, format);
    image.fill(colour);
    return image;
}

QImage blackIn(int width, int height, const QRect& black) {
    QImage image = filled(width, height, White);
    QPainter(&image).fillRect(black, Qt::black);
    return image;
}

// Through the PNG codec and back, as a picture arrives from a file.
QImage viaPng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    QString failure;
    const QImage read = readPicture(&buffer, &failure);
    if (read.isNull())
        qWarning("PNG not read back: %s", qPrintable(failure));
    return read;
}

int blackCount(const QImage& picture) {
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            count += picture.pixel(x, y) == Black;
    return count;
}

// The first pixel where the two differ, or "" when they are alike.
QString firstDifference(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y))
                return QStringLiteral("(%1, %2) is %3")
                    .arg(x)
                    .arg(y)
                    .arg(actual.pixel(x, y), 0, 16);
    return {};
}

ImportOptions options(ImportDither dither, int threshold = 128, bool invert = false) {
    ImportOptions result;
    result.dither = dither;
    result.threshold = threshold;
    result.invert = invert;
    return result;
}
} // namespace

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void exactSizeLandsPixelForPixel_data();
    void exactSizeLandsPixelForPixel();
    void placement_data();
    void placement();
    void greyLevels_data();
    void greyLevels();
    void colourBecomesLuma_data();
    void colourBecomesLuma();
    void everyModeGivesPureBlackAndWhite_data();
    void everyModeGivesPureBlackAndWhite();
    void transparentIsWhite();
    void unreadablePicturesAreRefused_data();
    void unreadablePicturesAreRefused();
};

void TestImport::exactSizeLandsPixelForPixel_data() {
    QTest::addColumn<ImportScale>("scale");
    QTest::addColumn<ImportDither>("dither");
    QTest::addColumn<bool>("oneBitPng");
    const std::pair<const char*, ImportScale> scales[] = {{"Fit", ImportScale::Fit},
                                                          {"Fill", ImportScale::Fill},
                                                          {"Stretch", ImportScale::Stretch},
                                                          {"None", ImportScale::None}};
    const std::pair<const char*, ImportDither> dithers[] = {
        {"threshold", ImportDither::Threshold},
        {"Floyd-Steinberg", ImportDither::FloydSteinberg},
        {"ordered", ImportDither::Ordered},
        {"Atkinson", ImportDither::Atkinson}};
    for (const auto& [scaleName, scale] : scales) {
        for (const auto& [ditherName, dither] : dithers) {
            for (const bool oneBit : {false, true})
                QTest::addRow("%s %s %s", scaleName, ditherName, oneBit ? "1-bit" : "RGB")
                    << scale << dither << oneBit;
        }
    }
}

void TestImport::exactSizeLandsPixelForPixel() {
    QFETCH(ImportScale, scale);
    QFETCH(ImportDither, dither);
    QFETCH(bool, oneBitPng);
    // Single pixels, lines and blocks, at no regular spacing, so that a shift or a blur shows.
    QImage picture = filled(128, 64, White);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            if ((x * 7 + y * 13) % 11 < 3 || (x > 90 && y > 40) || x == 0 || y == 63)
                picture.setPixel(x, y, Black);
    const QImage source =
        viaPng(oneBitPng ? picture.convertToFormat(QImage::Format_Mono) : picture);
    ImportOptions chosen = options(dither);
    chosen.scale = scale;
    QCOMPARE(firstDifference(importPicture(source, 128, 64, chosen), picture), QString());
}

void TestImport::placement_data() {
    QTest::addColumn<ImportScale>("scale");
    QTest::addColumn<QImage>("source");
    QTest::addColumn<QSize>("panel");
    QTest::addColumn<QRect>("black");
    // Twice as wide as high, all black, on a square panel: Fit leaves a quarter white above and
    // below.
    const QImage wide = filled(256, 128, Black);
    QTest::newRow("2:1 on 1:1, Fit")
        << ImportScale::Fit << wide << QSize(128, 128) << QRect(0, 32, 128, 64);
    QTest::newRow("2:1 on 1:1, Fill")
        << ImportScale::Fill << wide << QSize(128, 128) << QRect(0, 0, 128, 128);
    QTest::newRow("2:1 on 1:1, Stretch")
        << ImportScale::Stretch << wide << QSize(128, 128) << QRect(0, 0, 128, 128);
    QTest::newRow("2:1 on 1:1, None")
        << ImportScale::None << wide << QSize(128, 128) << QRect(0, 0, 128, 128);
    QTest::newRow("1:2 on 2:1, Fit")
        << ImportScale::Fit << filled(64, 128, Black) << QSize(128, 64) << QRect(48, 0, 32, 64);
    // A square of 512 with its top-left block 256 x 320 black, on a 128x64 panel: each scaling
    // shows another part of the block at another size.
    const QImage block = blackIn(512, 512, QRect(0, 0, 256, 320));
    QTest::newRow("block, Fit") << ImportScale::Fit << block << QSize(128, 64)
                                << QRect(32, 0, 32, 40);
    QTest::newRow("block, Fill") << ImportScale::Fill << block << QSize(128, 64)
                                 << QRect(0, 0, 64, 48);
    QTest::newRow("block, Stretch")
        << ImportScale::Stretch << block << QSize(128, 64) << QRect(0, 0, 64, 40);
    QTest::newRow("block, None") << ImportScale::None << block << QSize(128, 64)
                                 << QRect(0, 0, 64, 64);
    QTest::newRow("small, None, centred")
        << ImportScale::None << filled(64, 32, Black) << QSize(128, 64) << QRect(32, 16, 64, 32);
    QTest::newRow("tall on 320x200, None")
        << ImportScale::None << filled(20, 400, Black) << QSize(320, 200) << QRect(150, 0, 20, 200);
}

void TestImport::placement() {
    QFETCH(ImportScale, scale);
    QFETCH(QImage, source);
    QFETCH(QSize, panel);
    QFETCH(QRect, black);
    ImportOptions chosen;
    chosen.scale = scale;
    const QImage result = importPicture(source, panel.width(), panel.height(), chosen);
    QCOMPARE(firstDifference(result, blackIn(panel.width(), panel.height(), black)), QString());
}

void TestImport::greyLevels_data() {
    QTest::addColumn<ImportDither>("dither");
    QTest::addColumn<int>("grey");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<bool>("invert");
    QTest::addColumn<int>("minPercent");
    QTest::addColumn<int>("maxPercent");
    const ImportDither fs = ImportDither::FloydSteinberg;
    const ImportDither ordered = ImportDither::Ordered;
    const ImportDither atkinson = ImportDither::Atkinson;
    const ImportDither threshold = ImportDither::Threshold;
    QTest::newRow("Floyd-Steinberg, mid-grey") << fs << 128 << 128 << false << 45 << 55;
    QTest::newRow("Floyd-Steinberg, quarter") << fs << 64 << 128 << false << 70 << 80;
    QTest::newRow("Floyd-Steinberg, quarter inverted") << fs << 64 << 128 << true << 20 << 30;
    QTest::newRow("ordered, mid-grey") << ordered << 128 << 128 << false << 45 << 55;
    QTest::newRow("Atkinson, mid-grey") << atkinson << 128 << 128 << false << 45 << 55;
    QTest::newRow("Atkinson, white") << atkinson << 255 << 128 << false << 0 << 0;
    QTest::newRow("Atkinson, black") << atkinson << 0 << 128 << false << 100 << 100;
    QTest::newRow("Atkinson, near white") << atkinson << 250 << 128 << false << 0 << 5;
    // The slider darkens the dithers the way it darkens the threshold, up to the edges.
    QTest::newRow("Floyd-Steinberg, darker at 192") << fs << 128 << 192 << false << 70 << 80;
    QTest::newRow("Atkinson, lighter at 64") << atkinson << 128 << 64 << false << 15 << 35;
    QTest::newRow("Floyd-Steinberg, slider at the grey") << fs << 200 << 200 << false << 45 << 55;
    QTest::newRow("Floyd-Steinberg, 0 on mid-grey") << fs << 128 << 0 << false << 0 << 0;
    QTest::newRow("ordered, 255 on mid-grey") << ordered << 128 << 255 << false << 99 << 100;
    QTest::newRow("Atkinson, 255 on mid-grey") << atkinson << 128 << 255 << false << 99 << 100;
    // Threshold: darker than the slider is black, so 0 whitens everything and 255 leaves only
    // pure white.
    QTest::newRow("threshold 0 on black") << threshold << 0 << 0 << false << 0 << 0;
    QTest::newRow("threshold 255 on 254") << threshold << 254 << 255 << false << 100 << 100;
    QTest::newRow("threshold 255 on white") << threshold << 255 << 255 << false << 0 << 0;
    QTest::newRow("threshold 128 on 127") << threshold << 127 << 128 << false << 100 << 100;
    QTest::newRow("threshold 128 on 128") << threshold << 128 << 128 << false << 0 << 0;
    QTest::newRow("threshold 128 on 128 inverted") << threshold << 128 << 128 << true << 100 << 100;
}

void TestImport::greyLevels() {
    QFETCH(ImportDither, dither);
    QFETCH(int, grey);
    QFETCH(int, threshold);
    QFETCH(bool, invert);
    QFETCH(int, minPercent);
    QFETCH(int, maxPercent);
    const QImage source = filled(128, 64, qRgb(grey, grey, grey));
    const QImage result = importPicture(source, 128, 64, options(dither, threshold, invert));
    const double percent = 100.0 * blackCount(result) / (128 * 64);
    QVERIFY2(percent >= minPercent && percent <= maxPercent, qPrintable(QString::number(percent)));
}

void TestImport::colourBecomesLuma_data() {
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<int>("luma");
    // 0.299 R + 0.587 G + 0.114 B, rounded.
    QTest::newRow("red") << qRgb(255, 0, 0) << 76;
    QTest::newRow("green") << qRgb(0, 255, 0) << 150;
    QTest::newRow("blue") << qRgb(0, 0, 255) << 29;
    QTest::newRow("yellow") << qRgb(255, 255, 0) << 226;
    QTest::newRow("grey 77") << qRgb(77, 77, 77) << 77;
}

void TestImport::colourBecomesLuma() {
    QFETCH(QRgb, colour);
    QFETCH(int, luma);
    const QImage grey = scaleForPanel(filled(16, 8, colour), 16, 8, ImportScale::Fit);
    QCOMPARE(grey.format(), QImage::Format_Grayscale8);
    QCOMPARE(int(grey.constScanLine(3)[5]), luma);
    // Exactly at the luma the pixel is no longer darker than the threshold.
    const QImage above =
        importPicture(filled(16, 8, colour), 16, 8, options(ImportDither::Threshold, luma + 1));
    const QImage at =
        importPicture(filled(16, 8, colour), 16, 8, options(ImportDither::Threshold, luma));
    QCOMPARE(blackCount(above), 16 * 8);
    QCOMPARE(blackCount(at), 0);
}

void TestImport::everyModeGivesPureBlackAndWhite_data() {
    QTest::addColumn<ImportDither>("dither");
    QTest::addColumn<ImportScale>("scale");
    QTest::newRow("threshold, Fit") << ImportDither::Threshold << ImportScale::Fit;
    QTest::newRow("Floyd-Steinberg, Fill") << ImportDither::FloydSteinberg << ImportScale::Fill;
    QTest::newRow("ordered, Stretch") << ImportDither::Ordered << ImportScale::Stretch;
    QTest::newRow("Atkinson, None") << ImportDither::Atkinson << ImportScale::None;
}

void TestImport::everyModeGivesPureBlackAndWhite() {
    QFETCH(ImportDither, dither);
    QFETCH(ImportScale, scale);
    // A colour gradient, dark on the left, light on the right, with a disc in the middle.
    QImage photo(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x * 255 / 399, (x + y) * 255 / 699, y * 255 / 299));
    QPainter painter(&photo);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::red);
    painter.drawEllipse(150, 100, 100, 100);
    painter.end();
    ImportOptions chosen = options(dither);
    chosen.scale = scale;
    const QImage result = importPicture(photo, 240, 64, chosen);
    QCOMPARE(result.size(), QSize(240, 64));
    QCOMPARE(result.format(), QImage::Format_RGB32);
    int leftBlack = 0;
    int rightBlack = 0;
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < result.width(); ++x) {
            const QRgb pixel = result.pixel(x, y);
            QVERIFY2(pixel == Black || pixel == White, qPrintable(QString::number(pixel, 16)));
            (x < 120 ? leftBlack : rightBlack) += pixel == Black;
        }
    }
    QVERIFY2(leftBlack > rightBlack,
             qPrintable(QStringLiteral("%1 %2").arg(leftBlack).arg(rightBlack)));
}

void TestImport::transparentIsWhite() {
    // Transparent black around an opaque black square and a half-transparent black band: the
    // clear part is white, the half-transparent part a middle grey.
    QImage picture = filled(64, 32, 0x00000000u, QImage::Format_ARGB32);
    QPainter painter(&picture);
    painter.fillRect(QRect(8, 8, 16, 16), Qt::black);
    painter.fillRect(QRect(40, 0, 8, 32), QColor(0, 0, 0, 128));
    painter.end();
    const QImage source = viaPng(picture);
    QVERIFY(source.hasAlphaChannel());
    const QImage grey = scaleForPanel(source, 64, 32, ImportScale::Fit);
    QVERIFY(qAbs(int(grey.constScanLine(16)[44]) - 127) <= 1);
    const QImage result = importPicture(source, 64, 32, options(ImportDither::Threshold, 100));
    QCOMPARE(firstDifference(result, blackIn(64, 32, QRect(8, 8, 16, 16))), QString());
}

void TestImport::unreadablePicturesAreRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    filled(64, 64, Black).save(&buffer, "PNG");
    QByteArray corrupt = png;
    corrupt.truncate(png.size() / 2);
    QTest::newRow("PNG cut in half") << corrupt;
    QTest::newRow("PNG signature, then noise") << png.left(8) + QByteArray(200, '\x5a');
    QTest::newRow("text") << QByteArray("not a picture at all\n");
    QTest::newRow("empty") << QByteArray();
}

void TestImport::unreadablePicturesAreRefused() {
    QFETCH(QByteArray, bytes);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QString failure;
    QVERIFY(readPicture(&buffer, &failure).isNull());
    QVERIFY(!failure.isEmpty());
    QVERIFY(importPicture(QImage(), 128, 64, ImportOptions()).isNull());
}

QUORVEL_TEST_GUILESS_MAIN(TestImport)
#include "test_import.moc"

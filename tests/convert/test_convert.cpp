// The Convert step without the window: horizontal bytes taken from the canvas as a saved and
// reloaded file would give them, and which source each conversion uses.
#include "canvas/Bmp.h"
#include "canvas/LcdSize.h"
#include "convert/Convert.h"
#include "convert/HorizontalCapture.h"
#include "support/BmpFixtures.h"
#include "support/MatrixPictures.h"

#include <QtTest>

class TestConvert : public QObject {
    Q_OBJECT
private slots:
    void canvasCapturesAsItsSavedFileWould_data();
    void canvasCapturesAsItsSavedFileWould();
    void canvasCaptureEdges_data();
    void canvasCaptureEdges();
    void sourceAndText_data();
    void sourceAndText();
};

void TestConvert::canvasCapturesAsItsSavedFileWould_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("inverted");
    for (const LcdSize& size : lcdSizes()) {
        for (bool inverted : {true, false})
            QTest::addRow("%s%s", size.label, inverted ? ", inverted" : "")
                << size.width << size.height << inverted;
    }
}

void TestConvert::canvasCapturesAsItsSavedFileWould() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, inverted);
    // Grey and near-black pixels too: the file keeps only pure black as black.
    QImage picture = patternImage(width, height, width + height);
    picture.setPixel(1, 0, 0xFF000001u);
    picture.setPixel(2, 0, 0xFF808080u);
    // The real round trip: the picture saved, loaded and captured as Load does.
    const QByteArray expected =
        capturedBytes(loadCapture(picture, width, height, inverted), width, height);
    QCOMPARE(expected.size(), width / 8 * height);
    QCOMPARE(horizontalBytes(picture, width, height, inverted), expected);

    // And through Convert: the output text is those bytes and the closing "00".
    ConvertInput input;
    input.width = width;
    input.height = height;
    input.canvas = picture;
    input.inverted = inverted;
    const Conversion conversion = convertPicture(input);
    QCOMPARE(conversion.source, ByteSource::Canvas);
    QCOMPARE(conversion.text, QString::fromLatin1(expected.toHex()) + "00");
}

void TestConvert::canvasCaptureEdges_data() {
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QSize>("panel");
    QTest::addColumn<bool>("inverted");
    QTest::addColumn<QByteArray>("expectedHex");
    const Canvas corner = cornerPicture(16, 8);
    // The corner example: the first byte of rows 0..7.
    QTest::newRow("corner, inverted") << corner.image() << QSize(16, 8) << true
                                      << QByteArray("8000"
                                                    "8000"
                                                    "9000"
                                                    "8000"
                                                    "8000"
                                                    "8000"
                                                    "8000"
                                                    "ff00");
    QTest::newRow("corner, not inverted") << corner.image() << QSize(16, 8) << false
                                          << QByteArray("7fff"
                                                        "7fff"
                                                        "6fff"
                                                        "7fff"
                                                        "7fff"
                                                        "7fff"
                                                        "7fff"
                                                        "00ff");
    // A picture smaller than the panel: what it does not cover is white.
    QImage small(8, 1, QImage::Format_RGB32);
    small.fill(0xFF000000u);
    QTest::newRow("smaller picture") << small << QSize(16, 2) << true
                                     << QByteArray("ff00"
                                                   "0000");
    // A width that is not a multiple of 8 keeps whole bytes only, as a file capture does.
    QImage odd(12, 1, QImage::Format_RGB32);
    odd.fill(0xFF000000u);
    QTest::newRow("12 wide") << odd << QSize(12, 1) << true << QByteArray("ff");
    // Other pixel formats read the same colours.
    QImage mono(16, 1, QImage::Format_Mono);
    mono.setColor(0, qRgb(0, 0, 0));
    mono.setColor(1, qRgb(255, 255, 255));
    mono.fill(1);
    mono.setPixel(15, 0, 0);
    QTest::newRow("1-bit picture") << mono << QSize(16, 1) << true << QByteArray("0001");
}

void TestConvert::canvasCaptureEdges() {
    QFETCH(QImage, picture);
    QFETCH(QSize, panel);
    QFETCH(bool, inverted);
    QFETCH(QByteArray, expectedHex);
    QCOMPARE(horizontalBytes(picture, panel.width(), panel.height(), inverted).toHex(),
             expectedHex);
}

void TestConvert::sourceAndText_data() {
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("begins");
    QTest::addColumn<QString>("ends");
    QTest::addColumn<int>("length");
    // The canvas is the corner picture at 128x64; the loaded file holds the counting bytes, so
    // each source shows in the text.
    const int vertical = int(ByteSource::Vertical);
    const int file = int(ByteSource::LoadedFile);
    const int canvas = int(ByteSource::Canvas);
    QTest::newRow("vertical ignores the file") << false << true << vertical << ""
                                               << ""
                                               << "ff80808480808080"
                                               << "0000" << 2048;
    QTest::newRow("horizontal from the loaded file") << true << true << file << ""
                                                     << ""
                                                     << "00010203"
                                                     << "c800" << 2050;
    QTest::newRow("horizontal from the canvas") << true << false << canvas << ""
                                                << ""
                                                << "8000000000000000"
                                                << "0000" << 2050;
    QTest::newRow("canvas, 0x comma keeps the closing 00 whole") << true << false << canvas << "0x"
                                                                 << ","
                                                                 << "0x80,0x00,"
                                                                 << ",0x00,00" << 1024 * 5 + 2;
}

void TestConvert::sourceAndText() {
    QFETCH(bool, horizontal);
    QFETCH(bool, loaded);
    QFETCH(int, source);
    QFETCH(QString, format);
    QFETCH(QString, delimiter);
    QFETCH(QString, begins);
    QFETCH(QString, ends);
    QFETCH(int, length);
    const HorzMatrix file = countingMatrix(128, 64);
    ConvertInput input;
    input.horizontal = horizontal;
    input.width = 128;
    input.height = 64;
    input.canvas = cornerPicture(128, 64).image();
    input.loaded = loaded ? &file : nullptr;
    input.format = {format, delimiter, {}, {}};
    const Conversion conversion = convertPicture(input);
    QVERIFY(conversion.ok());
    QCOMPARE(int(conversion.source), source);
    QVERIFY2(conversion.text.startsWith(begins), qPrintable(conversion.text.left(40)));
    QVERIFY2(conversion.text.endsWith(ends), qPrintable(conversion.text.right(40)));
    QCOMPARE(conversion.text.size(), length);
    QCOMPARE(conversion.vertical.bytes.empty(), horizontal);
    // The bytes beside the text are the picture's alone: no closing "00".
    QCOMPARE(conversion.bytes.size(), 1024);
    QCOMPARE(pictureBytes(input), conversion.bytes);
}

QTEST_GUILESS_MAIN(TestConvert)
#include "test_convert.moc"

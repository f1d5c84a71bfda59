// Byte matrices, output text and the transmit stream, computed without a window.
#include "canvas/Canvas.h"
#include "canvas/LcdSize.h"
#include "convert/ByteMatrix.h"
#include "convert/OutputText.h"
#include "convert/TransmitText.h"

#include <QtTest>

namespace {
// The test picture used throughout: column 0 of rows 0..7, row 7 of columns 0..7 and (3, 2).
Canvas cornerPicture(int width, int height) {
    Canvas canvas(width, height);
    for (int i = 0; i < 8; ++i) {
        canvas.setPixel(0, i, Canvas::Black);
        canvas.setPixel(i, 7, Canvas::Black);
    }
    canvas.setPixel(3, 2, Canvas::Black);
    return canvas;
}

// What a BMP row holds for the canvas (palette 0 black, 1 white), captured the way Load does.
HorzMatrix capturedFrom(const Canvas& canvas, bool inverted) {
    HorzMatrix matrix;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int c = 0; c < canvas.width() / 8; ++c) {
            quint8 byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if (!canvas.isSet(8 * c + bit, y))
                    byte |= quint8(0x80 >> bit);
            }
            captureHorizontalByte(matrix, y, c, byte, inverted);
        }
    }
    return matrix;
}

// Every byte value 0..255 in turn, so that a slip of row or column shows.
HorzMatrix countingMatrix(int width, int height) {
    HorzMatrix matrix;
    for (int y = 0; y < height; ++y)
        for (int c = 0; c < width / 8; ++c)
            captureHorizontalByte(matrix, y, c, quint8(y * 7 + c), false);
    return matrix;
}

QString hexOf(quint8 byte) {
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
}
} // namespace

class TestConvert : public QObject {
    Q_OBJECT
private slots:
    void verticalBits_data();
    void verticalBits();
    void verticalMatchesPixelByPixelReading_data();
    void verticalMatchesPixelByPixelReading();
    void captureFlipsWhenInverted_data();
    void captureFlipsWhenInverted();
    void cornerExampleHorizontal_data();
    void cornerExampleHorizontal();
    void verticalText_data();
    void verticalText();
    void horizontalText_data();
    void horizontalText();
    void rawTextIsUndecoratedRowOrder();
    void byteCountCaption_data();
    void byteCountCaption();
    void transmit_data();
    void transmit();
    void reformatSourceTrimsSpacesOnly();
};

// Rows of {x, page, value}; every byte not listed must be 0.
using Bytes = QList<QList<int>>;

void TestConvert::verticalBits_data() {
    QTest::addColumn<QSize>("panel");
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QList<QPoint>>("black");
    QTest::addColumn<uint>("colour");
    QTest::addColumn<Bytes>("expected");
    QList<QPoint> corner;
    for (int i = 0; i < 8; ++i)
        corner << QPoint(0, i) << QPoint(i, 7);
    corner << QPoint(3, 2);
    const QSize s128(128, 64);
    QTest::newRow("corner example")
        << s128 << s128 << corner << 0u
        << Bytes{{0, 0, 0xff}, {1, 0, 0x80}, {2, 0, 0x80}, {3, 0, 0x84},
                 {4, 0, 0x80}, {5, 0, 0x80}, {6, 0, 0x80}, {7, 0, 0x80}};
    QTest::newRow("top pixel is bit 0")
        << s128 << s128 << QList<QPoint>{{0, 0}} << 0u << Bytes{{0, 0, 0x01}};
    QTest::newRow("bottom of band is bit 7")
        << s128 << s128 << QList<QPoint>{{0, 7}} << 0u << Bytes{{0, 0, 0x80}};
    QTest::newRow("row 8 opens page 1")
        << s128 << s128 << QList<QPoint>{{0, 8}} << 0u << Bytes{{0, 1, 0x01}};
    QTest::newRow("last pixel") << s128 << s128 << QList<QPoint>{{127, 63}} << 0u
                                << Bytes{{127, 7, 0x80}};
    QTest::newRow("near black is white")
        << s128 << s128 << QList<QPoint>{{5, 5}} << 0x000001u << Bytes{};
    const QSize s320(320, 200);
    QTest::newRow("320 wide past column 255") << s320 << s320 << QList<QPoint>{{256, 0}, {319, 199}}
                                              << 0u << Bytes{{256, 0, 0x01}, {319, 24, 0x80}};
    QTest::newRow("smaller picture reads white beyond")
        << s128 << QSize(100, 40) << QList<QPoint>{{99, 39}} << 0u << Bytes{{99, 4, 0x80}};
    QTest::newRow("larger picture is cut to the panel")
        << s128 << QSize(320, 200) << QList<QPoint>{{127, 0}, {128, 0}, {0, 64}} << 0u
        << Bytes{{127, 0, 0x01}};
}

void TestConvert::verticalBits() {
    QFETCH(QSize, panel);
    QFETCH(QSize, image);
    QFETCH(QList<QPoint>, black);
    QFETCH(uint, colour);
    QFETCH(Bytes, expected);
    Canvas canvas(image.width(), image.height());
    for (const QPoint& p : black)
        canvas.setPixel(p.x(), p.y(), colour);
    const VertMatrix m = verticalMatrix(canvas.image(), panel.width(), panel.height());
    QCOMPARE(m.columns, panel.width());
    QCOMPARE(m.pages, panel.height() / 8);
    QCOMPARE(int(m.bytes.size()), m.columns * m.pages);
    std::vector<int> want(m.bytes.size(), 0);
    for (const QList<int>& e : expected)
        want[size_t(e[0]) * m.pages + e[1]] = e[2];
    for (int x = 0; x < m.columns; ++x)
        for (int p = 0; p < m.pages; ++p)
            QVERIFY2(m.at(x, p) == want[size_t(x) * m.pages + p],
                     qPrintable(QStringLiteral("x %1 page %2: %3").arg(x).arg(p).arg(m.at(x, p))));
}

void TestConvert::verticalMatchesPixelByPixelReading_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("format");
    for (const LcdSize& size : lcdSizes())
        QTest::newRow(size.label) << size.width << size.height << int(QImage::Format_RGB32);
    QTest::newRow("mono picture") << 128 << 64 << int(QImage::Format_Mono);
    QTest::newRow("argb picture") << 240 << 64 << int(QImage::Format_ARGB32);
}

void TestConvert::verticalMatchesPixelByPixelReading() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, format);
    Canvas canvas(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((x * 7 + y * 3 + x * y) % 5 == 0)
                canvas.setPixel(x, y, Canvas::Black);
    const QImage picture = canvas.image().convertToFormat(QImage::Format(format));
    const VertMatrix m = verticalMatrix(picture, width, height);
    for (int x = 0; x < width; ++x) {
        for (int p = 0; p < height / 8; ++p) {
            int expected = 0;
            for (int k = 0; k < 8; ++k)
                expected |= canvas.isSet(x, 8 * p + k) ? 1 << k : 0;
            QCOMPARE(int(m.at(x, p)), expected);
        }
    }
    const QString text = verticalOutputText(m, {});
    QCOMPARE(text.size(), width * height / 4);
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[^0-9a-f]"))));
}

void TestConvert::captureFlipsWhenInverted_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("byte");
    QTest::addColumn<bool>("inverted");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("text");
    QTest::newRow("as read") << 0 << 0 << 0x7f << false << true << "7f";
    QTest::newRow("inverted") << 0 << 0 << 0x7f << true << true << "80";
    QTest::newRow("small value keeps its zero") << 3 << 2 << 0x0a << false << true << "0a";
    QTest::newRow("inverted to small") << 3 << 2 << 0xf5 << true << true << "0a";
    QTest::newRow("zero inverted") << 256 << 256 << 0 << true << true << "ff";
    QTest::newRow("row past the table") << 257 << 0 << 1 << false << false << "";
    QTest::newRow("negative column") << 0 << -1 << 1 << false << false << "";
}

void TestConvert::captureFlipsWhenInverted() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, byte);
    QFETCH(bool, inverted);
    QFETCH(bool, stored);
    QFETCH(QString, text);
    HorzMatrix matrix;
    QCOMPARE(captureHorizontalByte(matrix, row, column, quint8(byte), inverted), stored);
    if (stored)
        QCOMPARE(hexOf(matrix.byte(row, column)), text);
}

void TestConvert::cornerExampleHorizontal_data() {
    QTest::addColumn<bool>("inverted");
    QTest::addColumn<QStringList>("firstOfRows");
    QTest::newRow("as stored") << false
                               << QStringList{"7f", "7f", "6f", "7f", "7f", "7f", "7f", "00"};
    QTest::newRow("inverted") << true
                              << QStringList{"80", "80", "90", "80", "80", "80", "80", "ff"};
}

void TestConvert::cornerExampleHorizontal() {
    QFETCH(bool, inverted);
    QFETCH(QStringList, firstOfRows);
    const HorzMatrix matrix = capturedFrom(cornerPicture(128, 64), inverted);
    const QString raw = rawMatrixText(matrix, 128, 64);
    const QString converted = horizontalOutputText(matrix, 128, 64, {});
    QCOMPARE(raw.size(), 2048);
    QCOMPARE(converted, raw + QStringLiteral("00"));
    for (int row = 0; row < 8; ++row) // 16 bytes, 32 characters a row
        QCOMPARE(raw.mid(row * 32, 2), firstOfRows[row]);
    QCOMPARE(raw.mid(2, 30), QString(30, inverted ? QLatin1Char('0') : QLatin1Char('f')));
}

void TestConvert::verticalText_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("footer");
    QTest::addColumn<QString>("begins");
    QTest::addColumn<QString>("ends");
    QTest::addColumn<int>("length");
    QTest::newRow("bare") << ""
                          << ""
                          << ""
                          << ""
                          << "ff808084808080800000"
                          << "0000" << 2048;
    QTest::newRow("0x comma") << "0x"
                              << ","
                              << ""
                              << ""
                              << "0xff,0x80,0x80,0x84,0x80,0x80,0x80,0x80,0x00,0x00,"
                              << "0x00,0x00" << 5119;
    QTest::newRow("dollar comma space") << "$"
                                        << ", "
                                        << "DATA "
                                        << ""
                                        << "data $ff, $80, $80, $84, $80, $80, $80, $80, $00,"
                                        << "$00, $00" << 5123;
    QTest::newRow("capital X, header, footer") << "0X"
                                               << ","
                                               << "Image:"
                                               << ";"
                                               << "image:0xff,0x80,0x80,0x84,"
                                               << "0x00,0x00;" << 5126;
    QTest::newRow("comma and letter leaves the letter") << ""
                                                        << ",a"
                                                        << ""
                                                        << ""
                                                        << "ff,a80,a80,a84"
                                                        << "00,a00 a" << 1024 * 4;
    QTest::newRow("space delimiter") << ""
                                     << " "
                                     << ""
                                     << ""
                                     << "ff 80 80 84"
                                     << "00 00" << 1024 * 3 - 1;
    QTest::newRow("header and footer spaces trimmed") << ""
                                                      << ""
                                                      << "   H "
                                                      << " F   "
                                                      << "h ff8080"
                                                      << "0000 f" << 2048 + 4;
    QTest::newRow("tabs stay") << ""
                               << ""
                               << "\t"
                               << "\t "
                               << "\tff80"
                               << "00\t" << 2050;
    QTest::newRow("line break in header stays") << ""
                                                << ""
                                                << "Data:\r\n"
                                                << ""
                                                << "data:\r\nff"
                                                << "0000" << 2048 + 7;
}

void TestConvert::verticalText() {
    QFETCH(QString, format);
    QFETCH(QString, delimiter);
    QFETCH(QString, header);
    QFETCH(QString, footer);
    QFETCH(QString, begins);
    QFETCH(QString, ends);
    QFETCH(int, length);
    const Canvas canvas = cornerPicture(128, 64);
    const QString text = verticalOutputText(verticalMatrix(canvas.image(), 128, 64),
                                            {format, delimiter, header, footer});
    QVERIFY2(text.startsWith(begins), qPrintable(text.left(60)));
    QVERIFY2(text.endsWith(ends), qPrintable(text.right(20)));
    QCOMPARE(text.size(), length);
}

void TestConvert::horizontalText_data() {
    QTest::addColumn<bool>("captured");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("footer");
    QTest::addColumn<QString>("begins");
    QTest::addColumn<QString>("ends");
    QTest::addColumn<int>("length");
    // The counting matrix's last byte of 128x64 is 63 * 7 + 15 = 456 -> 0xc8.
    QTest::newRow("nothing captured") << false << 128 << ""
                                      << ""
                                      << ""
                                      << ""
                                      << "00"
                                      << "00" << 2;
    QTest::newRow("nothing captured, 0x comma") << false << 128 << "0x"
                                                << ","
                                                << ""
                                                << ""
                                                << "0x,0x,"
                                                << "0x,0x,00" << 1024 * 3 + 2;
    QTest::newRow("captured 128") << true << 128 << ""
                                  << ""
                                  << ""
                                  << ""
                                  << "000102"
                                  << "c800" << 2050;
    QTest::newRow("captured 240") << true << 240 << ""
                                  << ""
                                  << ""
                                  << ""
                                  << "0001"
                                  << "d600" << 30 * 64 * 2 + 2;
    QTest::newRow("0x comma keeps the closing 00 whole") << true << 128 << "0x"
                                                         << ","
                                                         << ""
                                                         << ""
                                                         << "0x00,0x01,"
                                                         << ",0xc8,00" << 1024 * 5 + 2;
    QTest::newRow("two-character delimiter") << true << 128 << "0x"
                                             << ", "
                                             << "{"
                                             << " };"
                                             << "{0x00, 0x01, "
                                             << ", 0xc8, 00 };" << 1 + 1024 * 6 + 2 + 3;
    QTest::newRow("delimiter 0 keeps 00") << true << 128 << ""
                                          << "0"
                                          << ""
                                          << ""
                                          << "000010"
                                          << "c8000" << 1024 * 3 + 2;
}

void TestConvert::horizontalText() {
    QFETCH(bool, captured);
    QFETCH(int, width);
    QFETCH(QString, format);
    QFETCH(QString, delimiter);
    QFETCH(QString, header);
    QFETCH(QString, footer);
    QFETCH(QString, begins);
    QFETCH(QString, ends);
    QFETCH(int, length);
    const HorzMatrix matrix = captured ? countingMatrix(width, 64) : HorzMatrix();
    const QString text =
        horizontalOutputText(matrix, width, 64, {format, delimiter, header, footer});
    QVERIFY2(text.startsWith(begins), qPrintable(text.left(60)));
    QVERIFY2(text.endsWith(ends), qPrintable(text.right(20)));
    QCOMPARE(text.size(), length);
}

void TestConvert::rawTextIsUndecoratedRowOrder() {
    HorzMatrix matrix = countingMatrix(256, 64);           // columns 30 and 31 hold bytes too
    QCOMPARE(rawMatrixText(matrix, 128, 64).size(), 2048); // a smaller panel reads its own part
    const QString raw = rawMatrixText(matrix, 240, 64);
    QCOMPARE(raw.size(), 30 * 64 * 2);
    QCOMPARE(raw.mid(30 * 2, 4), QStringLiteral("0708")); // row 1 starts right after column 29
    QCOMPARE(rawMatrixText(HorzMatrix(), 128, 64), QString());
}

void TestConvert::byteCountCaption_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("caption");
    QTest::newRow("empty") << 0 << "0";
    QTest::newRow("one character") << 1 << "0.5";
    QTest::newRow("closing 00 alone") << 2 << "1";
    QTest::newRow("1024 bytes") << 2048 << "1024";
    QTest::newRow("odd") << 2049 << "1024.5";
    QTest::newRow("1025 bytes") << 2050 << "1025";
}

void TestConvert::byteCountCaption() {
    QFETCH(int, length);
    QFETCH(QString, caption);
    QCOMPARE(::byteCountCaption(length), caption);
}

void TestConvert::transmit_data() {
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("piece");
    QTest::addColumn<QString>("wait");
    QTest::addColumn<QString>("expected");
    QTest::newRow("short last piece") << "*3200000A"
                                      << "abcdef" << 4 << "]"
                                      << "*3200000a]abcd]ef";
    QTest::newRow("exact pieces") << ""
                                  << "abcd" << 2 << "]"
                                  << "]ab]cd";
    QTest::newRow("several wait characters") << "*"
                                             << "ABC" << 2 << "]Q"
                                             << "*]qab]qc";
    QTest::newRow("nothing to cut") << "*1200000A"
                                    << "" << 32 << "]"
                                    << "*1200000a";
    QTest::newRow("no piece length") << ""
                                     << "abc" << 0 << "]"
                                     << "]abc";
    QString bytes2048;
    for (int i = 0; i < 1024; ++i)
        bytes2048 += hexOf(quint8(i));
    QString expected;
    for (int i = 0; i < 64; ++i)
        expected += QLatin1Char(']') + bytes2048.mid(i * 32, 32);
    QTest::newRow("2048 in 32s") << "" << bytes2048 << 32 << "]" << expected;
    QTest::newRow("2050 in 32s") << "" << bytes2048 + "00" << 32 << "]" << expected + "]00";
}

void TestConvert::transmit() {
    QFETCH(QString, header);
    QFETCH(QString, text);
    QFETCH(int, piece);
    QFETCH(QString, wait);
    QFETCH(QString, expected);
    QCOMPARE(transmitText(header, text, piece, wait), expected);
}

void TestConvert::reformatSourceTrimsSpacesOnly() {
    QCOMPARE(reformatSource(QStringLiteral("  FF00  ")), QStringLiteral("ff00"));
    QCOMPARE(reformatSource(QStringLiteral("\tAB\r\n")), QStringLiteral("\tab\r\n"));
    QCOMPARE(trimSpaces(QStringLiteral("   ")), QString());
}

QTEST_APPLESS_MAIN(TestConvert)
#include "test_convert.moc"

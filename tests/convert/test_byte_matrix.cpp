// Byte matrices: vertical bytes read from the canvas, horizontal bytes captured from a file.
#include "canvas/LcdSize.h"
#include "convert/OutputText.h"
#include "support/MatrixPictures.h"
#include "support/TestPictures.h"

#include <QtTest>

class TestByteMatrix : public QObject {
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
};

// Rows of {x, page, value}; every byte not listed must be 0.
using Bytes = QList<QList<int>>;

void TestByteMatrix::verticalBits_data() {
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

void TestByteMatrix::verticalBits() {
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

void TestByteMatrix::verticalMatchesPixelByPixelReading_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("format");
    for (const LcdSize& size : lcdSizes())
        QTest::newRow(size.label) << size.width << size.height << int(QImage::Format_RGB32);
    QTest::newRow("mono picture") << 128 << 64 << int(QImage::Format_Mono);
    QTest::newRow("argb picture") << 240 << 64 << int(QImage::Format_ARGB32);
}

void TestByteMatrix::verticalMatchesPixelByPixelReading() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, format);
    const QImage picture =
        pictureOf(width, height, patternPixel).convertToFormat(QImage::Format(format));
    const VertMatrix m = verticalMatrix(picture, width, height);
    // Page by page from the top, a byte a column: the order of the output text.
    const QByteArray expected = verticalBytesOf(width, height, patternPixel);
    for (int x = 0; x < width; ++x)
        for (int p = 0; p < height / 8; ++p)
            QCOMPARE(int(m.at(x, p)), int(quint8(expected[p * width + x])));
    const QString text = verticalOutputText(m, {});
    QCOMPARE(text, QString::fromLatin1(expected.toHex()));
}

void TestByteMatrix::captureFlipsWhenInverted_data() {
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

void TestByteMatrix::captureFlipsWhenInverted() {
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

void TestByteMatrix::cornerExampleHorizontal_data() {
    QTest::addColumn<bool>("inverted");
    QTest::addColumn<QStringList>("firstOfRows");
    QTest::newRow("as stored") << false
                               << QStringList{"7f", "7f", "6f", "7f", "7f", "7f", "7f", "00"};
    QTest::newRow("inverted") << true
                              << QStringList{"80", "80", "90", "80", "80", "80", "80", "ff"};
}

void TestByteMatrix::cornerExampleHorizontal() {
    QFETCH(bool, inverted);
    QFETCH(QStringList, firstOfRows);
    const HorzMatrix matrix = loadCapture(cornerPicture(128, 64).image(), 128, 64, inverted);
    const QString raw = rawMatrixText(matrix, 128, 64);
    const QString converted = horizontalOutputText(matrix, 128, 64, {});
    QCOMPARE(raw.size(), 2048);
    QCOMPARE(converted, raw + QStringLiteral("00"));
    for (int row = 0; row < 8; ++row) // 16 bytes, 32 characters a row
        QCOMPARE(raw.mid(row * 32, 2), firstOfRows[row]);
    QCOMPARE(raw.mid(2, 30), QString(30, inverted ? QLatin1Char('0') : QLatin1Char('f')));
}

QTEST_APPLESS_MAIN(TestByteMatrix)
#include "test_byte_matrix.moc"

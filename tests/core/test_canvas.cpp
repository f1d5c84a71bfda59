#include "canvas/Canvas.h"
#include "canvas/LcdSize.h"
#include "link/NumberText.h"

#include <QtTest>

class TestCanvas : public QObject {
    Q_OBJECT
private slots:
    void onlyPureBlackIsSet_data();
    void onlyPureBlackIsSet();
    void resizeKeepsOverlapAndWhitensTheRest_data();
    void resizeKeepsOverlapAndWhitensTheRest();
    void clearWhitensAndResetsPosition();
    void boxSizes_data();
    void boxSizes();
    void readNumber_data();
    void readNumber();
    void wholeNumbers_data();
    void wholeNumbers();
};

void TestCanvas::onlyPureBlackIsSet_data() {
    QTest::addColumn<uint>("colour");
    QTest::addColumn<bool>("set");
    QTest::newRow("black") << 0x000000u << true;
    QTest::newRow("white") << 0xFFFFFFu << false;
    QTest::newRow("near black blue") << 0x000001u << false;
    QTest::newRow("near black red") << 0x010000u << false;
    QTest::newRow("grey") << 0x808080u << false;
}

void TestCanvas::onlyPureBlackIsSet() {
    QFETCH(uint, colour);
    QFETCH(bool, set);
    Canvas canvas(16, 8);
    canvas.setPixel(3, 4, colour);
    QCOMPARE(canvas.isSet(3, 4), set);
    QCOMPARE(canvas.pixel(3, 4), QRgb(colour));
    QVERIFY(!canvas.isSet(-1, 0));
    QVERIFY(!canvas.isSet(16, 0));
}

void TestCanvas::resizeKeepsOverlapAndWhitensTheRest_data() {
    QTest::addColumn<int>("toWidth");
    QTest::addColumn<int>("toHeight");
    for (const LcdSize& size : lcdSizes())
        QTest::newRow(size.label) << size.width << size.height;
}

void TestCanvas::resizeKeepsOverlapAndWhitensTheRest() {
    QFETCH(int, toWidth);
    QFETCH(int, toHeight);
    Canvas canvas(240, 64);
    // A diagonal and the corners, so any shift or scaling shows.
    for (int i = 0; i < 64; ++i)
        canvas.setPixel(i * 3, i, Canvas::Black);
    canvas.setPixel(239, 0, Canvas::Black);
    canvas.setPixel(0, 63, Canvas::Black);
    const Canvas before = canvas;
    canvas.resize(toWidth, toHeight);
    QCOMPARE(canvas.width(), toWidth);
    QCOMPARE(canvas.height(), toHeight);
    for (int y = 0; y < toHeight; ++y)
        for (int x = 0; x < toWidth; ++x) {
            const QRgb expected = (x < 240 && y < 64) ? before.pixel(x, y) : Canvas::White;
            QCOMPARE(canvas.pixel(x, y), expected);
        }
    // Back to 240x64: the part that survived is unchanged, the rest white.
    canvas.resize(240, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 240; ++x) {
            const bool kept = x < toWidth && y < toHeight;
            QCOMPARE(canvas.pixel(x, y), kept ? before.pixel(x, y) : Canvas::White);
        }
}

void TestCanvas::clearWhitensAndResetsPosition() {
    Canvas canvas(128, 64);
    canvas.image().fill(0xFF000000u);
    canvas.currentPosition = QPointF(12.5, 7);
    canvas.penColour = Canvas::White;
    canvas.penWidth = 5;
    canvas.clear();
    QCOMPARE(canvas.width(), 128);
    QCOMPARE(canvas.height(), 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            QCOMPARE(canvas.pixel(x, y), Canvas::White);
    QCOMPARE(canvas.currentPosition, QPointF(0, 0));
    QCOMPARE(canvas.penColour, Canvas::White);
    QCOMPARE(canvas.penWidth, 5);
}

void TestCanvas::boxSizes_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QSize>("expected"); // rounded, from a 240x64 base box
    QTest::newRow("240x64") << 0 << QSize(240, 64);
    QTest::newRow("128x64") << 1 << QSize(128, 64);
    QTest::newRow("128x32") << 2 << QSize(128, 32);
    QTest::newRow("256x128") << 3 << QSize(256, 128);
    QTest::newRow("240x128") << 4 << QSize(240, 128);
    QTest::newRow("128x128 square from height") << 5 << QSize(128, 128);
    QTest::newRow("256x64") << 6 << QSize(256, 64);
    QTest::newRow("320x200") << 7 << QSize(320, 200);
}

void TestCanvas::boxSizes() {
    QFETCH(int, index);
    QFETCH(QSize, expected);
    QCOMPARE(lcdBoxSize(index, 240, 64).toSize(), expected);
    const LcdSize& size = lcdSizes().at(static_cast<size_t>(index));
    QCOMPARE(QSize(size.width, size.height), expected);
    // A base box that is not 240x64 still keeps 128x128 square, from the base height.
    if (index == 5)
        QCOMPARE(lcdBoxSize(5, 300, 70), QSizeF(140, 140));
}

void TestCanvas::readNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "12" << true << 12.0;
    QTest::newRow("blanks around") << "  7 " << true << 7.0;
    QTest::newRow("fraction") << "12.7" << true << 12.7;
    QTest::newRow("negative") << "-1" << true << -1.0;
    QTest::newRow("leading dot") << ".5" << true << 0.5;
    QTest::newRow("exponent") << "1e3" << true << 1000.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blank") << "   " << false << 0.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("number then letters") << "12ms" << false << 0.0;
    QTest::newRow("two numbers") << "1 2" << false << 0.0;
    QTest::newRow("comma decimal") << "1,5" << false << 0.0;
    QTest::newRow("huge overflows") << QString(400, QLatin1Char('9')) << false << 0.0;
}

void TestCanvas::readNumber() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const auto read = ::readNumber(text);
    QCOMPARE(read.has_value(), ok);
    if (ok)
        QCOMPARE(*read, value);
}

void TestCanvas::wholeNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rounded"); // -999 = fails
    QTest::addColumn<int>("floored");
    QTest::newRow("12.5 halves to even") << "12.5" << 12 << 12;
    QTest::newRow("13.5 halves to even") << "13.5" << 14 << 13;
    QTest::newRow("2.5") << "2.5" << 2 << 2;
    QTest::newRow("12.7") << "12.7" << 13 << 12;
    QTest::newRow("-2.5") << "-2.5" << -2 << -3;
    QTest::newRow("above range") << "70000" << -999 << -999;
    QTest::newRow("not a number") << "x" << -999 << -999;
}

void TestCanvas::wholeNumbers() {
    QFETCH(QString, text);
    QFETCH(int, rounded);
    QFETCH(int, floored);
    const auto r = readRounded(text, -65536, 65535);
    const auto f = readFloor(text, -65536, 65535);
    QCOMPARE(r ? static_cast<int>(*r) : -999, rounded);
    QCOMPARE(f ? static_cast<int>(*f) : -999, floored);
}

QTEST_GUILESS_MAIN(TestCanvas)
#include "test_canvas.moc"

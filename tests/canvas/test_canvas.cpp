#include "canvas/Canvas.h"
#include "canvas/LcdSize.h"
#include "support/TestGroup.h"

#include <QtTest>
#include <functional>
#include <utility>

class TestCanvas : public QObject {
    Q_OBJECT
private slots:
    void onlyPureBlackIsSet_data();
    void onlyPureBlackIsSet();
    void resizeKeepsOverlapAndWhitensTheRest_data();
    void resizeKeepsOverlapAndWhitensTheRest();
    void clearWhitensAndResetsPosition();
    void everyChangeMovesTheRevision_data();
    void everyChangeMovesTheRevision();
    void copiesShareTheRevisionNotTheListener();
    void boxSizes_data();
    void boxSizes();
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

using CanvasChange = std::function<void(Canvas&)>;
Q_DECLARE_METATYPE(CanvasChange)

void TestCanvas::everyChangeMovesTheRevision_data() {
    QTest::addColumn<CanvasChange>("change");
    QTest::addColumn<bool>("moves");
    QTest::newRow("setPixel") << CanvasChange([](Canvas& c) { c.setPixel(3, 3, Canvas::Black); })
                              << true;
    QTest::newRow("setPixel to the colour it has")
        << CanvasChange([](Canvas& c) { c.setPixel(3, 3, Canvas::White); }) << true;
    QTest::newRow("setPixel outside")
        << CanvasChange([](Canvas& c) { c.setPixel(-1, 3, Canvas::Black); }) << false;
    QTest::newRow("resize") << CanvasChange([](Canvas& c) { c.resize(128, 32); }) << true;
    QTest::newRow("resize to the same size")
        << CanvasChange([](Canvas& c) { c.resize(c.width(), c.height()); }) << true;
    QTest::newRow("clear") << CanvasChange([](Canvas& c) { c.clear(); }) << true;
    QTest::newRow("setPicture") << CanvasChange([](Canvas& c) {
        c.setPicture(QImage(8, 8, QImage::Format_Mono));
    }) << true;
    QTest::newRow("drawing through image()")
        << CanvasChange([](Canvas& c) { c.image().fill(0xFF000000u); }) << true;
    QTest::newRow("assigning another canvas")
        << CanvasChange([](Canvas& c) { c = Canvas(c.width(), c.height()); }) << true;
    QTest::newRow("reading") << CanvasChange([](Canvas& c) {
        const Canvas& read = c;
        (void)read.image().pixel(0, 0);
        (void)c.pixel(1, 1);
        (void)c.isSet(2, 2);
        (void)std::as_const(c).image();
    }) << false;
    QTest::newRow("drawing attributes") << CanvasChange([](Canvas& c) {
        c.penColour = Canvas::White;
        c.penWidth = 10;
        c.currentPosition = QPointF(5, 5);
    }) << false;
}

void TestCanvas::everyChangeMovesTheRevision() {
    QFETCH(CanvasChange, change);
    QFETCH(bool, moves);
    Canvas canvas(16, 8);
    int heard = 0;
    canvas.setChangeListener([&] { ++heard; });
    const quint64 before = canvas.revision();
    change(canvas);
    QCOMPARE(canvas.revision() != before, moves);
    QCOMPARE(heard > 0, moves);
}

void TestCanvas::copiesShareTheRevisionNotTheListener() {
    Canvas original(16, 8);
    int heard = 0;
    original.setChangeListener([&] { ++heard; });
    original.setPixel(1, 1, Canvas::Black);
    heard = 0;

    // An undo step kept as a copy: same picture, same revision, and changing it tells no one.
    Canvas copy = original;
    QCOMPARE(copy.revision(), original.revision());
    copy.setPixel(2, 2, Canvas::Black);
    QCOMPARE(heard, 0);
    QVERIFY(copy.revision() != original.revision());

    // No two pictures share a revision, even on separate canvases changed the same way.
    Canvas other(16, 8);
    other.setPixel(1, 1, Canvas::Black);
    QVERIFY(other.revision() != original.revision());
    QVERIFY(other.revision() != copy.revision());

    // Putting a copy back brings back its revision and tells the listener of the target.
    const Canvas kept = original;
    original.clear();
    original = kept;
    QCOMPARE(original.revision(), kept.revision());
    QCOMPARE(heard, 2);
    QCOMPARE(original.pixel(1, 1), Canvas::Black);
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

QUORVEL_TEST_GUILESS_MAIN(TestCanvas)
#include "test_canvas.moc"

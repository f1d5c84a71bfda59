// Text stamped onto the canvas: one-bit glyphs at the current position, then the next line.
#include "canvas/Canvas.h"
#include "canvas/TextStamp.h"
#include "support/CanvasChecks.h"
#include "support/TestGroup.h"

#include <QFontMetrics>
#include <QtTest>

namespace {
QFont testFont(const QString& family, int points) {
    QFont font(family);
    font.setPointSize(points);
    return font;
}

Canvas stamped(int width, int height, const QFont& font, const QPointF& at, const QString& text) {
    Canvas canvas(width, height);
    canvas.font = font;
    canvas.currentPosition = at;
    stampText(canvas, text);
    return canvas;
}
} // namespace

class TestTextStamp : public QObject {
    Q_OBJECT
private slots:
    void onlyPureColours_data();
    void onlyPureColours();
    void topLeftCornerAtPixelUnderPosition_data();
    void topLeftCornerAtPixelUnderPosition();
    void positionMovesToNextLine_data();
    void positionMovesToNextLine();
    void emptyTextOnlyMovesDown();
    void cutOffAtEdges_data();
    void cutOffAtEdges();
    void onlyGlyphPixelsChange();
    void whitePenShowsOnlyOverBlack();
};

void TestTextStamp::onlyPureColours_data() {
    QTest::addColumn<QFont>("font");
    QTest::newRow("sans 8") << testFont("DejaVu Sans", 8);
    QTest::newRow("sans 12") << testFont("DejaVu Sans", 12);
    QTest::newRow("serif 20") << testFont("DejaVu Serif", 20);
    QTest::newRow("mono 9") << testFont("DejaVu Sans Mono", 9);
    QTest::newRow("bold serif 14") << [] {
        QFont f = testFont("DejaVu Serif", 14);
        f.setBold(true); // a font handed in with its own smoothing wishes
        f.setStyleStrategy(QFont::PreferAntialias);
        return f;
    }();
}

void TestTextStamp::onlyPureColours() {
    QFETCH(QFont, font);
    const Canvas canvas = stamped(240, 64, font, QPointF(3.5, 2.25), "Hello, Wg@%&Oo 0123");
    QVERIFY(onlyColours(canvas, {Canvas::Black, Canvas::White}));
    QVERIFY(blackPixels(canvas).size() > 40);
}

void TestTextStamp::topLeftCornerAtPixelUnderPosition_data() {
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<QPoint>("shift");
    QTest::newRow("whole") << QPointF(12, 7) << QPoint(12, 7);
    QTest::newRow("inside a cell") << QPointF(12.6, 7.9) << QPoint(12, 7);
    QTest::newRow("left of the box") << QPointF(-2.5, 3.2) << QPoint(-3, 3);
}

void TestTextStamp::topLeftCornerAtPixelUnderPosition() {
    QFETCH(QPointF, at);
    QFETCH(QPoint, shift);
    const QFont font = testFont("DejaVu Sans", 10);
    const Canvas origin = stamped(120, 40, font, QPointF(0, 0), "H");
    // The line box hangs below the position: "H" stands on the baseline, one ascent down.
    QImage probe(1, 1, QImage::Format_ARGB32_Premultiplied);
    const QFontMetrics metrics(font, &probe);
    int bottom = 0;
    for (const QPoint& p : blackPixels(origin))
        bottom = std::max(bottom, p.y());
    QCOMPARE(bottom, metrics.ascent() - 1);

    // Anywhere else it is the same picture moved to the pixel under the position.
    const Canvas moved = stamped(120, 40, font, at, "H");
    QVector<QPoint> expected;
    for (const QPoint& p : blackPixels(origin))
        if (p.x() + shift.x() >= 0)
            expected << p + shift;
    QCOMPARE(blackPixels(moved), expected);
}

void TestTextStamp::positionMovesToNextLine_data() {
    QTest::addColumn<QFont>("font");
    QTest::addColumn<QPointF>("at");
    QTest::newRow("start") << testFont("DejaVu Sans", 8) << QPointF(0, 0);
    QTest::newRow("clicked point") << testFont("DejaVu Serif", 12) << QPointF(40.7, 10.5);
    QTest::newRow("below the canvas") << testFont("DejaVu Sans", 24) << QPointF(5, 90.25);
    QTest::newRow("left and above") << testFont("DejaVu Sans Mono", 10) << QPointF(-2.5, -3);
}

void TestTextStamp::positionMovesToNextLine() {
    QFETCH(QFont, font);
    QFETCH(QPointF, at);
    const int line = stampLineHeight(font);
    Canvas canvas(240, 200);
    canvas.font = font;
    canvas.currentPosition = at;
    stampText(canvas, "Hg");
    QCOMPARE(canvas.currentPosition, QPointF(0, at.y() + line));
    stampText(canvas, "Hg");
    QCOMPARE(canvas.currentPosition, QPointF(0, at.y() + 2 * line));

    // Lines follow each other without touching: the descender of "g" stays above the next
    // line's capital.
    const Canvas upper = stamped(240, 200, font, QPointF(0, 60), "Hg");
    const Canvas lower = stamped(240, 200, font, QPointF(0, 60 + line), "Hg");
    int upperBottom = 0, lowerTop = 200;
    for (const QPoint& p : blackPixels(upper))
        upperBottom = std::max(upperBottom, p.y());
    for (const QPoint& p : blackPixels(lower))
        lowerTop = std::min(lowerTop, p.y());
    QVERIFY2(upperBottom < lowerTop, qPrintable(QString("%1 %2").arg(upperBottom).arg(lowerTop)));
}

void TestTextStamp::emptyTextOnlyMovesDown() {
    Canvas canvas(32, 16);
    canvas.setPixel(0, 0, Canvas::Black);
    canvas.font = testFont("DejaVu Sans", 9);
    canvas.currentPosition = QPointF(7.5, 3.5);
    const QImage before = canvas.image();
    stampText(canvas, QString());
    QCOMPARE(canvas.image(), before);
    QCOMPARE(canvas.currentPosition, QPointF(0, 3.5 + stampLineHeight(canvas.font)));
}

void TestTextStamp::cutOffAtEdges_data() {
    QTest::addColumn<QPointF>("at");
    QTest::newRow("right edge") << QPointF(200, 10);
    QTest::newRow("bottom edge") << QPointF(10, 55);
    QTest::newRow("left edge") << QPointF(-30, 10);
    QTest::newRow("top edge") << QPointF(10, -8);
    QTest::newRow("far outside") << QPointF(1e9, -1e9);
}

void TestTextStamp::cutOffAtEdges() {
    QFETCH(QPointF, at);
    const QFont font = testFont("DejaVu Sans", 12);
    const QString text = QStringLiteral("The quick brown fox jumps");
    // What lands inside a 240 x 64 canvas is exactly the matching part of a big canvas that
    // holds the whole text, seen through a window at (100, 100).
    const Canvas small = stamped(240, 64, font, at, text);
    const Canvas big = stamped(640, 300, font, at + QPointF(100, 100), text);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 240; ++x)
            QCOMPARE(small.pixel(x, y), big.pixel(x + 100, y + 100));
    if (at.x() == 200)
        QVERIFY(!blackPixels(small).isEmpty());
}

void TestTextStamp::onlyGlyphPixelsChange() {
    // A loaded picture may bring other colours; the space between glyphs keeps them.
    const QRgb grey = 0x808080;
    Canvas canvas(160, 40);
    canvas.image().fill(0xFF000000u | grey);
    canvas.font = testFont("DejaVu Sans", 14);
    stampText(canvas, "Mix it");
    QVERIFY(onlyColours(canvas, {Canvas::Black, grey}));
    QVERIFY(!blackPixels(canvas).isEmpty());
}

void TestTextStamp::whitePenShowsOnlyOverBlack() {
    const QFont font = testFont("DejaVu Sans", 16);
    const Canvas blackPen = stamped(240, 64, font, QPointF(0, 0), "WHITE");
    // Left half black, right half white; the white pen shows only where it was black.
    Canvas canvas(240, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 40; ++x)
            canvas.setPixel(x, y, Canvas::Black);
    canvas.font = font;
    canvas.penColour = Canvas::White;
    stampText(canvas, "WHITE");
    QVERIFY(onlyColours(canvas, {Canvas::Black, Canvas::White}));
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 240; ++x) {
            const bool glyph = blackPen.isSet(x, y);
            const bool wasBlack = x < 40;
            QCOMPARE(canvas.isSet(x, y), wasBlack && !glyph);
        }
    }
}

QUORVEL_TEST_MAIN(TestTextStamp)
#include "test_textstamp.moc"

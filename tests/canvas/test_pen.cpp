// Pen dots and the pointer caption.
#include "canvas/Canvas.h"
#include "canvas/Dot.h"
#include "support/CanvasChecks.h"
#include "support/TestGroup.h"

#include <QtTest>

namespace {
// The canvas as art over a window: '#' black, '.' white, anything else '?'.
QStringList art(const Canvas& canvas, const QRect& window) {
    QStringList rows;
    for (int y = window.top(); y <= window.bottom(); ++y) {
        QString row;
        for (int x = window.left(); x <= window.right(); ++x) {
            const QRgb c = canvas.pixel(x, y);
            row += c == Canvas::Black   ? QLatin1Char('#')
                   : c == Canvas::White ? QLatin1Char('.')
                                        : QLatin1Char('?');
        }
        rows << row;
    }
    return rows;
}
} // namespace

class TestPen : public QObject {
    Q_OBJECT
private slots:
    void dotShape_data();
    void dotShape();
    void dotIsSymmetric_data();
    void dotIsSymmetric();
    void dotClippedAtEdges_data();
    void dotClippedAtEdges();
    void dotOnAnyColourIsPure();
    void farPositionsAreSafe();
    void caption_data();
    void caption();
};

void TestPen::dotShape_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("shape"); // the window x 14..25, y 14..25 around (20, 20)
    QTest::addColumn<int>("count");
    const QString none(12, QLatin1Char('.'));
    QTest::newRow("x1") << 1 << QStringList{none,           none, none, none, none, none,
                                            "......#.....", none, none, none, none, none}
                        << 1;
    // Even dots are centred on the pointer pixel's top-left corner.
    QTest::newRow("x2") << 2 << QStringList{none,           none, none, none, none, ".....##.....",
                                            ".....##.....", none, none, none, none, none}
                        << 4;
    QTest::newRow("x3") << 3 << QStringList{none, none,           none,           none,
                                            none, ".....###....", ".....###....", ".....###....",
                                            none, none,           none,           none}
                        << 9;
    QTest::newRow("x4") << 4 << QStringList{none,           none,           none,
                                            none,           ".....##.....", "....####....",
                                            "....####....", ".....##.....", none,
                                            none,           none,           none}
                        << 12;
    QTest::newRow("x5") << 5 << QStringList{none,           none,           none,
                                            none,           ".....###....", "....#####...",
                                            "....#####...", "....#####...", ".....###....",
                                            none,           none,           none}
                        << 21;
    QTest::newRow("x10") << 10 << QStringList{none,           "....####....", "..########..",
                                              "..########..", ".##########.", ".##########.",
                                              ".##########.", ".##########.", "..########..",
                                              "..########..", "....####....", none}
                         << 80;
}

void TestPen::dotShape() {
    QFETCH(int, width);
    QFETCH(QStringList, shape);
    QFETCH(int, count);
    Canvas canvas(48, 48);
    canvas.penWidth = width;
    plotDot(canvas, QPointF(20.9, 20.1)); // any point inside the cell of pixel (20, 20)
    QCOMPARE(art(canvas, QRect(14, 14, 12, 12)), shape);
    QCOMPARE(blackCount(canvas), count);
    QCOMPARE(canvas.currentPosition, QPointF(20.9, 20.1));
}

void TestPen::dotIsSymmetric_data() {
    QTest::addColumn<int>("width");
    for (int w : {1, 2, 3, 4, 5, 10})
        QTest::addRow("x%d", w) << w;
}

void TestPen::dotIsSymmetric() {
    QFETCH(int, width);
    const QVector<QPoint> offsets = dotOffsets(width);
    // Odd dots are symmetric about the pointer pixel's middle, even ones about its top-left
    // corner; in both cases the mirror of offset o is (c - o) with c = -(1 - width % 2).
    const int c = -(1 - width % 2);
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const QPoint& o : offsets) {
        QVERIFY(offsets.contains(QPoint(c - o.x(), o.y())));
        QVERIFY(offsets.contains(QPoint(o.x(), c - o.y())));
        QVERIFY(offsets.contains(QPoint(o.y(), o.x()))); // round, not stretched
        minX = std::min(minX, o.x());
        maxX = std::max(maxX, o.x());
        minY = std::min(minY, o.y());
        maxY = std::max(maxY, o.y());
    }
    QCOMPARE(maxX - minX + 1, width); // exactly `width` pixels across, both ways
    QCOMPARE(maxY - minY + 1, width);
}

void TestPen::dotClippedAtEdges_data() {
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<int>("inside"); // pixels of an x5 dot left on a 16 x 8 canvas
    QTest::newRow("top-left corner") << QPointF(0, 0) << 8;
    QTest::newRow("bottom-right corner") << QPointF(15.5, 7.5) << 8;
    QTest::newRow("left edge") << QPointF(0.2, 4) << 13;
    QTest::newRow("right edge") << QPointF(15.9, 4) << 13;
    QTest::newRow("just outside left") << QPointF(-0.5, 4) << 8;
    QTest::newRow("two above the top") << QPointF(5, -2) << 3;
    QTest::newRow("two below the bottom") << QPointF(5, 9.5) << 3;
    QTest::newRow("three below the bottom") << QPointF(5, 10.1) << 0;
    QTest::newRow("far away") << QPointF(-500, 900) << 0;
}

void TestPen::dotClippedAtEdges() {
    QFETCH(QPointF, at);
    QFETCH(int, inside);
    Canvas canvas(16, 8);
    canvas.penWidth = 5;
    plotDot(canvas, at);
    QCOMPARE(blackCount(canvas), inside);
    QCOMPARE(canvas.currentPosition, at);
}

void TestPen::dotOnAnyColourIsPure() {
    // A loaded picture may hold other colours; the pen replaces them with exactly its colour.
    Canvas canvas(8, 8);
    canvas.image().fill(qRgb(0x80, 0x40, 0x20));
    canvas.penWidth = 3;
    canvas.penColour = Canvas::White;
    plotDot(canvas, QPointF(4, 4));
    QCOMPARE(canvas.pixel(4, 4), Canvas::White);
    QCOMPARE(canvas.pixel(3, 5), Canvas::White);
    QCOMPARE(canvas.pixel(6, 4), QRgb(0x804020));
}

void TestPen::farPositionsAreSafe() {
    Canvas canvas(8, 8);
    canvas.penWidth = 10;
    for (double v : {1e12, -1e12, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity()}) {
        plotDot(canvas, QPointF(v, 3));
        plotDot(canvas, QPointF(3, v));
    }
    QCOMPARE(blackCount(canvas), 0);
}

void TestPen::caption_data() {
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<QString>("caption");
    QTest::newRow("inside") << QPointF(12.6, 7.2) << "X:12 Y:7";
    QTest::newRow("whole") << QPointF(0, 63) << "X:0 Y:63";
    QTest::newRow("left of the box") << QPointF(-2.5, 7.2) << "X:-3 Y:7";
    QTest::newRow("just above") << QPointF(5.99, -0.5) << "X:5 Y:-1";
    QTest::newRow("minus zero") << QPointF(-0.0, -0.0) << "X:0 Y:0";
    QTest::newRow("whole negative") << QPointF(-4, -1) << "X:-4 Y:-1";
    QTest::newRow("far right") << QPointF(1234.9, 300.0) << "X:1234 Y:300";
}

void TestPen::caption() {
    QFETCH(QPointF, at);
    QFETCH(QString, caption);
    QCOMPARE(penPositionCaption(at), caption);
}

QUORVEL_TEST_APPLESS_MAIN(TestPen)
#include "test_pen.moc"

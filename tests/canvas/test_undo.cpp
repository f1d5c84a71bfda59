// The undo history and the straight pen strokes, on the canvas model alone.
#include "canvas/Canvas.h"
#include "canvas/Dot.h"
#include "canvas/UndoHistory.h"
#include "support/TestGroup.h"

#include <QtTest>
#include <random>

class TestUndo : public QObject {
    Q_OBJECT
private slots:
    void snapshotGivesBackThePictureExactly_data();
    void snapshotGivesBackThePictureExactly();
    void hundredStepsBackAndForth();
    void stepsThatChangeNothingOrNest();
    void oldestStepsGoFirst();
    void straightStrokeHasNoGaps_data();
    void straightStrokeHasNoGaps();
};

namespace {
using Painter = void (*)(Canvas&);

// A stroke of the pen at a place picked by the generator, so each step differs from the last.
void randomStroke(Canvas& canvas, std::mt19937& random) {
    std::uniform_real_distribution<double> x(-5, canvas.width() + 5), y(-5, canvas.height() + 5);
    canvas.penWidth = 1 + int(random() % 10);
    canvas.penColour = random() % 4 == 0 ? Canvas::White : Canvas::Black;
    plotLine(canvas, QPointF(x(random), y(random)), QPointF(x(random), y(random)));
}
} // namespace

void TestUndo::snapshotGivesBackThePictureExactly_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("colours"); // 1, 2 (black and white), -2 (two other colours), many
    QTest::addColumn<int>("atMostBytes");
    QTest::newRow("white 240x64") << 240 << 64 << 1 << 240 * 64 / 8;
    QTest::newRow("drawn 320x200") << 320 << 200 << 2 << 320 * 200 / 8;
    QTest::newRow("odd width 13x7") << 13 << 7 << 2 << 2 * 7;
    QTest::newRow("loaded file with a blue and yellow palette") << 128 << 64 << -2 << 128 * 8;
    QTest::newRow("a picture of many colours") << 100 << 50 << 100 << 100 * 50 * 4 + 64;
}

void TestUndo::snapshotGivesBackThePictureExactly() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, colours);
    QFETCH(int, atMostBytes);
    Canvas canvas(width, height);
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (colours == 2 && random() % 3 == 0)
                canvas.setPixel(x, y, Canvas::Black);
            else if (colours == -2)
                canvas.setPixel(x, y, random() % 2 ? 0x0000C0u : 0xF0F000u);
            else if (colours > 2)
                canvas.setPixel(x, y, random() & 0xFFFFFFu);
        }
    canvas.currentPosition = QPointF(3.5, 2.25);
    const QImage before = canvas.image();
    const CanvasSnapshot snapshot(canvas, 5);
    QVERIFY(snapshot.bytes() <= atMostBytes);

    Canvas other(8, 8);
    snapshot.restore(other);
    QCOMPARE(other.image(), before);
    QCOMPARE(other.currentPosition, QPointF(3.5, 2.25));
    QCOMPARE(snapshot.panel(), 5);
    QVERIFY(snapshot.samePicture(CanvasSnapshot(other, 5)));
    QVERIFY(!snapshot.samePicture(CanvasSnapshot(other, 4)));
    other.setPixel(width - 1, height - 1, other.pixel(width - 1, height - 1) ^ 0x010101u);
    QVERIFY(!snapshot.samePicture(CanvasSnapshot(other, 5)));
}

void TestUndo::hundredStepsBackAndForth() {
    // 100 strokes on the largest panel, then back to the start and forward to the end: every
    // earlier picture comes back exactly, and the history stays far below 10 MiB.
    Canvas canvas(320, 200);
    UndoHistory history;
    std::mt19937 random(42);
    QList<QImage> pictures{canvas.image()};
    for (int step = 0; step < 100; ++step) {
        QVERIFY(history.begin(canvas, 7));
        randomStroke(canvas, random);
        history.end(canvas, 7);
        pictures << canvas.image();
    }
    // A stroke may change nothing (white on white); those leave no entry.
    pictures.erase(std::unique(pictures.begin(), pictures.end()), pictures.end());
    QCOMPARE(history.undoCount(), int(pictures.size()) - 1);
    QVERIFY(history.undoCount() >= 95);
    QVERIFY2(history.bytes() < 10 * 1024 * 1024, qPrintable(QString::number(history.bytes())));

    int panel = 7;
    for (qsizetype i = pictures.size() - 2; i >= 0; --i) {
        QVERIFY(history.undo(canvas, panel));
        QCOMPARE(canvas.image(), pictures[i]);
    }
    QVERIFY(!history.undo(canvas, panel));
    QVERIFY(history.bytes() < 10 * 1024 * 1024);
    for (qsizetype i = 1; i < pictures.size(); ++i) {
        QVERIFY(history.redo(canvas, panel));
        QCOMPARE(canvas.image(), pictures[i]);
    }
    QVERIFY(!history.redo(canvas, panel));
}

void TestUndo::stepsThatChangeNothingOrNest() {
    Canvas canvas(128, 32);
    UndoHistory history;
    int panel = 2;
    QVERIFY(history.begin(canvas, panel));
    canvas.currentPosition = QPointF(0, 20); // an empty text only moves the position
    QVERIFY(!history.end(canvas, panel));
    QVERIFY(!history.canUndo());

    // A size choice is a change even where the picture is white; the dropped pixels come back.
    canvas.setPixel(127, 31, Canvas::Black);
    QVERIFY(history.begin(canvas, panel));
    QVERIFY(!history.begin(canvas, 1)); // a wrapped handler called inside joins the step
    canvas.resize(64, 16);
    panel = 1;
    QVERIFY(history.end(canvas, panel));
    QCOMPARE(history.undoCount(), 1);
    QVERIFY(history.undo(canvas, panel));
    QCOMPARE(panel, 2);
    QCOMPARE(canvas.width(), 128);
    QVERIFY(canvas.isSet(127, 31));

    // A new change after an undo drops the redo list; a change of nothing keeps it.
    QVERIFY(history.begin(canvas, panel));
    history.end(canvas, panel);
    QVERIFY(history.canRedo());
    history.begin(canvas, panel);
    canvas.setPixel(0, 0, Canvas::Black);
    history.end(canvas, panel);
    QVERIFY(!history.canRedo());

    // Undo in the middle of an open step (Ctrl+Z while the button is held) closes it first.
    history.begin(canvas, panel);
    canvas.setPixel(1, 0, Canvas::Black);
    QVERIFY(history.undo(canvas, panel));
    QVERIFY(!history.isOpen());
    QVERIFY(canvas.isSet(0, 0) && !canvas.isSet(1, 0));
}

void TestUndo::oldestStepsGoFirst() {
    Canvas canvas(16, 1);
    UndoHistory history(5);
    for (int x = 0; x < 16; ++x) {
        history.begin(canvas, 0);
        canvas.setPixel(x, 0, Canvas::Black);
        history.end(canvas, 0);
    }
    QCOMPARE(history.undoCount(), 5);
    int panel = 0;
    while (history.undo(canvas, panel)) {
    }
    for (int x = 0; x < 16; ++x)
        QCOMPARE(canvas.isSet(x, 0), x < 11); // five steps back from 16: the picture after 11
}

void TestUndo::straightStrokeHasNoGaps_data() {
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::newRow("across") << QPointF(2.5, 30.2) << QPointF(300.9, 30.7);
    QTest::newRow("down") << QPointF(100, 1) << QPointF(100, 190);
    QTest::newRow("steep backwards") << QPointF(250.5, 180.5) << QPointF(240.1, 3.3);
    QTest::newRow("shallow") << QPointF(10, 10) << QPointF(310, 60);
    QTest::newRow("diagonal") << QPointF(0, 0) << QPointF(199.5, 199.5);
    QTest::newRow("one end far outside") << QPointF(160, 100) << QPointF(-1e6, 5e5);
}

void TestUndo::straightStrokeHasNoGaps() {
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    Canvas canvas(320, 200);
    canvas.penWidth = 1;
    plotLine(canvas, from, to);
    QCOMPARE(canvas.currentPosition, to);
    const QPoint a = pixelAt(from);
    QVERIFY(canvas.isSet(a.x(), a.y()));
    const QPoint b = pixelAt(to);
    const QRect inside(0, 0, 320, 200);
    if (inside.contains(b))
        QVERIFY(canvas.isSet(b.x(), b.y()));
    // Walking from one end, every set pixel touches the next (8-connected) and every step of
    // the longer axis has exactly one pixel: no gap, no clump.
    const bool xMajor = std::abs(b.x() - a.x()) >= std::abs(b.y() - a.y());
    int previous = -1;
    int count = 0;
    const int last = xMajor ? 319 : 199;
    for (int major = 0; major <= last; ++major) {
        int found = -1, inLine = 0;
        for (int minor = 0; minor < (xMajor ? 200 : 320); ++minor) {
            const bool set = xMajor ? canvas.isSet(major, minor) : canvas.isSet(minor, major);
            if (set) {
                found = minor;
                ++inLine;
            }
        }
        if (found < 0) {
            previous = -1;
            continue;
        }
        QCOMPARE(inLine, 1);
        if (previous >= 0)
            QVERIFY(std::abs(found - previous) <= 1);
        previous = found;
        ++count;
    }
    const QPoint end = inside.contains(b) ? b : a; // the far end is cut at the canvas edge
    if (inside.contains(b))
        QCOMPARE(count, std::max(std::abs(end.x() - a.x()), std::abs(end.y() - a.y())) + 1);
    else
        QVERIFY(count > 100);
}

QUORVEL_TEST_MAIN(TestUndo)
#include "test_undo.moc"

// Drawing with the mouse on the real window, the Draw/Erase pens, Font and Text.
#include "app/CanvasView.h"
#include "app/CommonDialog.h"
#include "app/Main.h"
#include "canvas/Bmp.h"
#include "canvas/TextStamp.h"
#include "support/CanvasChecks.h"
#include "support/TestFiles.h"
#include "support/TestGroup.h"
#include "support/WindowTest.h"

#include <QtTest>
#include <QtWidgets>

class TestDraw : public WindowTest {
    Q_OBJECT
private slots:
    void fastStrokeLeavesSeparateDots();
    void anyButtonDraws_data();
    void anyButtonDraws();
    void releasingOneOfTwoButtonsEndsStroke();
    void pointerStaysBoundOutsideBox();
    void captionFollowsPlottedPosition_data();
    void captionFollowsPlottedPosition();
    void labelLifeCycle();
    void eraseAndDraw();
    void textAfterStartUpAndClick();
    void startUpFontIsWindowFont();
    void fontDialog_data();
    void fontDialog();

private:
    CanvasView* box() const { return control<CanvasView>("Picture1"); }
    QLabel* positionLabel() const { return control<QLabel>("lblxy"); }
    void choosePen(int entry) const { control<QComboBox>("Combo1")->setCurrentIndex(entry); }
    const Canvas& canvas() const { return state().canvas; }
    QTemporaryDir dir;
};

void TestDraw::fastStrokeLeavesSeparateDots() {
    // At start-up the box measures in display pixels, one per canvas pixel.
    QTest::mousePress(box(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(box(), QPoint(30, 12));
    QTest::mouseMove(box(), QPoint(50, 14));
    QTest::mouseRelease(box(), Qt::LeftButton, {}, QPoint(50, 14));
    QVERIFY(canvas().isSet(10, 10));
    QVERIFY(canvas().isSet(30, 12));
    QVERIFY(canvas().isSet(50, 14));
    QCOMPARE(blackCount(canvas()), 3); // nothing joins them
    QVERIFY(!state().penDown);

    // Wider pens leave one disc per report, still apart.
    choosePen(5); // x10
    QTest::mousePress(box(), Qt::LeftButton, {}, QPoint(100, 30));
    QTest::mouseMove(box(), QPoint(130, 30));
    QTest::mouseRelease(box(), Qt::LeftButton, {}, QPoint(130, 30));
    QCOMPARE(blackCount(canvas()), 3 + 2 * 80);
    QVERIFY(!canvas().isSet(115, 30));
}

void TestDraw::anyButtonDraws_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestDraw::anyButtonDraws() {
    QFETCH(Qt::MouseButton, button);
    choosePen(2); // x3
    QTest::mousePress(box(), button, Qt::ShiftModifier, QPoint(20, 20));
    QVERIFY(state().penDown);
    QVERIFY(positionLabel()->isVisible());
    QTest::mouseMove(box(), QPoint(40, 21));
    QTest::mouseRelease(box(), button, Qt::ShiftModifier, QPoint(40, 21));
    QCOMPARE(blackCount(canvas()), 18);
    QVERIFY(canvas().isSet(19, 19) && canvas().isSet(41, 22));
    QCOMPARE(positionLabel()->text(), QStringLiteral("X:40 Y:21"));
    QVERIFY(!positionLabel()->isVisible());
    QVERIFY(!state().penDown);
}

void TestDraw::releasingOneOfTwoButtonsEndsStroke() {
    QSignalSpy moves(box(), &CanvasView::mouseMove);
    QTest::mousePress(box(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mousePress(box(), Qt::RightButton, {}, QPoint(20, 10));
    QVERIFY(canvas().isSet(20, 10)); // the second press plots too
    QTest::mouseRelease(box(), Qt::RightButton, {}, QPoint(20, 10));
    QVERIFY(!state().penDown);
    QVERIFY(!positionLabel()->isVisible());
    QTest::mouseMove(box(), QPoint(30, 10)); // left still held
    QCOMPARE(moves.size(), 1);               // the move arrives ...
    QVERIFY(!canvas().isSet(30, 10));        // ... and plots nothing
    QCOMPARE(positionLabel()->text(), QStringLiteral("X,Y Position"));
    QTest::mouseRelease(box(), Qt::LeftButton, {}, QPoint(30, 10));
    QCOMPARE(blackCount(canvas()), 2);
}

void TestDraw::pointerStaysBoundOutsideBox() {
    QSignalSpy moves(box(), &CanvasView::mouseMove);
    choosePen(4); // x5
    QTest::mousePress(box(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(box(), QPoint(-1, 30)); // just left of the box: half a dot shows
    QCOMPARE(positionLabel()->text(), QStringLiteral("X:-1 Y:30"));
    QTest::mouseMove(box(), QPoint(300, 90)); // over other controls
    QCOMPARE(moves.size(), 2);
    QCOMPARE(positionLabel()->text(), QStringLiteral("X:300 Y:90"));
    QCOMPARE(canvas().currentPosition, QPointF(300, 90));
    QTest::mouseRelease(box(), Qt::LeftButton, {}, QPoint(300, 90));
    QCOMPARE(blackCount(canvas()), 21 + 8);
    QVERIFY(!state().penDown);
}

void TestDraw::captionFollowsPlottedPosition_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<QString>("caption");
    QTest::newRow("inside") << 12.6 << 7.2 << "X:12 Y:7";
    QTest::newRow("past the left edge") << -2.5 << 7.0 << "X:-3 Y:7";
    QTest::newRow("above") << 0.0 << -0.5 << "X:0 Y:-1";
    QTest::newRow("beyond the corner") << 241.0 << 64.99 << "X:241 Y:64";
}

void TestDraw::captionFollowsPlottedPosition() {
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(QString, caption);
    emit box()->mouseDown(Qt::LeftButton, {}, 3, 3);
    emit box()->mouseMove(Qt::LeftButton, {}, x, y);
    QCOMPARE(positionLabel()->text(), caption);
    QCOMPARE(canvas().currentPosition, QPointF(x, y));
}

void TestDraw::labelLifeCycle() {
    QVERIFY(!positionLabel()->isVisible());
    // A click without movement: the first stroke shows the designer caption.
    QTest::mousePress(box(), Qt::LeftButton, {}, QPoint(8, 9));
    QVERIFY(positionLabel()->isVisible());
    QCOMPARE(positionLabel()->text(), QStringLiteral("X,Y Position"));
    QTest::mouseRelease(box(), Qt::LeftButton, {}, QPoint(8, 9));
    QVERIFY(!positionLabel()->isVisible());
    QCOMPARE(blackCount(canvas()), 1);

    QTest::mousePress(box(), Qt::LeftButton, {}, QPoint(8, 9));
    QTest::mouseMove(box(), QPoint(17, 4));
    QCOMPARE(positionLabel()->text(), QStringLiteral("X:17 Y:4"));
    QTest::mouseRelease(box(), Qt::LeftButton, {}, QPoint(17, 4));
    // Movement without a button reports nothing and plots nothing.
    emit box()->mouseMove(Qt::NoButton, {}, 60, 30);
    QVERIFY(!canvas().isSet(60, 30));

    // A new press shows the last stroke's caption until the pointer moves.
    QTest::mousePress(box(), Qt::LeftButton, {}, QPoint(100, 50));
    QVERIFY(positionLabel()->isVisible());
    QCOMPARE(positionLabel()->text(), QStringLiteral("X:17 Y:4"));
    QTest::mouseRelease(box(), Qt::LeftButton, {}, QPoint(100, 50));
}

void TestDraw::eraseAndDraw() {
    // An all-black picture loaded from a file: Load also leaves Inverted disabled.
    QImage black(240, 64, QImage::Format_RGB32);
    black.fill(Qt::black);
    const QString path = dir.filePath(QStringLiteral("black.bmp"));
    QVERIFY(writeFile(path, writeMonochromeBmp(black)));
    {
        Modals modals(w);
        modals.fileAnswers << path;
        click("Command10");
        QVERIFY(modals.messages.isEmpty());
    }
    QCOMPARE(blackCount(canvas()), 240 * 64);
    QVERIFY(!control("chkinvert")->isEnabled());
    choosePen(1); // x2
    click("Command6");
    QVERIFY(control("chkinvert")->isEnabled());
    QTest::mousePress(box(), Qt::LeftButton, {}, QPoint(50, 20));
    QTest::mouseRelease(box(), Qt::LeftButton, {}, QPoint(50, 20));
    QCOMPARE(canvas().pixel(50, 20), Canvas::White);
    QCOMPARE(canvas().pixel(49, 19), Canvas::White);
    QCOMPARE(blackCount(canvas()), 240 * 64 - 4);

    click("Command7");
    QTest::mousePress(box(), Qt::LeftButton, {}, QPoint(50, 20));
    QTest::mouseRelease(box(), Qt::LeftButton, {}, QPoint(50, 20));
    QCOMPARE(blackCount(canvas()), 240 * 64);
}

void TestDraw::textAfterStartUpAndClick() {
    typeInto(control<QLineEdit>("pictxt"), QStringLiteral("Quorvel 42"));
    click("cmdtext");
    const int line = stampLineHeight(canvas().font);
    QCOMPARE(canvas().currentPosition, QPointF(0, line));
    QVERIFY(blackCount(canvas()) > 20);
    QVERIFY(onlyColours(canvas(), {Canvas::Black, Canvas::White}));
    int left = 240;
    for (const QPoint& p : blackPixels(canvas()))
        left = std::min(left, p.x());
    QVERIFY(left <= 2); // written at the top-left corner

    // A click places the next text; the dot it plotted stays under the text's corner.
    click("Command5"); // Clear
    QTest::mouseClick(box(), Qt::LeftButton, {}, QPoint(150, 30));
    click("cmdtext");
    QVERIFY(canvas().isSet(150, 30));
    QCOMPARE(canvas().currentPosition, QPointF(0, 30 + line));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 150; ++x)
            QVERIFY(!canvas().isSet(x, y));

    // Pressing Text again with an empty box only moves one line down.
    typeInto(control<QLineEdit>("pictxt"), QString());
    const QImage before = canvas().image();
    click("cmdtext");
    QCOMPARE(canvas().image(), before);
    QCOMPARE(canvas().currentPosition, QPointF(0, 30 + 2 * line));
}

void TestDraw::startUpFontIsWindowFont() {
    // A window built under another default font stamps in that font until "Font" is used.
    const QFont saved = QApplication::font();
    QFont appFont(QStringLiteral("DejaVu Serif"));
    appFont.setPointSize(13);
    QApplication::setFont(appFont);
    Main other;
    QApplication::setFont(saved);
    const QFont& font = other.state().canvas.font;
    // Before the restored application font reaches the window's controls.
    QCOMPARE(font.family(), other.font().family());
    QCOMPARE(font.family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(font.pointSize(), 13);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    typeInto(findControl<QLineEdit>(&other, QStringLiteral("pictxt")), QStringLiteral("x"));
    clickControl(&other, QStringLiteral("cmdtext"));
    QCOMPARE(other.state().canvas.currentPosition.y(), double(stampLineHeight(appFont)));
}

void TestDraw::fontDialog_data() {
    QTest::addColumn<bool>("accept");
    QTest::newRow("cancel keeps the font") << false;
    QTest::newRow("accept takes name and size") << true;
}

void TestDraw::fontDialog() {
    QFETCH(bool, accept);
    QFont start(QStringLiteral("DejaVu Sans Mono"));
    start.setPointSize(9);
    Modals modals;
    // The font the test starts from, chosen in the dialog as well.
    modals.whenShown<QFontDialog>([&](QFontDialog* dialog) {
        dialog->setCurrentFont(start);
        dialog->accept();
    });
    click("cmdfont");
    QCOMPARE(canvas().font.family(), start.family());
    QCOMPARE(canvas().font.pointSize(), 9);
    QFont offered(QStringLiteral("DejaVu Serif"));
    offered.setPointSize(17);
    offered.setBold(true);
    offered.setItalic(true);
    offered.setUnderline(true);
    bool answered = false;
    modals.whenShown<QFontDialog>([&](QFontDialog* dialog) {
        answered = true;
        dialog->setCurrentFont(offered);
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
    click("cmdfont");
    // The font dialogs were the only modal widgets.
    QVERIFY(answered);
    QVERIFY(modals.messages.isEmpty() && modals.dialogs.isEmpty());
    QCOMPARE(control<CommonDialog>("commdlg")->Flags, 3); // stays on the shared dialog
    const QFont expected = accept ? QFont(QStringLiteral("DejaVu Serif")) : start;
    QCOMPARE(canvas().font.family(), expected.family());
    QCOMPARE(canvas().font.pointSize(), accept ? 17 : 9);
    QVERIFY(!canvas().font.bold());
    QVERIFY(!canvas().font.italic());
    QVERIFY(!canvas().font.underline());

    // Text stamped afterwards uses it: one line of the chosen size further down.
    QCOMPARE(canvas().currentPosition, QPointF(0, 0)); // nothing stamped yet
    click("cmdtext");
    QCOMPARE(canvas().currentPosition.y(), double(stampLineHeight(canvas().font)));
}

QUORVEL_TEST_MAIN(TestDraw)
#include "test_draw.moc"

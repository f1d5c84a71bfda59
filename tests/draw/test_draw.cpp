// Drawing with the mouse on the real window, the Draw/Erase pens, Font and Text.
#include "CanvasChecks.h"
#include "app/CanvasView.h"
#include "app/CommonDialog.h"
#include "app/Main.h"
#include "canvas/TextStamp.h"
#include "support/Modals.h"

#include <QtTest>
#include <QtWidgets>

class TestDraw : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
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
    Main* w = nullptr;
};

void TestDraw::init() {
    w = new Main;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestDraw::cleanup() {
    delete w;
    w = nullptr;
}

void TestDraw::fastStrokeLeavesSeparateDots() {
    // At start-up the box measures in display pixels, one per canvas pixel.
    QTest::mousePress(w->Picture1, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(w->Picture1, QPoint(30, 12));
    QTest::mouseMove(w->Picture1, QPoint(50, 14));
    QTest::mouseRelease(w->Picture1, Qt::LeftButton, {}, QPoint(50, 14));
    QVERIFY(w->canvas.isSet(10, 10));
    QVERIFY(w->canvas.isSet(30, 12));
    QVERIFY(w->canvas.isSet(50, 14));
    QCOMPARE(blackCount(w->canvas), 3); // nothing joins them
    QVERIFY(!w->penDown);

    // Wider pens leave one disc per report, still apart.
    w->Combo1->setCurrentIndex(5); // x10
    QTest::mousePress(w->Picture1, Qt::LeftButton, {}, QPoint(100, 30));
    QTest::mouseMove(w->Picture1, QPoint(130, 30));
    QTest::mouseRelease(w->Picture1, Qt::LeftButton, {}, QPoint(130, 30));
    QCOMPARE(blackCount(w->canvas), 3 + 2 * 80);
    QVERIFY(!w->canvas.isSet(115, 30));
}

void TestDraw::anyButtonDraws_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestDraw::anyButtonDraws() {
    QFETCH(Qt::MouseButton, button);
    w->Combo1->setCurrentIndex(2); // x3
    QTest::mousePress(w->Picture1, button, Qt::ShiftModifier, QPoint(20, 20));
    QVERIFY(w->penDown);
    QVERIFY(w->lblxy->isVisible());
    QTest::mouseMove(w->Picture1, QPoint(40, 21));
    QTest::mouseRelease(w->Picture1, button, Qt::ShiftModifier, QPoint(40, 21));
    QCOMPARE(blackCount(w->canvas), 18);
    QVERIFY(w->canvas.isSet(19, 19) && w->canvas.isSet(41, 22));
    QCOMPARE(w->lblxy->text(), QStringLiteral("X:40 Y:21"));
    QVERIFY(!w->lblxy->isVisible());
    QVERIFY(!w->penDown);
}

void TestDraw::releasingOneOfTwoButtonsEndsStroke() {
    QSignalSpy moves(w->Picture1, &CanvasView::mouseMove);
    QTest::mousePress(w->Picture1, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mousePress(w->Picture1, Qt::RightButton, {}, QPoint(20, 10));
    QVERIFY(w->canvas.isSet(20, 10)); // the second press plots too
    QTest::mouseRelease(w->Picture1, Qt::RightButton, {}, QPoint(20, 10));
    QVERIFY(!w->penDown);
    QVERIFY(!w->lblxy->isVisible());
    QTest::mouseMove(w->Picture1, QPoint(30, 10)); // left still held
    QCOMPARE(moves.size(), 1);                     // the move arrives ...
    QVERIFY(!w->canvas.isSet(30, 10));             // ... and plots nothing
    QCOMPARE(w->lblxy->text(), QStringLiteral("X,Y Position"));
    QTest::mouseRelease(w->Picture1, Qt::LeftButton, {}, QPoint(30, 10));
    QCOMPARE(blackCount(w->canvas), 2);
}

void TestDraw::pointerStaysBoundOutsideBox() {
    QSignalSpy moves(w->Picture1, &CanvasView::mouseMove);
    w->Combo1->setCurrentIndex(4); // x5
    QTest::mousePress(w->Picture1, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(w->Picture1, QPoint(-1, 30)); // just left of the box: half a dot shows
    QCOMPARE(w->lblxy->text(), QStringLiteral("X:-1 Y:30"));
    QTest::mouseMove(w->Picture1, QPoint(300, 90)); // over other controls
    QCOMPARE(moves.size(), 2);
    QCOMPARE(w->lblxy->text(), QStringLiteral("X:300 Y:90"));
    QCOMPARE(w->canvas.currentPosition, QPointF(300, 90));
    QTest::mouseRelease(w->Picture1, Qt::LeftButton, {}, QPoint(300, 90));
    QCOMPARE(blackCount(w->canvas), 21 + 8);
    QVERIFY(!w->penDown);
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
    w->Picture1_MouseDown(Qt::LeftButton, {}, 3, 3);
    w->Picture1_MouseMove(Qt::LeftButton, {}, x, y);
    QCOMPARE(w->lblxy->text(), caption);
    QCOMPARE(w->canvas.currentPosition, QPointF(x, y));
}

void TestDraw::labelLifeCycle() {
    QVERIFY(!w->lblxy->isVisible());
    // A click without movement: the first stroke shows the designer caption.
    QTest::mousePress(w->Picture1, Qt::LeftButton, {}, QPoint(8, 9));
    QVERIFY(w->lblxy->isVisible());
    QCOMPARE(w->lblxy->text(), QStringLiteral("X,Y Position"));
    QTest::mouseRelease(w->Picture1, Qt::LeftButton, {}, QPoint(8, 9));
    QVERIFY(!w->lblxy->isVisible());
    QCOMPARE(blackCount(w->canvas), 1);

    QTest::mousePress(w->Picture1, Qt::LeftButton, {}, QPoint(8, 9));
    QTest::mouseMove(w->Picture1, QPoint(17, 4));
    QCOMPARE(w->lblxy->text(), QStringLiteral("X:17 Y:4"));
    QTest::mouseRelease(w->Picture1, Qt::LeftButton, {}, QPoint(17, 4));
    // Movement without a button reports nothing and plots nothing.
    w->Picture1_MouseMove(Qt::NoButton, {}, 60, 30);
    QVERIFY(!w->canvas.isSet(60, 30));

    // A new press shows the last stroke's caption until the pointer moves.
    QTest::mousePress(w->Picture1, Qt::LeftButton, {}, QPoint(100, 50));
    QVERIFY(w->lblxy->isVisible());
    QCOMPARE(w->lblxy->text(), QStringLiteral("X:17 Y:4"));
    QTest::mouseRelease(w->Picture1, Qt::LeftButton, {}, QPoint(100, 50));
}

void TestDraw::eraseAndDraw() {
    w->canvas.image().fill(0xFF000000u);
    w->chkinvert->setEnabled(false); // as a Load leaves it
    w->Combo1->setCurrentIndex(1);   // x2
    QTest::mouseClick(w->Command6, Qt::LeftButton);
    QVERIFY(w->chkinvert->isEnabled());
    QTest::mousePress(w->Picture1, Qt::LeftButton, {}, QPoint(50, 20));
    QTest::mouseRelease(w->Picture1, Qt::LeftButton, {}, QPoint(50, 20));
    QCOMPARE(w->canvas.pixel(50, 20), Canvas::White);
    QCOMPARE(w->canvas.pixel(49, 19), Canvas::White);
    QCOMPARE(blackCount(w->canvas), 240 * 64 - 4);

    QTest::mouseClick(w->Command7, Qt::LeftButton);
    QTest::mousePress(w->Picture1, Qt::LeftButton, {}, QPoint(50, 20));
    QTest::mouseRelease(w->Picture1, Qt::LeftButton, {}, QPoint(50, 20));
    QCOMPARE(blackCount(w->canvas), 240 * 64);
}

void TestDraw::textAfterStartUpAndClick() {
    w->pictxt->setText(QStringLiteral("Quorvel 42"));
    QTest::mouseClick(w->cmdtext, Qt::LeftButton);
    const int line = stampLineHeight(w->canvas.font);
    QCOMPARE(w->canvas.currentPosition, QPointF(0, line));
    QVERIFY(blackCount(w->canvas) > 20);
    QVERIFY(onlyColours(w->canvas, {Canvas::Black, Canvas::White}));
    int left = 240;
    for (const QPoint& p : blackPixels(w->canvas))
        left = std::min(left, p.x());
    QVERIFY(left <= 2); // written at the top-left corner

    // A click places the next text; the dot it plotted stays under the text's corner.
    QTest::mouseClick(w->Command5, Qt::LeftButton); // Clear
    QTest::mouseClick(w->Picture1, Qt::LeftButton, {}, QPoint(150, 30));
    QTest::mouseClick(w->cmdtext, Qt::LeftButton);
    QVERIFY(w->canvas.isSet(150, 30));
    QCOMPARE(w->canvas.currentPosition, QPointF(0, 30 + line));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 150; ++x)
            QVERIFY(!w->canvas.isSet(x, y));

    // Pressing Text again with an empty box only moves one line down.
    w->pictxt->clear();
    const QImage before = w->canvas.image();
    QTest::mouseClick(w->cmdtext, Qt::LeftButton);
    QCOMPARE(w->canvas.image(), before);
    QCOMPARE(w->canvas.currentPosition, QPointF(0, 30 + 2 * line));
}

void TestDraw::startUpFontIsWindowFont() {
    // A window built under another default font stamps in that font until "Font" is used.
    const QFont saved = QApplication::font();
    QFont appFont(QStringLiteral("DejaVu Serif"));
    appFont.setPointSize(13);
    QApplication::setFont(appFont);
    Main other;
    QApplication::setFont(saved);
    QCOMPARE(other.canvas.font.family(), other.font().family());
    QCOMPARE(other.canvas.font.family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(other.canvas.font.pointSize(), 13);
    other.pictxt->setText(QStringLiteral("x"));
    QTest::mouseClick(other.cmdtext, Qt::LeftButton);
    QCOMPARE(other.canvas.currentPosition.y(), double(stampLineHeight(appFont)));
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
    w->canvas.font = start;
    QFont offered(QStringLiteral("DejaVu Serif"));
    offered.setPointSize(17);
    offered.setBold(true);
    offered.setItalic(true);
    offered.setUnderline(true);
    Modals modals;
    bool answered = false;
    modals.whenShown<QFontDialog>([&](QFontDialog* dialog) {
        answered = true;
        dialog->setCurrentFont(offered);
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
    QTest::mouseClick(w->cmdfont, Qt::LeftButton);
    // The font dialog was the first and only modal widget.
    QVERIFY(answered);
    QVERIFY(modals.messages.isEmpty() && modals.dialogs.isEmpty());
    QCOMPARE(w->commdlg->Flags, 3); // stays on the shared dialog
    const QFont expected = accept ? QFont(QStringLiteral("DejaVu Serif")) : start;
    QCOMPARE(w->canvas.font.family(), expected.family());
    QCOMPARE(w->canvas.font.pointSize(), accept ? 17 : 9);
    QVERIFY(!w->canvas.font.bold());
    QVERIFY(!w->canvas.font.italic());
    QVERIFY(!w->canvas.font.underline());

    // Text stamped afterwards uses it: one line of the chosen size further down.
    w->canvas.currentPosition = QPointF(0, 0);
    QTest::mouseClick(w->cmdtext, Qt::LeftButton);
    QCOMPARE(w->canvas.currentPosition.y(), double(stampLineHeight(w->canvas.font)));
}

QTEST_MAIN(TestDraw)
#include "test_draw.moc"

// The window's shared state without the window: the panel, the Load capture and the token that
// says the transmit text is still what Convert and Reformat would build.
#include "canvas/LcdSize.h"
#include "convert/ToolState.h"

#include <QtTest>

class TestToolState : public QObject {
    Q_OBJECT
private slots:
    void panelChoice_data();
    void panelChoice();
    void loadCapture_data();
    void loadCapture();
    void transmitToken_data();
    void transmitToken();
    void undoBringsThePanelBack();
};

void TestToolState::panelChoice_data() {
    QTest::addColumn<QList<int>>("choices");
    QTest::addColumn<int>("index");
    QTest::addColumn<QSize>("panel");
    QTest::newRow("start-up") << QList<int>{} << 0 << QSize(240, 64);
    QTest::newRow("128x32") << QList<int>{2} << 2 << QSize(128, 32);
    QTest::newRow("320x200") << QList<int>{7} << 7 << QSize(320, 200);
    QTest::newRow("past the table") << QList<int>{3, LcdSizeCount} << 3 << QSize(256, 128);
    QTest::newRow("negative") << QList<int>{5, -1} << 5 << QSize(128, 128);
}

void TestToolState::panelChoice() {
    QFETCH(QList<int>, choices);
    QFETCH(int, index);
    QFETCH(QSize, panel);
    ToolState state;
    for (int choice : choices)
        state.choosePanel(choice);
    QCOMPARE(state.panelIndex(), index);
    QCOMPARE(QSize(state.panelWidth(), state.panelHeight()), panel);
}

void TestToolState::loadCapture_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("stands");
    // l: a Load captures; d: the canvas is drawn on; p: another panel; b: back to the first
    QTest::newRow("never loaded") << "" << false;
    QTest::newRow("loaded") << "l" << true;
    QTest::newRow("drawn on after") << "ld" << false;
    QTest::newRow("loaded again after drawing") << "ldl" << true;
    QTest::newRow("other panel") << "lp" << false;
    QTest::newRow("other panel and back") << "lpb" << true;
    QTest::newRow("drawn, then loaded on another panel") << "dpl" << true;
}

void TestToolState::loadCapture() {
    QFETCH(QString, steps);
    QFETCH(bool, stands);
    ToolState state;
    for (QChar step : steps) {
        switch (step.toLatin1()) {
        case 'l':
            state.recordLoadCapture();
            break;
        case 'd':
            state.canvas.setPixel(1, 1, Canvas::Black);
            break;
        case 'p':
            state.choosePanel(1);
            break;
        case 'b':
            state.choosePanel(0);
            break;
        }
    }
    QCOMPARE(state.loadCaptureStands(), stands);
}

void TestToolState::transmitToken_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("current");
    QTest::addColumn<QStringList>("lastReasons");
    // c: Convert starts; s: it succeeds on the basis; r: Reformat; x: a check against the basis
    // as it was; y: a check after PIC Buffer changed; z: a check after it changed back
    QTest::newRow("start-up") << "" << false << QStringList{};
    QTest::newRow("Reformat without Convert") << "r" << false << QStringList{};
    QTest::newRow("failed Convert") << "cr" << false << QStringList{};
    QTest::newRow("Convert, Reformat") << "csr" << true << QStringList{};
    QTest::newRow("converted, not reformatted") << "cs" << false << QStringList{};
    QTest::newRow("nothing changed") << "csrx" << true << QStringList{};
    QTest::newRow("a setting changed") << "csry" << false << QStringList{"PIC Buffer"};
    QTest::newRow("changed and back") << "csryz" << false << QStringList{};
    QTest::newRow("Reformat re-arms until the next check")
        << "csryr" << true << QStringList{"PIC Buffer"};
    QTest::newRow("new Convert disarms") << "csrc" << false << QStringList{};
}

void TestToolState::transmitToken() {
    QFETCH(QString, steps);
    QFETCH(bool, current);
    QFETCH(QStringList, lastReasons);
    ToolState state;
    TransmitBasis basis;
    TransmitBasis changed = basis;
    changed.picBufferEntry = basis.picBufferEntry + 1;
    QStringList reasons;
    for (QChar step : steps) {
        switch (step.toLatin1()) {
        case 'c':
            state.convertStarted();
            break;
        case 's':
            state.convertSucceeded(basis);
            break;
        case 'r':
            state.reformatted();
            break;
        case 'x':
        case 'z':
            reasons = state.disarmIfStale(basis);
            break;
        case 'y':
            reasons = state.disarmIfStale(changed);
            break;
        }
    }
    QCOMPARE(state.transmitCurrent(), current);
    QCOMPARE(reasons, lastReasons);
}

void TestToolState::undoBringsThePanelBack() {
    ToolState state;
    QVERIFY(state.history.begin(state.canvas, state.panelIndex()));
    state.choosePanel(2);
    state.canvas.resize(state.panelWidth(), state.panelHeight());
    QVERIFY(state.history.end(state.canvas, state.panelIndex()));
    QVERIFY(state.undo());
    QCOMPARE(state.panelIndex(), 0);
    QCOMPARE(QSize(state.canvas.width(), state.canvas.height()), QSize(240, 64));
    QVERIFY(state.redo());
    QCOMPARE(state.panelIndex(), 2);
    QCOMPARE(QSize(state.canvas.width(), state.canvas.height()), QSize(128, 32));
    QVERIFY(state.redo() == false);
}

QTEST_GUILESS_MAIN(TestToolState)
#include "test_tool_state.moc"

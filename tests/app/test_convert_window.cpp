// Convert and the Byte Matrix choice, clicked in a real window.
#include "app/CanvasView.h"
#include "app/Main.h"
#include "app/TextBox.h"
#include "canvas/Bmp.h"
#include "convert/ByteMatrix.h"
#include "convert/HorizontalCapture.h"
#include "support/BmpFixtures.h"
#include "support/MatrixPictures.h"
#include "support/TestFiles.h"
#include "support/TestGroup.h"
#include "support/TestPictures.h"
#include "support/WindowTest.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>

class TestConvertWindow : public WindowTest {
    Q_OBJECT
public:
    TestConvertWindow() : WindowTest(true) {}

private slots:
    void convertAfterDrawing();
    void verticalEdges_data();
    void verticalEdges();
    void vertical320ConvertsEveryColumn();
    void horizontalFollowsTheCanvas_data();
    void horizontalFollowsTheCanvas();
    void horizontalCaptured_data();
    void horizontalCaptured();
    void optionSwitchShowsFrameAndKeepsMatrices();
    void getparamFailureKeepsPreviousResult();
    void outputCompilesAsC_data();
    void outputCompilesAsC();

private:
    void chooseSize(int index) { click(QStringLiteral("optgrf(%1)").arg(index)); }
    void chooseVertical() { click("Option2(0)"); }
    void convert() { click("Command9"); }
    CanvasView* canvasBox() const { return control<CanvasView>("Picture1"); }
    TextBox* output() const { return control<TextBox>("Text3"); }
    QString byteCount() const { return control<QLabel>("lblfz")->text(); }
    bool enabled(const char* button) const { return control<QPushButton>(button)->isEnabled(); }
    // Loads `file` for the chosen panel with Load, "Inverted" unticked first so that the bytes
    // are captured as stored.
    void load(const QByteArray& file) {
        const QString path = m_dir.filePath(QStringLiteral("load.bmp"));
        QVERIFY(writeFile(path, file));
        if (control<QCheckBox>("chkinvert")->isChecked())
            click("chkinvert");
        QVERIFY(!control<QCheckBox>("chkinvert")->isChecked());
        modals->fileAnswers = {path};
        click("Command10");
        QVERIFY2(modals->texts.isEmpty(), qPrintable(modals->texts.join(QLatin1Char('|'))));
    }
    // Loads a file of the chosen size whose stored row y holds the bytes y * 7 + c (the pad
    // bytes of a 240-wide row are 0xa5: they must never show, or the rows would run out of
    // step).
    void loadCounting() {
        const int width = state().panelWidth();
        const int height = state().panelHeight();
        QByteArray file = writeMonochromeBmp(whiteImage(width, height));
        const int rowLength = bmpRowLength(width);
        for (int y = 0; y < height; ++y)
            for (int c = 0; c < rowLength; ++c)
                file[62 + (height - 1 - y) * rowLength + c] =
                    char(c < width / 8 ? y * 7 + c : 0xa5);
        load(file);
    }
    bool busy() const { return w->cursor().shape() == Qt::WaitCursor; }

    QTemporaryDir m_dir;
};

void TestConvertWindow::convertAfterDrawing() {
    chooseVertical();
    // A transmit text from a Convert and Reformat before: the next Convert must drop it.
    convert();
    click("Command15");
    QVERIFY(!state().xmitText.isEmpty());
    QList<QPoint> corner{{3, 2}};
    for (int i = 0; i < 8; ++i)
        corner << QPoint(0, i) << QPoint(i, 7);
    clickPixels(canvasBox(), corner);
    convert();
    const QString text = output()->text();
    QVERIFY(text.startsWith(QStringLiteral("ff8080848080808000")));
    QCOMPARE(text.size(), 240 * 8 * 2);
    QCOMPARE(byteCount(), QStringLiteral("1920"));
    QCOMPARE(state().convText, text);
    QCOMPARE(state().restoreText, text);
    QVERIFY(state().xmitText.isEmpty());
    QVERIFY(!state().transmitCurrent());
    QCOMPARE(state().vertMatrix.columns, 240);
    QVERIFY(enabled("Command12"));
    QVERIFY(enabled("Command15"));
    QVERIFY(!enabled("Command16"));
    QVERIFY(!busy());
    QVERIFY(modals->texts.isEmpty());
}

void TestConvertWindow::verticalEdges_data() {
    QTest::addColumn<QPoint>("black");   // (-1, -1): none
    QTest::addColumn<int>("byteNumber"); // counted from 1
    QTest::addColumn<QString>("byte");
    QTest::newRow("all white") << QPoint(-1, -1) << 1 << "00";
    QTest::newRow("(0, 0)") << QPoint(0, 0) << 1 << "01";
    QTest::newRow("(0, 7)") << QPoint(0, 7) << 1 << "80";
    QTest::newRow("(0, 8)") << QPoint(0, 8) << 129 << "01";
    QTest::newRow("(127, 63)") << QPoint(127, 63) << 1024 << "80";
}

void TestConvertWindow::verticalEdges() {
    QFETCH(QPoint, black);
    QFETCH(int, byteNumber);
    QFETCH(QString, byte);
    chooseSize(1); // 128x64
    chooseVertical();
    if (black.x() >= 0)
        clickPixels(canvasBox(), {black});
    convert();
    QString text = output()->text();
    QCOMPARE(text.size(), 2048);
    QCOMPARE(byteCount(), QStringLiteral("1024"));
    QCOMPARE(text.mid((byteNumber - 1) * 2, 2), byte);
    text.replace((byteNumber - 1) * 2, 2, QStringLiteral("00"));
    QCOMPARE(text, QString(2048, QLatin1Char('0')));
}

void TestConvertWindow::vertical320ConvertsEveryColumn() {
    chooseSize(7);
    chooseVertical();
    clickPixels(canvasBox(), {{256, 0}, {319, 199}});
    convert();
    QVERIFY2(modals->texts.isEmpty(), qPrintable(modals->texts.join(QLatin1Char('|'))));
    const QString text = output()->text();
    QCOMPARE(text.size(), 16000);
    QCOMPARE(byteCount(), QStringLiteral("8000"));
    QCOMPARE(text.mid(256 * 2, 2), QStringLiteral("01"));
    QCOMPARE(text.right(2), QStringLiteral("80"));
    QVERIFY(enabled("Command15"));
}

// What the user does to the window between a Load and a Convert.
using CanvasChange = std::function<void(const QWidget* window)>;
Q_DECLARE_METATYPE(CanvasChange)

void TestConvertWindow::horizontalFollowsTheCanvas_data() {
    QTest::addColumn<bool>("load");
    QTest::addColumn<CanvasChange>("change");
    QTest::addColumn<bool>("fromFile");
    const CanvasChange nothing = [](const QWidget*) {};
    QTest::newRow("nothing loaded") << false << nothing << false;
    QTest::newRow("loaded, unchanged") << true << nothing << true;
    QTest::newRow("loaded, then converted vertically")
        << true << CanvasChange([](const QWidget* w) {
               clickControl(w, "Option2(0)");
               clickControl(w, "Command9");
               clickControl(w, "Option2(1)");
           })
        << true;
    QTest::newRow("pen") << true << CanvasChange([](const QWidget* w) {
        clickPixels(findControl<CanvasView>(w, "Picture1"), {{3, 3}});
    }) << false;
    QTest::newRow("text") << true << CanvasChange([](const QWidget* w) {
        typeInto(findControl<QLineEdit>(w, "pictxt"), QStringLiteral("Ab"));
        clickControl(w, "cmdtext");
    }) << false;
    QTest::newRow("Clear") << true
                           << CanvasChange([](const QWidget* w) { clickControl(w, "Command5"); })
                           << false;
    QTest::newRow("the same size chosen again")
        << true << CanvasChange([](const QWidget* w) { clickControl(w, "optgrf(7)"); }) << false;
}

void TestConvertWindow::horizontalFollowsTheCanvas() {
    QFETCH(bool, load);
    QFETCH(CanvasChange, change);
    QFETCH(bool, fromFile);
    chooseSize(7); // 320x200, the one size Load leaves choosable
    clickPixels(canvasBox(), {{0, 0}});
    if (load)
        loadCounting();
    const QString raw = output()->text();
    change(w);
    // Load leaves "Inverted" disabled until a Clear; ticked here all the same, so that a canvas
    // that is converted shows it was read inverted.
    control<QCheckBox>("chkinvert")->setChecked(true);
    convert();
    QVERIFY2(modals->texts.isEmpty(), qPrintable(modals->texts.join(QLatin1Char('|'))));
    const QString canvasText =
        QString::fromLatin1(horizontalBytes(state().canvas.image(), 320, 200, true).toHex() + "00");
    QCOMPARE(output()->text(), fromFile ? raw + QStringLiteral("00") : canvasText);
    QCOMPARE(byteCount(), QStringLiteral("8001"));
    QCOMPARE(state().restoreText, output()->text());
    QVERIFY(enabled("Command15"));
}

void TestConvertWindow::horizontalCaptured_data() {
    QTest::addColumn<int>("sizeIndex");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("lblfz");
    QTest::addColumn<int>("perRow");
    QTest::newRow("128x64") << 1 << 2050 << "1025" << 16;
    QTest::newRow("240x64") << 0 << 30 * 64 * 2 + 2 << "1921" << 30;
    QTest::newRow("320x200") << 7 << 8001 * 2 << "8001" << 40;
}

void TestConvertWindow::horizontalCaptured() {
    QFETCH(int, sizeIndex);
    QFETCH(int, length);
    QFETCH(QString, lblfz);
    QFETCH(int, perRow);
    chooseSize(sizeIndex);
    loadCounting();
    convert();
    const QString text = output()->text();
    QCOMPARE(text.size(), length);
    QCOMPARE(byteCount(), lblfz);
    QVERIFY(text.endsWith(QStringLiteral("00")));
    for (int y : {0, 1, state().panelHeight() - 1}) {
        QCOMPARE(text.mid(y * perRow * 2, 2), hexOf((y * 7) & 255));
        QCOMPARE(text.mid((y * perRow + perRow - 1) * 2, 2), hexOf((y * 7 + perRow - 1) & 255));
    }
}

void TestConvertWindow::optionSwitchShowsFrameAndKeepsMatrices() {
    loadCounting();
    chooseVertical();
    QVERIFY(!state().horizontal);
    QVERIFY(control("LCD")->isHidden());
    convert();
    QCOMPARE(state().vertMatrix.columns, 240);
    click("Option2(1)");
    QVERIFY(state().horizontal);
    QVERIFY(control("LCD")->isVisible());
    QCOMPARE(state().vertMatrix.columns, 240);
    QCOMPARE(state().horzMatrix.byte(1, 0), quint8(7));
    convert();
    QVERIFY(output()->text().startsWith(QStringLiteral("000102")));
}

void TestConvertWindow::getparamFailureKeepsPreviousResult() {
    convert(); // a good result first: the white 240x64 canvas, 1920 bytes and the closing "00"
    click("Command15"); // and a transmit text made from it
    QVERIFY(!state().xmitText.isEmpty());
    QVERIFY(enabled("Command16"));
    QVERIFY(!enabled("Command15"));
    click("Check1"); // EEPROM mode: the start address is read
    typeInto(control<QLineEdit>("eeprom"), QStringLiteral("abc"));
    QCOMPARE(control<QLineEdit>("eeprom")->text(), QStringLiteral("abc"));
    convert();
    QCOMPARE(modals->texts.size(), 1);
    QVERIFY2(modals->texts[0].startsWith(QStringLiteral("Error: ")) && modals->texts[0].size() > 7,
             qPrintable(modals->texts[0]));
    QCOMPARE(output()->text(), QString());
    QVERIFY(state().convText.isEmpty());
    QVERIFY(state().xmitText.isEmpty());
    QCOMPARE(state().restoreText, QString(3842, QLatin1Char('0')));
    QCOMPARE(byteCount(), QStringLiteral("1921"));
    // Nothing was converted, so there is nothing to reformat: a Reformat now would cut a stream
    // from the half-built header.
    QVERIFY(!enabled("Command15"));
    QVERIFY(!enabled("Command16"));
    QVERIFY(!state().transmitCurrent());
    QVERIFY(enabled("Command12"));
    QVERIFY(!busy());
}

void TestConvertWindow::outputCompilesAsC_data() {
    QTest::addColumn<bool>("vertical");
    QTest::newRow("vertical") << true;
    QTest::newRow("horizontal") << false;
}

void TestConvertWindow::outputCompilesAsC() {
    QFETCH(bool, vertical);
    const QString cc = QStandardPaths::findExecutable(QStringLiteral("cc"));
    if (cc.isEmpty())
        QSKIP("no C compiler on this machine");
    chooseSize(2); // 128x32
    QByteArray expected;
    if (vertical) {
        chooseVertical();
        load(writeMonochromeBmp(pictureOf(128, 32, patternPixel)));
        expected = verticalBytesOf(128, 32, patternPixel).toHex();
    } else {
        loadCounting();
        for (int y = 0; y < 32; ++y)
            for (int c = 0; c < 16; ++c)
                expected += hexOf((y * 7 + c) & 255).toLatin1();
        expected += "00";
    }
    typeInto(control<QLineEdit>("txtfrmt"), QStringLiteral("0x"));
    typeInto(control<QLineEdit>("txtDelim"), QStringLiteral(","));
    typeInto(control<QLineEdit>("txthead"), QStringLiteral("const unsigned char img[] = {"));
    typeInto(control<QLineEdit>("txtfoot"), QStringLiteral("};"));
    convert();

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile source(dir.filePath(QStringLiteral("img.c")));
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write("#include <stdio.h>\n" + output()->text().toLatin1() +
                 "\nint main(void) {\n"
                 "    for (size_t i = 0; i < sizeof img; ++i)\n"
                 "        printf(\"%02x\", img[i]);\n"
                 "    return 0;\n"
                 "}\n");
    source.close();
    const QString program = dir.filePath(QStringLiteral("img"));
    QProcess compile;
    compile.start(cc, {QStringLiteral("-std=c99"), QStringLiteral("-pedantic-errors"),
                       QStringLiteral("-o"), program, source.fileName()});
    QVERIFY(compile.waitForFinished(60000));
    QVERIFY2(compile.exitCode() == 0, compile.readAllStandardError().constData());
    QProcess run;
    run.start(program, {});
    QVERIFY(run.waitForFinished(10000));
    QCOMPARE(run.readAllStandardOutput(), expected);
}

QUORVEL_TEST_MAIN(TestConvertWindow)
#include "test_convert_window.moc"

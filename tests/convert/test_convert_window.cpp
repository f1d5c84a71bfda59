// Convert and the Byte Matrix choice, clicked in a real window.
#include "Pictures.h"
#include "app/CanvasView.h"
#include "app/Main.h"
#include "app/TextBox.h"
#include "canvas/Bmp.h"
#include "convert/ByteMatrix.h"
#include "convert/HorizontalCapture.h"
#include "support/BmpFixtures.h"
#include "support/Modals.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>

namespace {
// A pattern with black pixels in every page and both halves of each byte.
bool patternPixel(int x, int y) {
    return (x * 5 + y * 3 + x * y) % 7 == 0;
}
} // namespace

class TestConvertWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
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
    void chooseSize(int index) { QTest::mouseClick(w->optgrf[index], Qt::LeftButton); }
    void chooseVertical() { QTest::mouseClick(w->Option2[0], Qt::LeftButton); }
    void convert() { QTest::mouseClick(w->Command9, Qt::LeftButton); }
    // Loads a file of the chosen size whose stored row y holds the bytes y * 7 + c (the pad
    // bytes of a 240-wide row are 0xa5: they must never show, or the rows would run out of
    // step), with "Inverted" unticked so the bytes are captured as stored.
    void loadCounting() {
        const int width = w->lcdWidth;
        const int height = w->lcdHeight;
        QByteArray file = writeMonochromeBmp(whiteImage(width, height));
        const int rowLength = bmpRowLength(width);
        for (int y = 0; y < height; ++y)
            for (int c = 0; c < rowLength; ++c)
                file[62 + (height - 1 - y) * rowLength + c] =
                    char(c < width / 8 ? y * 7 + c : 0xa5);
        const QString path = m_dir.filePath(QStringLiteral("counting.bmp"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        out.close();
        w->chkinvert->setChecked(false);
        modals->fileAnswers = {path};
        QTest::mouseClick(w->Command10, Qt::LeftButton);
        QVERIFY2(modals->texts.isEmpty(), qPrintable(modals->texts.join(QLatin1Char('|'))));
    }
    bool busy() const { return w->cursor().shape() == Qt::WaitCursor; }

    Main* w = nullptr;
    Modals* modals = nullptr;
    QTemporaryDir m_dir;
};

void TestConvertWindow::init() {
    w = new Main;
    modals = new Modals(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestConvertWindow::cleanup() {
    delete w;
    w = nullptr;
}

void TestConvertWindow::convertAfterDrawing() {
    chooseVertical();
    for (int i = 0; i < 8; ++i) {
        w->canvas.setPixel(0, i, Canvas::Black);
        w->canvas.setPixel(i, 7, Canvas::Black);
    }
    w->canvas.setPixel(3, 2, Canvas::Black);
    w->xmitText = QStringLiteral("left over");
    convert();
    const QString text = w->Text3->text();
    QVERIFY(text.startsWith(QStringLiteral("ff8080848080808000")));
    QCOMPARE(text.size(), 240 * 8 * 2);
    QCOMPARE(w->lblfz->text(), QStringLiteral("1920"));
    QCOMPARE(w->convText, text);
    QCOMPARE(w->restoreText, text);
    QVERIFY(w->xmitText.isEmpty());
    QCOMPARE(w->vertMatrix.columns, 240);
    QVERIFY(w->Command12->isEnabled());
    QVERIFY(w->Command15->isEnabled());
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
    w->canvas.setPixel(black.x(), black.y(), Canvas::Black);
    convert();
    QString text = w->Text3->text();
    QCOMPARE(text.size(), 2048);
    QCOMPARE(w->lblfz->text(), QStringLiteral("1024"));
    QCOMPARE(text.mid((byteNumber - 1) * 2, 2), byte);
    text.replace((byteNumber - 1) * 2, 2, QStringLiteral("00"));
    QCOMPARE(text, QString(2048, QLatin1Char('0')));
}

void TestConvertWindow::vertical320ConvertsEveryColumn() {
    chooseSize(7);
    chooseVertical();
    w->canvas.setPixel(256, 0, Canvas::Black);
    w->canvas.setPixel(319, 199, Canvas::Black);
    convert();
    QVERIFY2(modals->texts.isEmpty(), qPrintable(modals->texts.join(QLatin1Char('|'))));
    const QString text = w->Text3->text();
    QCOMPARE(text.size(), 16000);
    QCOMPARE(w->lblfz->text(), QStringLiteral("8000"));
    QCOMPARE(text.mid(256 * 2, 2), QStringLiteral("01"));
    QCOMPARE(text.right(2), QStringLiteral("80"));
    QVERIFY(w->Command15->isEnabled());
}

using CanvasChange = std::function<void(Main*)>;
Q_DECLARE_METATYPE(CanvasChange)

void TestConvertWindow::horizontalFollowsTheCanvas_data() {
    QTest::addColumn<bool>("load");
    QTest::addColumn<CanvasChange>("change");
    QTest::addColumn<bool>("fromFile");
    const CanvasChange nothing = [](Main*) {};
    QTest::newRow("nothing loaded") << false << nothing << false;
    QTest::newRow("loaded, unchanged") << true << nothing << true;
    QTest::newRow("loaded, then converted vertically") << true << CanvasChange([](Main* w) {
        QTest::mouseClick(w->Option2[0], Qt::LeftButton);
        QTest::mouseClick(w->Command9, Qt::LeftButton);
        QTest::mouseClick(w->Option2[1], Qt::LeftButton);
    }) << true;
    QTest::newRow("pen") << true << CanvasChange([](Main* w) {
        QTest::mouseClick(w->Picture1, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    }) << false;
    QTest::newRow("text") << true << CanvasChange([](Main* w) {
        w->pictxt->setText(QStringLiteral("Ab"));
        QTest::mouseClick(w->cmdtext, Qt::LeftButton);
    }) << false;
    QTest::newRow("Clear") << true << CanvasChange([](Main* w) {
        QTest::mouseClick(w->Command5, Qt::LeftButton);
    }) << false;
    QTest::newRow("the same size chosen again")
        << true << CanvasChange([](Main* w) { QTest::mouseClick(w->optgrf[7], Qt::LeftButton); })
        << false;
}

void TestConvertWindow::horizontalFollowsTheCanvas() {
    QFETCH(bool, load);
    QFETCH(CanvasChange, change);
    QFETCH(bool, fromFile);
    chooseSize(7); // 320x200, the one size Load leaves choosable
    w->canvas.setPixel(0, 0, Canvas::Black);
    if (load)
        loadCounting();
    const QString raw = w->Text3->text();
    change(w);
    w->chkinvert->setChecked(true);
    convert();
    QVERIFY2(modals->texts.isEmpty(), qPrintable(modals->texts.join(QLatin1Char('|'))));
    const QString canvasText = QString::fromLatin1(
        horizontalBytes(std::as_const(w->canvas).image(), 320, 200, true).toHex() + "00");
    QCOMPARE(w->Text3->text(), fromFile ? raw + QStringLiteral("00") : canvasText);
    QCOMPARE(w->lblfz->text(), QStringLiteral("8001"));
    QCOMPARE(w->restoreText, w->Text3->text());
    QVERIFY(w->Command15->isEnabled());
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
    const QString text = w->Text3->text();
    QCOMPARE(text.size(), length);
    QCOMPARE(w->lblfz->text(), lblfz);
    QVERIFY(text.endsWith(QStringLiteral("00")));
    for (int y : {0, 1, w->lcdHeight - 1}) {
        QCOMPARE(text.mid(y * perRow * 2, 2), hexOf((y * 7) & 255));
        QCOMPARE(text.mid((y * perRow + perRow - 1) * 2, 2), hexOf((y * 7 + perRow - 1) & 255));
    }
}

void TestConvertWindow::optionSwitchShowsFrameAndKeepsMatrices() {
    loadCounting();
    chooseVertical();
    QCOMPARE(w->matrixHorizontal, 0);
    QVERIFY(w->LCD->isHidden());
    convert();
    QCOMPARE(w->vertMatrix.columns, 240);
    QTest::mouseClick(w->Option2[1], Qt::LeftButton);
    QCOMPARE(w->matrixHorizontal, 1);
    QVERIFY(w->LCD->isVisible());
    QCOMPARE(w->vertMatrix.columns, 240);
    QCOMPARE(w->horzMatrix.byte(1, 0), quint8(7));
    convert();
    QVERIFY(w->Text3->text().startsWith(QStringLiteral("000102")));
}

void TestConvertWindow::getparamFailureKeepsPreviousResult() {
    convert(); // a good result first: the white 240x64 canvas, 1920 bytes and the closing "00"
    QTest::mouseClick(w->Check1, Qt::LeftButton); // EEPROM mode: the start address is read
    w->eeprom->clear();
    QTest::keyClicks(w->eeprom, QStringLiteral("abc"));
    QCOMPARE(w->eeprom->text(), QStringLiteral("abc"));
    w->xmitText = QStringLiteral("]00");
    w->Command15->setEnabled(false);
    convert();
    QCOMPARE(modals->texts.size(), 1);
    QVERIFY2(modals->texts[0].startsWith(QStringLiteral("Error: ")) && modals->texts[0].size() > 7,
             qPrintable(modals->texts[0]));
    QCOMPARE(w->Text3->text(), QString());
    QVERIFY(w->convText.isEmpty());
    QVERIFY(w->xmitText.isEmpty());
    QCOMPARE(w->restoreText, QString(3842, QLatin1Char('0')));
    QCOMPARE(w->lblfz->text(), QStringLiteral("1921"));
    // Nothing was converted, so there is nothing to reformat: a Reformat now would cut a stream
    // from the half-built header.
    QVERIFY(!w->Command15->isEnabled());
    QVERIFY(!w->Command16->isEnabled());
    QVERIFY(w->Command12->isEnabled());
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
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 128; ++x)
                if (patternPixel(x, y))
                    w->canvas.setPixel(x, y, Canvas::Black);
        for (int page = 0; page < 4; ++page) {
            for (int x = 0; x < 128; ++x) {
                int byte = 0;
                for (int k = 0; k < 8; ++k)
                    byte |= patternPixel(x, 8 * page + k) ? 1 << k : 0;
                expected += hexOf(byte).toLatin1();
            }
        }
    } else {
        loadCounting();
        for (int y = 0; y < 32; ++y)
            for (int c = 0; c < 16; ++c)
                expected += hexOf((y * 7 + c) & 255).toLatin1();
        expected += "00";
    }
    w->txtfrmt->setText(QStringLiteral("0x"));
    w->txtDelim->setText(QStringLiteral(","));
    w->txthead->setText(QStringLiteral("const unsigned char img[] = {"));
    w->txtfoot->setText(QStringLiteral("};"));
    convert();

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile source(dir.filePath(QStringLiteral("img.c")));
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write("#include <stdio.h>\n" + w->Text3->text().toLatin1() +
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

QTEST_MAIN(TestConvertWindow)
#include "test_convert_window.moc"

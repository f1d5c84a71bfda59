// Zoom, undo and redo, Invert and Shift strokes on the real window, and the window's layout.
#include "CanvasChecks.h"
#include "app/CanvasView.h"
#include "app/Main.h"
#include "app/TextBox.h"
#include "canvas/Bmp.h"
#include "canvas/LcdSize.h"
#include "support/Modals.h"

#include <QtTest>
#include <QtWidgets>

class TestCanvasTools : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void clicksLandOnTheirPanelPixel_data();
    void clicksLandOnTheirPanelPixel();
    void gridIsOnTheScreenOnly();
    void undoAndRedoAcrossMixedSequence();
    void invertTwiceIsIdentity();
    void undoKeysBelongToCanvasAndButtons();
    void shiftStrokeJoinsPositions();
    void minimumSizeFitsAndCutsNothing();
    void layoutStaysPutWhenCaptionsChange();
    void outputWindowShowsWholeLines();

private:
    Main* w = nullptr;
    QTemporaryDir dir;
};

namespace {
void chooseSize(Main* w, int index) {
    QTest::mouseClick(w->optgrf[size_t(index)], Qt::LeftButton);
}

void chooseZoom(Main* w, int entry) {
    w->cboZoom->setCurrentIndex(entry);
}

// The widget position at the far corner inside a pixel's square, so rounding the wrong way shows.
QPoint insideCell(int x, int y, int zoom) {
    return {x * zoom + zoom - 1, y * zoom + zoom - 1};
}
} // namespace

void TestCanvasTools::init() {
    w = new Main;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestCanvasTools::cleanup() {
    delete w;
    w = nullptr;
}

void TestCanvasTools::clicksLandOnTheirPanelPixel_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("zoomEntry");
    const int zooms[] = {1, 2, 3, 4, 6, 8};
    for (int size = 0; size < LcdSizeCount; ++size)
        for (int z = 0; z < 6; ++z)
            QTest::addRow("%s x%d", lcdSizes()[size_t(size)].label, zooms[z]) << size << z;
}

void TestCanvasTools::clicksLandOnTheirPanelPixel() {
    QFETCH(int, size);
    QFETCH(int, zoomEntry);
    chooseZoom(w, zoomEntry);
    chooseSize(w, size);
    const int zoom = w->Picture1->zoom();
    const int width = lcdSizes()[size_t(size)].width, height = lcdSizes()[size_t(size)].height;
    QCOMPARE(w->Picture1->size(), QSize(width, height) * zoom);
    const QPoint pixels[] = {
        {0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}, {width / 2, height / 2}};
    for (const QPoint& p : pixels) {
        w->Command5_Click();
        const QPoint at = insideCell(p.x(), p.y(), zoom);
        // By hand: QTest's mouse functions take the point (0, 0) for "the widget's centre".
        auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(at), w->Picture1->mapToGlobal(QPointF(at)), button,
                              held, {});
            QApplication::sendEvent(w->Picture1, &event);
        };
        send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(w->lblxy->text(), QStringLiteral("X:%1 Y:%2").arg(p.x()).arg(p.y()));
        send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(blackPixels(w->canvas), QVector<QPoint>{p});
    }
}

void TestCanvasTools::gridIsOnTheScreenOnly() {
    chooseSize(w, 1); // 128x64
    QTest::mouseClick(w->Option2[0], Qt::LeftButton);
    w->Combo1->setCurrentIndex(3);
    for (int i = 0; i < 10; ++i) {
        w->Picture1_MouseDown(Qt::LeftButton, {}, 10 + 11 * i, 5 + 5 * i);
        w->Picture1_MouseUp(Qt::LeftButton, {}, 10 + 11 * i, 5 + 5 * i);
    }
    const QImage picture = w->canvas.image();
    QTest::mouseClick(w->Command9, Qt::LeftButton);
    const QString atX1 = w->Text3->text();

    chooseZoom(w, 5); // x8
    const QImage shown = w->Picture1->grab().toImage();
    // The screen shows grid lines between the white squares ...
    QVERIFY(shown.pixel(8 * 100, 8 * 60 + 3) != QColor(Qt::white).rgb());
    QCOMPARE(shown.pixel(8 * 100 + 3, 8 * 60 + 3), QColor(Qt::white).rgb());
    // ... which reach neither the picture, the conversion nor a saved file.
    QCOMPARE(w->canvas.image(), picture);
    QTest::mouseClick(w->Command9, Qt::LeftButton);
    QCOMPARE(w->Text3->text(), atX1);
    QCOMPARE(writeMonochromeBmp(w->canvas.image()), writeMonochromeBmp(picture));
    chooseZoom(w, 2); // x3: no grid
    const QImage plain = w->Picture1->grab().toImage();
    QCOMPARE(plain.pixel(3 * 100, 3 * 60 + 1), QColor(Qt::white).rgb());
}

void TestCanvasTools::undoAndRedoAcrossMixedSequence() {
    // A 240x64 file to load, of a diagonal line.
    QImage file(240, 64, QImage::Format_RGB32);
    file.fill(Qt::white);
    for (int i = 0; i < 64; ++i)
        file.setPixel(i * 3, i, 0xFF000000u);
    const QString path = dir.filePath(QStringLiteral("diagonal.bmp"));
    {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(writeMonochromeBmp(file));
    }
    chooseZoom(w, 3); // x4: the zoom survives everything below
    struct State {
        QImage picture;
        int panel;
    };
    QList<State> states{{w->canvas.image(), w->lcdSizeIndex}};
    auto keep = [&] { states << State{w->canvas.image(), w->lcdSizeIndex}; };

    w->Combo1->setCurrentIndex(2);
    QTest::mousePress(w->Picture1, Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseMove(w->Picture1, QPoint(120, 80));
    QTest::mouseMove(w->Picture1, QPoint(200, 100)); // three dots, one step
    QTest::mouseRelease(w->Picture1, Qt::LeftButton, {}, QPoint(200, 100));
    keep();
    w->pictxt->setText(QStringLiteral("Undo me"));
    QTest::mouseClick(w->cmdtext, Qt::LeftButton);
    keep();
    chooseSize(w, 2); // 128x32 drops pixels
    keep();
    QTest::mouseClick(w->Command5, Qt::LeftButton); // Clear
    keep();
    chooseSize(w, 0);
    keep();
    {
        Modals modals(w);
        modals.fileAnswers << path;
        QTest::mouseClick(w->Command10, Qt::LeftButton); // Load
        QVERIFY(modals.messages.isEmpty());
    }
    keep();
    QCOMPARE(w->canvas.pixel(3, 1), Canvas::Black);
    QCOMPARE(w->history.undoCount(), 6);
    QCOMPARE(w->Picture1->zoom(), 4);
    const QString output = w->Text3->text();

    auto check = [&](const State& s) {
        QCOMPARE(w->canvas.image(), s.picture);
        QCOMPARE(w->lcdSizeIndex, s.panel);
        QVERIFY(w->optgrf[size_t(s.panel)]->isChecked());
        QCOMPARE(QSize(w->lcdWidth, w->lcdHeight),
                 QSize(lcdSizes()[size_t(s.panel)].width, lcdSizes()[size_t(s.panel)].height));
        QCOMPARE(w->Picture1->size(), s.picture.size() * 4);
        QCOMPARE(w->Text3->text(), output); // the output text is never taken back
    };
    for (qsizetype i = states.size() - 2; i >= 0; --i) {
        w->actUndo->trigger();
        check(states[i]);
    }
    for (qsizetype i = 1; i < states.size(); ++i) {
        w->actRedo->trigger();
        check(states[i]);
    }
}

void TestCanvasTools::invertTwiceIsIdentity() {
    w->canvas.setPixel(5, 5, Canvas::Black);
    w->canvas.setPixel(6, 5, 0x123456u); // a loaded file may bring other colours
    const QImage before = w->canvas.image();
    QTest::mouseClick(w->cmdInvert, Qt::LeftButton);
    QCOMPARE(w->canvas.pixel(5, 5), Canvas::White);
    QCOMPARE(w->canvas.pixel(0, 0), Canvas::Black);
    QCOMPARE(blackCount(w->canvas), 240 * 64 - 2);
    QTest::mouseClick(w->cmdInvert, Qt::LeftButton);
    QCOMPARE(w->canvas.image(), before);
    QCOMPARE(w->history.undoCount(), 2);
    w->actUndo->trigger();
    QCOMPARE(w->canvas.pixel(5, 5), Canvas::White);
}

void TestCanvasTools::undoKeysBelongToCanvasAndButtons() {
    QApplication::setActiveWindow(w);
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::mouseClick(w->Picture1, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(QApplication::focusWidget(), w->Picture1);
    QTest::keyClick(w->Picture1, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(blackCount(w->canvas), 0);
    QTest::keyClick(w->Picture1, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(blackCount(w->canvas), 1);
    QTest::keyClick(w->Picture1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); // nothing
    QCOMPARE(blackCount(w->canvas), 1);

    // A text box keeps its own Ctrl+Z.
    w->pictxt->setFocus();
    QTest::keyClicks(w->pictxt, QStringLiteral("ab"));
    QTest::keyClick(w->pictxt, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->pictxt->text(), QString());
    QCOMPARE(blackCount(w->canvas), 1);

    // A button with the keyboard passes it on to the canvas.
    w->Command7->setFocus();
    QTest::keyClick(w->Command7, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(blackCount(w->canvas), 0);
}

void TestCanvasTools::shiftStrokeJoinsPositions() {
    chooseZoom(w, 1); // x2
    QTest::mousePress(w->Picture1, Qt::LeftButton, {}, QPoint(20, 20));
    w->Picture1_MouseMove(Qt::LeftButton, Qt::ShiftModifier, 200.5, 10.5);
    w->Picture1_MouseMove(Qt::LeftButton, {}, 230.5, 60.5); // without Shift: a lone dot
    QTest::mouseRelease(w->Picture1, Qt::LeftButton, {}, QPoint(460, 120));
    QCOMPARE(blackCount(w->canvas), 200 - 10 + 1 + 1);
    for (int x = 10; x <= 200; ++x) {
        int inColumn = 0;
        for (int y = 0; y < 64; ++y)
            inColumn += w->canvas.isSet(x, y);
        QCOMPARE(inColumn, 1);
    }
    QCOMPARE(w->history.undoCount(), 1);
}

void TestCanvasTools::minimumSizeFitsAndCutsNothing() {
    const QSize minimum = w->minimumSizeHint();
    QVERIFY2(minimum.width() <= 1280 && minimum.height() <= 720,
             qPrintable(QStringLiteral("%1x%2").arg(minimum.width()).arg(minimum.height())));
    w->resize(minimum);
    QTest::qWait(20);
    // Every caption fits its control, and the largest panel fits the stage whole at x1.
    const auto widgets = w->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (!widget->isVisible() ||
            !(qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLabel*>(widget) ||
              qobject_cast<QGroupBox*>(widget) || qobject_cast<QComboBox*>(widget)))
            continue;
        const QSize need = widget->minimumSizeHint();
        QVERIFY2(widget->width() >= need.width() && widget->height() >= need.height(),
                 qPrintable(widget->objectName()));
        const QRect inWindow(widget->mapTo(w, QPoint(0, 0)), widget->size());
        QVERIFY2(w->rect().contains(inWindow), qPrintable(widget->objectName()));
    }
    chooseSize(w, 7);
    QTest::qWait(20);
    QVERIFY(!w->stage->horizontalScrollBar()->isVisible());
    QVERIFY(!w->stage->verticalScrollBar()->isVisible());
    chooseZoom(w, 1);
    QTest::qWait(20);
    QVERIFY(w->stage->horizontalScrollBar()->isVisible());

    // More room goes to the stage and the output window.
    const QSize stage = w->stage->size(), output = w->Text3->size();
    w->resize(minimum + QSize(400, 300));
    QTest::qWait(20);
    QVERIFY(w->stage->width() >= stage.width() + 300);
    QVERIFY2(w->stage->height() > stage.height() + 60,
             qPrintable(QStringLiteral("%1 -> %2, window %3")
                            .arg(stage.height())
                            .arg(w->stage->height())
                            .arg(w->height())));
    QVERIFY(w->Text3->height() > output.height() + 50);
}

void TestCanvasTools::layoutStaysPutWhenCaptionsChange() {
    w->resize(w->minimumSizeHint());
    QTest::qWait(20);
    auto places = [&] {
        QList<QRect> rects;
        for (QWidget* widget : std::initializer_list<QWidget*>{
                 w->Frame4, w->Frame5, w->Frame1, w->txtcase, w->Command11, w->Command12,
                 w->Command13, w->Command14, w->Command16, w->Frame7})
            rects << QRect(widget->mapTo(w, QPoint(0, 0)), widget->size());
        return rects;
    };
    const QList<QRect> start = places();
    QTest::mouseClick(w->Option2[0], Qt::LeftButton); // Vertical hides the controller caption
    QTest::qWait(10);
    QCOMPARE(places(), start);
    QTest::mouseClick(w->Check1, Qt::LeftButton); // Load EEprom renames button and frame
    QTest::qWait(10);
    QCOMPARE(w->Command16->text(), QStringLiteral("Load Eeprom"));
    QCOMPARE(places(), start);
}

void TestCanvasTools::outputWindowShowsWholeLines() {
    w->Text3->setText(QString(20000, QLatin1Char('f')));
    for (int extra : {0, 7, 23, 150}) {
        w->resize(w->minimumSizeHint() + QSize(0, extra));
        QTest::qWait(10);
        QScrollBar* bar = w->Text3->verticalScrollBar();
        for (int value : {0, 3, bar->maximum()}) {
            bar->setValue(value);
            QWidget* viewport = w->Text3->viewport();
            const QTextCursor last = w->Text3->cursorForPosition(QPoint(2, viewport->height() - 1));
            // The caret rectangle runs one pixel past its line.
            QVERIFY2(w->Text3->cursorRect(last).bottom() <= viewport->height(),
                     qPrintable(QStringLiteral("+%1 at %2").arg(extra).arg(value)));
        }
    }
}

QTEST_MAIN(TestCanvasTools)
#include "test_canvas_tools.moc"

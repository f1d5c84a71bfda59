// Zoom, undo and redo (keys and buttons), Invert and Shift strokes on the real window, and the
// window's layout and fonts.
#include "app/CanvasView.h"
#include "app/Main.h"
#include "app/TextBox.h"
#include "canvas/Bmp.h"
#include "canvas/LcdSize.h"
#include "support/CanvasChecks.h"
#include "support/TestFiles.h"
#include "support/TestGroup.h"
#include "support/WindowTest.h"

#include <QtTest>
#include <QtWidgets>

class TestCanvasTools : public WindowTest {
    Q_OBJECT
private slots:
    void clicksLandOnTheirPanelPixel_data();
    void clicksLandOnTheirPanelPixel();
    void gridIsOnTheScreenOnly();
    void undoAndRedoAcrossMixedSequence();
    void invertTwiceIsIdentity();
    void undoKeysBelongToCanvasAndButtons();
    void undoButtonsFollowTheHistory();
    void shiftStrokeJoinsPositions();
    void minimumSizeFitsAndCutsNothing();
    void layoutStaysPutWhenCaptionsChange();
    void outputWindowShowsWholeLines();
    void outputFormatKeepsItsShapeWhenWider();
    void labelsUseTheWindowFont();
    void receiveWindowBreaksBetweenWords();

private:
    CanvasView* box() const { return control<CanvasView>("Picture1"); }
    const Canvas& canvas() const { return state().canvas; }
    void chooseSize(int index) const { click(QStringLiteral("optgrf(%1)").arg(index)); }
    void chooseZoom(int entry) const { control<QComboBox>("cboZoom")->setCurrentIndex(entry); }
    void choosePen(int entry) const { control<QComboBox>("Combo1")->setCurrentIndex(entry); }
    // Load of a picture file, answering the file dialog with `path`; true when no box came up.
    bool load(const QString& path) const;
    QTemporaryDir dir;
};

namespace {

// The widget position at the far corner inside a pixel's square, so rounding the wrong way shows.
QPoint insideCell(int x, int y, int zoom) {
    return {x * zoom + zoom - 1, y * zoom + zoom - 1};
}
} // namespace

bool TestCanvasTools::load(const QString& path) const {
    Modals modals(w);
    modals.fileAnswers << path;
    click("Command10");
    return modals.messages.isEmpty();
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
    chooseZoom(zoomEntry);
    chooseSize(size);
    const int zoom = box()->zoom();
    const int width = lcdSizes()[size_t(size)].width, height = lcdSizes()[size_t(size)].height;
    QCOMPARE(box()->size(), QSize(width, height) * zoom);
    const QPoint pixels[] = {
        {0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}, {width / 2, height / 2}};
    for (const QPoint& p : pixels) {
        click("Command5");
        const QPoint at = insideCell(p.x(), p.y(), zoom);
        // By hand: QTest's mouse functions take the point (0, 0) for "the widget's centre".
        auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(at), box()->mapToGlobal(QPointF(at)), button, held, {});
            QApplication::sendEvent(box(), &event);
        };
        send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(control<QLabel>("lblxy")->text(),
                 QStringLiteral("X:%1 Y:%2").arg(p.x()).arg(p.y()));
        send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(blackPixels(canvas()), QVector<QPoint>{p});
    }
}

void TestCanvasTools::gridIsOnTheScreenOnly() {
    chooseSize(1); // 128x64
    click("Option2(0)");
    choosePen(3);
    for (int i = 0; i < 10; ++i) {
        emit box()->mouseDown(Qt::LeftButton, {}, 10 + 11 * i, 5 + 5 * i);
        emit box()->mouseUp(Qt::LeftButton, {}, 10 + 11 * i, 5 + 5 * i);
    }
    const QImage picture = canvas().image();
    click("Command9");
    const QString atX1 = control<TextBox>("Text3")->text();

    chooseZoom(5); // x8
    const QImage shown = box()->grab().toImage();
    // The screen shows grid lines between the white squares ...
    QVERIFY(shown.pixel(8 * 100, 8 * 60 + 3) != QColor(Qt::white).rgb());
    QCOMPARE(shown.pixel(8 * 100 + 3, 8 * 60 + 3), QColor(Qt::white).rgb());
    // ... which reach neither the picture, the conversion nor a saved file.
    QCOMPARE(canvas().image(), picture);
    click("Command9");
    QCOMPARE(control<TextBox>("Text3")->text(), atX1);
    QCOMPARE(writeMonochromeBmp(canvas().image()), writeMonochromeBmp(picture));
    chooseZoom(2); // x3: no grid
    const QImage plain = box()->grab().toImage();
    QCOMPARE(plain.pixel(3 * 100, 3 * 60 + 1), QColor(Qt::white).rgb());
}

void TestCanvasTools::undoAndRedoAcrossMixedSequence() {
    // A 240x64 file to load, of a diagonal line.
    QImage file(240, 64, QImage::Format_RGB32);
    file.fill(Qt::white);
    for (int i = 0; i < 64; ++i)
        file.setPixel(i * 3, i, 0xFF000000u);
    const QString path = dir.filePath(QStringLiteral("diagonal.bmp"));
    QVERIFY(writeFile(path, writeMonochromeBmp(file)));
    chooseZoom(3); // x4: the zoom survives everything below
    struct State {
        QImage picture;
        int panel;
    };
    QList<State> states{{canvas().image(), state().panelIndex()}};
    auto keep = [&] { states << State{canvas().image(), state().panelIndex()}; };

    choosePen(2);
    QTest::mousePress(box(), Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseMove(box(), QPoint(120, 80));
    QTest::mouseMove(box(), QPoint(200, 100)); // three dots, one step
    QTest::mouseRelease(box(), Qt::LeftButton, {}, QPoint(200, 100));
    keep();
    typeInto(control<QLineEdit>("pictxt"), QStringLiteral("Undo me"));
    click("cmdtext");
    keep();
    chooseSize(2); // 128x32 drops pixels
    keep();
    click("Command5"); // Clear
    keep();
    chooseSize(0);
    keep();
    QVERIFY(load(path));
    keep();
    QCOMPARE(canvas().pixel(3, 1), Canvas::Black);
    QCOMPARE(state().history.undoCount(), 6);
    QCOMPARE(box()->zoom(), 4);
    const QString output = control<TextBox>("Text3")->text();

    auto check = [&](const State& s) {
        QCOMPARE(canvas().image(), s.picture);
        QCOMPARE(state().panelIndex(), s.panel);
        QVERIFY(option("optgrf", s.panel)->isChecked());
        QCOMPARE(QSize(state().panelWidth(), state().panelHeight()),
                 QSize(lcdSizes()[size_t(s.panel)].width, lcdSizes()[size_t(s.panel)].height));
        QCOMPARE(box()->size(), s.picture.size() * 4);
        QCOMPARE(control<TextBox>("Text3")->text(), output); // the output text is never taken back
    };
    for (qsizetype i = states.size() - 2; i >= 0; --i) {
        click("actUndo");
        check(states[i]);
    }
    for (qsizetype i = 1; i < states.size(); ++i) {
        click("actRedo");
        check(states[i]);
    }
}

void TestCanvasTools::invertTwiceIsIdentity() {
    // A loaded file may bring other colours: a one-bit file whose dark palette entry is 0x123456,
    // used at (6, 5) only; the pen then puts a black dot beside it.
    QImage file(240, 64, QImage::Format_RGB32);
    file.fill(Qt::white);
    file.setPixel(6, 5, 0xFF000000u);
    QByteArray bytes = writeMonochromeBmp(file);
    const char darkEntry[] = {0x56, 0x34, 0x12}; // palette entry 0 at offset 54, blue first
    bytes.replace(54, 3, darkEntry, 3);
    const QString path = dir.filePath(QStringLiteral("coloured.bmp"));
    QVERIFY(writeFile(path, bytes));
    QVERIFY(load(path));
    QCOMPARE(canvas().pixel(6, 5), QRgb(0x123456u));
    clickPixels(box(), {{5, 5}});
    QCOMPARE(canvas().pixel(5, 5), Canvas::Black);
    const int steps = state().history.undoCount();
    const QImage before = canvas().image();
    click("cmdInvert");
    QCOMPARE(canvas().pixel(5, 5), Canvas::White);
    QCOMPARE(canvas().pixel(0, 0), Canvas::Black);
    QCOMPARE(blackCount(canvas()), 240 * 64 - 2);
    click("cmdInvert");
    QCOMPARE(canvas().image(), before);
    QCOMPARE(state().history.undoCount(), steps + 2);
    click("actUndo");
    QCOMPARE(canvas().pixel(5, 5), Canvas::White);
}

void TestCanvasTools::undoKeysBelongToCanvasAndButtons() {
    QApplication::setActiveWindow(w);
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::mouseClick(box(), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(QApplication::focusWidget(), box());
    QTest::keyClick(box(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(blackCount(canvas()), 0);
    QTest::keyClick(box(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(blackCount(canvas()), 1);
    QTest::keyClick(box(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); // nothing
    QCOMPARE(blackCount(canvas()), 1);

    // A text box keeps its own Ctrl+Z.
    control<QLineEdit>("pictxt")->setFocus();
    QTest::keyClicks(control<QLineEdit>("pictxt"), QStringLiteral("ab"));
    QTest::keyClick(control<QLineEdit>("pictxt"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(control<QLineEdit>("pictxt")->text(), QString());
    QCOMPARE(blackCount(canvas()), 1);

    // A button with the keyboard passes it on to the canvas.
    click("Command7"); // Draw: the pen stays black
    QCOMPARE(QApplication::focusWidget(), control("Command7"));
    QTest::keyClick(control("Command7"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(blackCount(canvas()), 0);
}

void TestCanvasTools::undoButtonsFollowTheHistory() {
    auto* undo = control<QPushButton>("cmdUndo");
    auto* redo = control<QPushButton>("cmdRedo");
    QVERIFY(!undo->icon().isNull() && !redo->icon().isNull());
    QVERIFY2(undo->toolTip().contains(QStringLiteral("Ctrl+Z")), qPrintable(undo->toolTip()));
    for (const char* keys : {"Ctrl+Shift+Z", "Ctrl+Y"})
        QVERIFY2(redo->toolTip().contains(QLatin1String(keys)), qPrintable(redo->toolTip()));
    // Beside Invert, in the Graphic frame.
    QCOMPARE(undo->parentWidget(), control("Frame6"));
    const QRect invert = control("cmdInvert")->geometry();
    QVERIFY(undo->geometry().contains(QPoint(undo->x() + 1, invert.center().y())));
    QVERIFY(undo->x() > control("cmdInvert")->x() && redo->x() > undo->x());

    QSignalSpy undone(control<QAction>("actUndo"), &QAction::triggered);
    QSignalSpy redone(control<QAction>("actRedo"), &QAction::triggered);
    auto enabled = [&] { return qMakePair(undo->isEnabled(), redo->isEnabled()); };
    QCOMPARE(enabled(), qMakePair(false, false));
    click("Command5"); // Clear of a white canvas changes nothing
    QCOMPARE(enabled(), qMakePair(false, false));

    QTest::mousePress(box(), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(enabled(), qMakePair(false, false)); // the stroke is not finished
    QTest::mouseMove(box(), QPoint(30, 20));
    QTest::mouseRelease(box(), Qt::LeftButton, {}, QPoint(30, 20));
    QCOMPARE(blackCount(canvas()), 2);
    QCOMPARE(enabled(), qMakePair(true, false));

    // The keyboard in a text box does not keep the buttons from working.
    typeInto(control<QLineEdit>("pictxt"), QStringLiteral("ab"));
    control<QPushButton>("cmdUndo")->click();
    QCOMPARE(undone.count(), 1);
    QCOMPARE(blackCount(canvas()), 0);
    QCOMPARE(control<QLineEdit>("pictxt")->text(), QStringLiteral("ab"));
    QCOMPARE(enabled(), qMakePair(false, true));

    click("cmdRedo");
    QCOMPARE(redone.count(), 1);
    QCOMPARE(blackCount(canvas()), 2);
    QCOMPARE(enabled(), qMakePair(true, false));

    // Undone, then a new change: nothing is left to redo.
    click("cmdUndo");
    QCOMPARE(enabled(), qMakePair(false, true));
    click("cmdInvert");
    QCOMPARE(enabled(), qMakePair(true, false));
    // The keys follow the same history.
    QVERIFY(!control<QAction>("actRedo")->isEnabled());
    click("cmdUndo");
    QVERIFY(control<QAction>("actRedo")->isEnabled());
    QCOMPARE(undone.count(), 3);
}

void TestCanvasTools::shiftStrokeJoinsPositions() {
    chooseZoom(1); // x2
    QTest::mousePress(box(), Qt::LeftButton, {}, QPoint(20, 20));
    emit box()->mouseMove(Qt::LeftButton, Qt::ShiftModifier, 200.5, 10.5);
    emit box()->mouseMove(Qt::LeftButton, {}, 230.5, 60.5); // without Shift: a lone dot
    QTest::mouseRelease(box(), Qt::LeftButton, {}, QPoint(460, 120));
    QCOMPARE(blackCount(canvas()), 200 - 10 + 1 + 1);
    for (int x = 10; x <= 200; ++x) {
        int inColumn = 0;
        for (int y = 0; y < 64; ++y)
            inColumn += canvas().isSet(x, y);
        QCOMPARE(inColumn, 1);
    }
    QCOMPARE(state().history.undoCount(), 1);
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
    chooseSize(7);
    QTest::qWait(20);
    QVERIFY(!control<QScrollArea>("stage")->horizontalScrollBar()->isVisible());
    QVERIFY(!control<QScrollArea>("stage")->verticalScrollBar()->isVisible());
    chooseZoom(1);
    QTest::qWait(20);
    QVERIFY(control<QScrollArea>("stage")->horizontalScrollBar()->isVisible());

    // More room goes to the stage and the output window.
    const QSize stage = control<QScrollArea>("stage")->size(),
                output = control<TextBox>("Text3")->size();
    w->resize(minimum + QSize(400, 300));
    QTest::qWait(20);
    QVERIFY(control<QScrollArea>("stage")->width() >= stage.width() + 300);
    QVERIFY2(control<QScrollArea>("stage")->height() > stage.height() + 60,
             qPrintable(QStringLiteral("%1 -> %2, window %3")
                            .arg(stage.height())
                            .arg(control<QScrollArea>("stage")->height())
                            .arg(w->height())));
    QVERIFY(control<TextBox>("Text3")->height() > output.height() + 50);
}

void TestCanvasTools::layoutStaysPutWhenCaptionsChange() {
    w->resize(w->minimumSizeHint());
    QTest::qWait(20);
    auto places = [&] {
        QList<QRect> rects;
        for (const char* name : {"Frame4", "Frame5", "Frame1", "txtcase", "Command11", "Command12",
                                 "Command13", "Command14", "Command16", "Frame7"}) {
            const QWidget* widget = control(QLatin1String(name));
            rects << QRect(widget->mapTo(w, QPoint(0, 0)), widget->size());
        }
        return rects;
    };
    const QList<QRect> start = places();
    click("Option2(0)"); // Vertical hides the controller caption
    QTest::qWait(10);
    QCOMPARE(places(), start);
    click("Check1"); // Load EEprom renames button and frame
    QTest::qWait(10);
    QCOMPARE(control<QPushButton>("Command16")->text(), QStringLiteral("Load Eeprom"));
    QCOMPARE(places(), start);
}

void TestCanvasTools::outputWindowShowsWholeLines() {
    control<TextBox>("Text3")->setText(QString(20000, QLatin1Char('f')));
    for (int extra : {0, 7, 23, 150}) {
        w->resize(w->minimumSizeHint() + QSize(0, extra));
        QTest::qWait(10);
        QScrollBar* bar = control<TextBox>("Text3")->verticalScrollBar();
        for (int value : {0, 3, bar->maximum()}) {
            bar->setValue(value);
            QWidget* viewport = control<TextBox>("Text3")->viewport();
            const QTextCursor last =
                control<TextBox>("Text3")->cursorForPosition(QPoint(2, viewport->height() - 1));
            // The caret rectangle runs one pixel past its line.
            QVERIFY2(control<TextBox>("Text3")->cursorRect(last).bottom() <= viewport->height(),
                     qPrintable(QStringLiteral("+%1 at %2").arg(extra).arg(value)));
        }
    }
}

void TestCanvasTools::outputFormatKeepsItsShapeWhenWider() {
    struct Place {
        int left, right;
    };
    auto place = [&](const char* name) {
        const QWidget* widget = control(QLatin1String(name));
        const int left = widget->mapTo(w, QPoint(0, 0)).x();
        return Place{left, left + widget->width()};
    };
    w->resize(w->minimumSizeHint());
    QTest::qWait(20);
    const Place format = place("txtfrmt"), delimiter = place("txtDelim"),
                delimiterLabel = place("Label6");
    QVERIFY(format.right - format.left >= control("Text4")->width());
    QVERIFY(delimiter.right - delimiter.left >= control("Text4")->width());
    for (int extra : {300, 900}) {
        w->resize(w->minimumSizeHint() + QSize(extra, 200));
        QTest::qWait(20);
        const Place wideFormat = place("txtfrmt"), wideDelimiter = place("txtDelim"),
                    wideLabel = place("Label6"), header = place("txthead");
        const QString where = QStringLiteral("+%1").arg(extra);
        // Both boxes take their share of the room ...
        QVERIFY2(wideFormat.right - wideFormat.left > format.right - format.left + extra / 8,
                 qPrintable(where));
        QVERIFY2(std::abs((wideFormat.right - wideFormat.left) -
                          (wideDelimiter.right - wideDelimiter.left)) <= 1,
                 qPrintable(where));
        // ... and the Delimiter label stays right after the Format box, the Delimiter box right
        // after its label, its right edge on the Header box's.
        QCOMPARE(wideLabel.left - wideFormat.right, delimiterLabel.left - format.right);
        QCOMPARE(wideDelimiter.left - wideLabel.right, delimiter.left - delimiterLabel.right);
        QCOMPARE(wideDelimiter.right, header.right);
    }
}

void TestCanvasTools::labelsUseTheWindowFont() {
    const QFont font = w->font();
    const auto labels = w->findChildren<QLabel*>();
    QVERIFY(labels.size() > 20);
    for (const QLabel* label : labels) {
        if (owningWindow(label) != w)
            continue;
        QVERIFY2(label->font().family() == font.family() &&
                     label->font().pointSizeF() == font.pointSizeF(),
                 qPrintable(QStringLiteral("%1: %2 %3")
                                .arg(label->objectName(), label->font().family())
                                .arg(label->font().pointSizeF())));
    }
}

void TestCanvasTools::receiveWindowBreaksBetweenWords() {
    auto* receive = control<TextBox>("Text1");
    const QString status =
        QStringLiteral("BUSY chunk 36: 0.0 ms before the wait character, smallest gap 0.0 ms");
    const QString longWord(200, QLatin1Char('f'));
    receive->setText(status + QStringLiteral("\r\n") + longWord);
    w->resize(w->minimumSizeHint());
    QTest::qWait(20);
    const QTextBlock first = receive->document()->firstBlock();
    QTextLayout* layout = first.layout();
    QVERIFY(layout->lineCount() > 1); // the box is narrower than the line
    for (int i = 0; i + 1 < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const int end = line.textStart() + line.textLength();
        QVERIFY2(first.text().at(end - 1).isSpace() || !first.text().at(end).isLetterOrNumber(),
                 qPrintable(first.text().mid(line.textStart(), line.textLength())));
    }
    // A word longer than the box still breaks.
    QVERIFY(first.next().layout()->lineCount() > 1);
}

QUORVEL_TEST_MAIN(TestCanvasTools)
#include "test_canvas_tools.moc"

// The output window's buttons: Reformat For Output, UpCase/LowCase, Copy, Save, Clear, Restore.
#include "app/CanvasView.h"
#include "app/CommonDialog.h"
#include "app/Main.h"
#include "app/TextBox.h"
#include "convert/ByteMatrix.h"
#include "support/Modals.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>

class TestOutputWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void reformatCutsIntoPieces_data();
    void reformatCutsIntoPieces();
    void reformatRefusesDecoratedText_data();
    void reformatRefusesDecoratedText();
    void reformatAfterClearStartsWithWaitChars();
    void staleTransmitTextIsNotSent_data();
    void staleTransmitTextIsNotSent();
    void failedConvertLeavesNothingToReformat();
    void upCaseTwice();
    void restore();
    void copy();
    void save_data();
    void save();
    void saveFailureKeepsText();

private:
    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    // A 128x64 conversion: vertical gives 2048 characters, horizontal (from the canvas) 2050.
    void convert128(bool vertical) {
        QTest::mouseClick(w->optgrf[1], Qt::LeftButton);
        if (vertical)
            QTest::mouseClick(w->Option2[0], Qt::LeftButton);
        w->canvas.setPixel(0, 0, Canvas::Black);
        click(w->Command9);
    }

    Main* w = nullptr;
    Modals* modals = nullptr;
};

void TestOutputWindow::init() {
    w = new Main;
    modals = new Modals(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestOutputWindow::cleanup() {
    delete w;
    w = nullptr;
}

void TestOutputWindow::reformatCutsIntoPieces_data() {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<int>("pieces");
    QTest::addColumn<QString>("lastPiece");
    QTest::newRow("2048 characters") << true << 64 << QString();
    QTest::newRow("2050 characters") << false << 65 << "00";
}

void TestOutputWindow::reformatCutsIntoPieces() {
    QFETCH(bool, vertical);
    QFETCH(int, pieces);
    QFETCH(QString, lastPiece);
    convert128(vertical);
    // What a user may do before reformatting: spaces and capitals around the data.
    const QString converted = w->Text3->text();
    w->Text3->setText(QStringLiteral("  ") + converted.toUpper() + QStringLiteral(" "));
    w->picHeader = QStringLiteral("*3200000A");
    QVERIFY(w->Command15->isEnabled());
    click(w->Command15);
    QVERIFY(modals->texts.isEmpty());
    QCOMPARE(w->convText, converted);
    const QString expectedHeader = QStringLiteral("*3200000a");
    QCOMPARE(w->xmitText.left(expectedHeader.size()), expectedHeader);
    const QStringList parts = w->xmitText.mid(expectedHeader.size()).split(QLatin1Char(']'));
    QCOMPARE(parts.size(), pieces + 1);
    QVERIFY(parts[0].isEmpty()); // the stream opens with the wait character
    for (int i = 1; i < 65; ++i)
        QCOMPARE(parts[i], converted.mid((i - 1) * 32, 32));
    if (!lastPiece.isEmpty())
        QCOMPARE(parts.last(), lastPiece);
    QCOMPARE(w->Text3->text(), w->xmitText);
    QVERIFY(w->Command16->isEnabled());
    QVERIFY(!w->Command15->isEnabled());
}

void TestOutputWindow::reformatRefusesDecoratedText_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("footer");
    QTest::addColumn<QString>("refusal"); // empty: accepted
    const QString noFormat = "No Format or Delimiters allowed\n\rConvert again without them.";
    const QString noHeader = "No Header or Footer allowed\n\rConvert again without them.";
    QTest::newRow("format") << "0x"
                            << ""
                            << ""
                            << "" << noFormat;
    QTest::newRow("delimiter") << ""
                               << ","
                               << ""
                               << "" << noFormat;
    QTest::newRow("a space is not empty") << " "
                                          << ""
                                          << ""
                                          << "" << noFormat;
    QTest::newRow("format before header") << "0x"
                                          << ""
                                          << "DB "
                                          << "" << noFormat;
    // The PIC would take a Header or Footer as picture data.
    QTest::newRow("header") << ""
                            << ""
                            << "DB "
                            << "" << noHeader;
    QTest::newRow("footer") << ""
                            << ""
                            << ""
                            << ";" << noHeader;
    QTest::newRow("a space header is not empty") << ""
                                                 << ""
                                                 << " "
                                                 << "" << noHeader;
    QTest::newRow("nothing set") << ""
                                 << ""
                                 << ""
                                 << ""
                                 << "";
}

void TestOutputWindow::reformatRefusesDecoratedText() {
    QFETCH(QString, format);
    QFETCH(QString, delimiter);
    QFETCH(QString, header);
    QFETCH(QString, footer);
    QFETCH(QString, refusal);
    convert128(true);
    w->txtfrmt->setText(format);
    w->txtDelim->setText(delimiter);
    w->txthead->setText(header);
    w->txtfoot->setText(footer);
    w->Text3->setText(QStringLiteral("DB ff00"));
    click(w->Command15);
    if (!refusal.isEmpty()) {
        QCOMPARE(modals->texts, QStringList{refusal});
        QCOMPARE(w->Text3->text(), QStringLiteral("DB ff00"));
        QVERIFY(w->xmitText.isEmpty());
        QVERIFY(w->Command15->isEnabled());
        QVERIFY(!w->Command16->isEnabled());
    } else {
        QVERIFY(modals->texts.isEmpty());
        QCOMPARE(w->xmitText, w->picHeader.toLower() + QStringLiteral("]db ff00"));
        QVERIFY(w->Command16->isEnabled());
    }
}

using WindowChange = std::function<void(Main*)>;
Q_DECLARE_METATYPE(WindowChange)

void TestOutputWindow::staleTransmitTextIsNotSent_data() {
    QTest::addColumn<WindowChange>("change");
    QTest::addColumn<QString>("reason"); // what the button's tooltip names; empty: still current
    const auto type = [](QLineEdit* box, const QString& text) {
        box->setFocus();
        QTest::keyClicks(box, text);
    };
    QTest::newRow("pen dot") << WindowChange([](Main* w) {
        QTest::mouseClick(w->Picture1, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    }) << "the canvas";
    QTest::newRow("text stamp") << WindowChange([](Main* w) {
        w->pictxt->setText(QStringLiteral("Hi"));
        QTest::mouseClick(w->cmdtext, Qt::LeftButton);
    }) << "the canvas";
    QTest::newRow("Clear") << WindowChange([](Main* w) {
        QTest::mouseClick(w->Command5, Qt::LeftButton);
    }) << "the canvas";
    QTest::newRow("size") << WindowChange([](Main* w) {
        QTest::mouseClick(w->optgrf[2], Qt::LeftButton);
    }) << "the canvas, the LCD size";
    QTest::newRow("Byte Matrix") << WindowChange([](Main* w) {
        QTest::mouseClick(w->Option2[1], Qt::LeftButton);
    }) << "Byte Matrix";
    QTest::newRow("Inverted") << WindowChange([](Main* w) {
        QTest::mouseClick(w->chkinvert, Qt::LeftButton);
    }) << "Inverted";
    QTest::newRow("Load EEprom") << WindowChange([](Main* w) {
        QTest::mouseClick(w->Check1, Qt::LeftButton);
    }) << "Load EEprom";
    QTest::newRow("Start Addr") << WindowChange([](Main* w) {
        w->eeprom->setText(QStringLiteral("16"));
    }) << "Start Addr";
    QTest::newRow("PIC Buffer") << WindowChange([](Main* w) { w->List2->setCurrentRow(5); })
                                << "PIC Buffer";
    QTest::newRow("PIC Delay") << WindowChange([](Main* w) { w->List3->setCurrentRow(0); })
                               << "PIC Delay";
    QTest::newRow("Wait Chr") << WindowChange([type](Main* w) { type(w->Text4, "x"); })
                              << "Wait Chr";
    QTest::newRow("Format") << WindowChange([type](Main* w) { type(w->txtfrmt, "0x"); })
                            << "Format";
    QTest::newRow("Delimiter") << WindowChange([type](Main* w) { type(w->txtDelim, ","); })
                               << "Delimiter";
    QTest::newRow("Header") << WindowChange([type](Main* w) { type(w->txthead, "db"); })
                            << "Header";
    QTest::newRow("Footer") << WindowChange([type](Main* w) { type(w->txtfoot, ";"); }) << "Footer";
    // What Convert and Reformat do not read leaves the stream as it is.
    QTest::newRow("Xmit Delay") << WindowChange([type](Main* w) { type(w->xmitdelay, "0"); }) << "";
    QTest::newRow("editing the output window")
        << WindowChange([type](Main* w) { w->Text3->setPlainText(QStringLiteral("typed")); }) << "";
    QTest::newRow("painting the canvas")
        << WindowChange([](Main* w) { w->Picture1->repaint(); }) << "";
}

void TestOutputWindow::staleTransmitTextIsNotSent() {
    QFETCH(WindowChange, change);
    QFETCH(QString, reason);
    convert128(true);
    click(w->Command15);
    QVERIFY(w->Command16->isEnabled());
    change(w);
    QCOMPARE(w->Command16->isEnabled(), reason.isEmpty());
    if (!reason.isEmpty()) {
        QCOMPARE(w->Command16->toolTip(),
                 QStringLiteral("Convert and Reformat again: %1 changed since").arg(reason));
        // Changing it back is not enough: only a new Convert and Reformat build the stream.
        click(w->Command9);
        QVERIFY(!w->Command16->isEnabled());
        if (w->Command15->isEnabled() && w->txtfrmt->text().isEmpty() &&
            w->txtDelim->text().isEmpty() && w->txthead->text().isEmpty() &&
            w->txtfoot->text().isEmpty()) {
            click(w->Command15);
            QVERIFY(w->Command16->isEnabled());
            QCOMPARE(w->Command16->toolTip(), QString());
        }
    }
    QVERIFY2(modals->texts.isEmpty(), qPrintable(modals->texts.join('|')));
}

void TestOutputWindow::failedConvertLeavesNothingToReformat() {
    convert128(true);
    click(w->Command15);
    QVERIFY(w->Command16->isEnabled());
    QTest::mouseClick(w->Check1, Qt::LeftButton); // EEPROM mode reads the start address
    w->eeprom->setText(QStringLiteral("abc"));
    click(w->Command9);
    QCOMPARE(modals->texts.size(), 1);
    QVERIFY(modals->texts[0].startsWith(QStringLiteral("Error: ")));
    QVERIFY(!w->Command15->isEnabled());
    QVERIFY(!w->Command16->isEnabled());
}

void TestOutputWindow::reformatAfterClearStartsWithWaitChars() {
    convert128(true);
    w->picHeader = QStringLiteral("*3200000A"); // as getparam leaves it
    const QString converted = w->Text3->text();
    click(w->Command13);
    QCOMPARE(w->Text3->text(), QString());
    QVERIFY(w->picHeader.isEmpty());
    QVERIFY(!w->Command12->isEnabled());
    QCOMPARE(w->restoreText, converted);
    click(w->Command14);
    w->Text4->setText(QStringLiteral("]]"));
    click(w->Command15);
    QVERIFY(
        w->xmitText.startsWith(QStringLiteral("]]") + converted.left(32) + QStringLiteral("]]")));
}

void TestOutputWindow::upCaseTwice() {
    convert128(true);
    w->Text3->setText(QStringLiteral("Ab ff"));
    click(w->txtcase);
    QCOMPARE(w->txtcase->text(), QStringLiteral("&LowCase"));
    QCOMPARE(w->Text3->text(), QStringLiteral("AB FF"));
    click(w->txtcase);
    QCOMPARE(w->txtcase->text(), QStringLiteral("&UpCase"));
    QCOMPARE(w->Text3->text(), QStringLiteral("ab ff"));
    QCOMPARE(w->convText, w->restoreText); // only the window changes case
    QVERIFY(!w->convText.contains(QLatin1Char('F')));
}

void TestOutputWindow::restore() {
    w->Text3->setText(QStringLiteral("typed"));
    click(w->Command14);
    QCOMPARE(w->Text3->text(), QString()); // nothing converted yet
    QVERIFY(w->Command12->isEnabled());

    convert128(false);
    const QString converted = w->Text3->text();
    click(w->Command15);
    QVERIFY(w->Text3->text() != converted);
    click(w->Command14);
    QCOMPARE(w->Text3->text(), converted);
    QVERIFY(!w->Command15->isEnabled()); // one Reformat per Convert
}

void TestOutputWindow::copy() {
    w->Text3->setText(QStringLiteral("ff00\r\n80"));
    click(w->Command11);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ff00\r\n80"));
    QCOMPARE(modals->texts, QStringList{"Text copied to Clipboad"});
}

void TestOutputWindow::save_data() {
    QTest::addColumn<QString>("chosen");  // relative to a fresh directory; empty = cancel
    QTest::addColumn<QString>("written"); // the file that must hold the text; empty = none
    QTest::addColumn<QByteArray>("before");
    QTest::newRow("new file") << "table.txt"
                              << "table.txt" << QByteArray();
    QTest::newRow("default extension") << "table"
                                       << "table.txt" << QByteArray();
    QTest::newRow("basic file") << "table.bas"
                                << "table.bas" << QByteArray();
    QTest::newRow("replaces a longer file") << "old.txt"
                                            << "old.txt" << QByteArray(500, 'x');
    QTest::newRow("cancelled") << ""
                               << "" << QByteArray();
}

void TestOutputWindow::save() {
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(QByteArray, before);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (!before.isEmpty()) {
        QFile old(dir.filePath(written));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(before);
    }
    convert128(true);
    const QString text = QStringLiteral("DATA ") + w->Text3->text() + QStringLiteral(" \u00e9\r\n");
    w->Text3->setText(text);
    QVERIFY(w->Command12->isEnabled());
    modals->fileAnswers = {chosen.isEmpty() ? QString() : dir.filePath(chosen)};
    click(w->Command12);
    QTRY_COMPARE(modals->dialogs.size(), 1);
    QCOMPARE(modals->dialogs[0].title, QStringLiteral("LCD File to Save"));
    QCOMPARE(modals->dialogs[0].filters, (QStringList{"Text (*.txt)", "Basic (*.bas)"}));
    QCOMPARE(w->commdlg->Filter, QStringLiteral("Text(*.txt)|*.txt|Basic (*.bas)|*.bas"));
    QCOMPARE(w->commdlg->DefaultExt, QStringLiteral("*.txt"));
    // An existing file makes the dialog ask before replacing it; that box is answered Yes.
    QCOMPARE(modals->texts.size(), before.isEmpty() ? 0 : 1);
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    if (written.isEmpty()) {
        QVERIFY2(files.isEmpty(), qPrintable(files.join(QLatin1Char(' '))));
        return;
    }
    QCOMPARE(files, QStringList{written});
    QFile file(dir.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), text.toLatin1()); // one byte a character, no line end added
}

void TestOutputWindow::saveFailureKeepsText() {
    QTemporaryDir dir;
    click(w->Command14); // enables Save
    w->Text3->setText(QStringLiteral("ff00"));
    modals->fileAnswers = {dir.filePath(QStringLiteral("missing/table.txt"))};
    click(w->Command12);
    QCOMPARE(modals->texts.size(), 1);
    QVERIFY2(modals->texts[0].startsWith(QStringLiteral("File Save Error - ")) &&
                 modals->texts[0].size() > 18,
             qPrintable(modals->texts[0]));
    QCOMPARE(w->Text3->text(), QStringLiteral("ff00"));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing/table.txt"))));
}

QTEST_MAIN(TestOutputWindow)
#include "test_output_window.moc"

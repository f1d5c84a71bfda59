// The output window's buttons: Reformat For Output, UpCase/LowCase, Copy, Save, Clear, Restore.
#include "app/CanvasView.h"
#include "app/CommonDialog.h"
#include "app/Main.h"
#include "app/TextBox.h"
#include "support/TestGroup.h"
#include "support/WindowTest.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>

class TestOutputWindow : public WindowTest {
    Q_OBJECT
public:
    TestOutputWindow() : WindowTest(true) {}

private slots:
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
    // A 128x64 conversion: vertical gives 2048 characters, horizontal (from the canvas) 2050.
    void convert128(bool vertical) {
        click("optgrf(1)");
        if (vertical)
            click("Option2(0)");
        clickPixels(control<CanvasView>("Picture1"), {{0, 0}});
        click("Command9");
    }
    TextBox* output() const { return control<TextBox>("Text3"); }
    QPushButton* button(const char* name) const { return control<QPushButton>(name); }
    QLineEdit* box(const char* name) const { return control<QLineEdit>(name); }
};

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
    // The header Convert built for the 128x64 panel at PIC Buffer 32 and PIC Delay 10, with a
    // capital A: the stream carries it in lower case.
    QCOMPARE(state().pic.header, QStringLiteral("*32000000A"));
    // What a user may do before reformatting: spaces and capitals around the data.
    const QString converted = output()->text();
    output()->setText(QStringLiteral("  ") + converted.toUpper() + QStringLiteral(" "));
    QVERIFY(button("Command15")->isEnabled());
    click("Command15");
    QVERIFY(modals->texts.isEmpty());
    QCOMPARE(state().convText, converted);
    const QString expectedHeader = QStringLiteral("*32000000a");
    const QString& xmit = state().xmitText;
    QCOMPARE(xmit.left(expectedHeader.size()), expectedHeader);
    const QStringList parts = xmit.mid(expectedHeader.size()).split(QLatin1Char(']'));
    QCOMPARE(parts.size(), pieces + 1);
    QVERIFY(parts[0].isEmpty()); // the stream opens with the wait character
    for (int i = 1; i < 65; ++i)
        QCOMPARE(parts[i], converted.mid((i - 1) * 32, 32));
    if (!lastPiece.isEmpty())
        QCOMPARE(parts.last(), lastPiece);
    QCOMPARE(output()->text(), xmit);
    QVERIFY(state().transmitCurrent());
    QVERIFY(button("Command16")->isEnabled());
    QVERIFY(!button("Command15")->isEnabled());
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
    typeInto(box("txtfrmt"), format);
    typeInto(box("txtDelim"), delimiter);
    typeInto(box("txthead"), header);
    typeInto(box("txtfoot"), footer);
    output()->setText(QStringLiteral("DB ff00"));
    click("Command15");
    if (!refusal.isEmpty()) {
        QCOMPARE(modals->texts, QStringList{refusal});
        QCOMPARE(output()->text(), QStringLiteral("DB ff00"));
        QVERIFY(state().xmitText.isEmpty());
        QVERIFY(button("Command15")->isEnabled());
        QVERIFY(!button("Command16")->isEnabled());
    } else {
        QVERIFY(modals->texts.isEmpty());
        QCOMPARE(state().xmitText, QStringLiteral("*32000000a]db ff00"));
        QVERIFY(button("Command16")->isEnabled());
    }
}

// What the user does to the window between a Reformat and Send to LCD.
using WindowChange = std::function<void(const QWidget* window)>;
Q_DECLARE_METATYPE(WindowChange)

void TestOutputWindow::staleTransmitTextIsNotSent_data() {
    QTest::addColumn<WindowChange>("change");
    QTest::addColumn<QString>("reason"); // what the button's tooltip names; empty: still current
    // Keys typed at the end of what a box holds.
    const auto type = [](const QWidget* w, const char* name, const QString& text) {
        auto* box = findControl<QLineEdit>(w, name);
        box->setFocus();
        box->end(false);
        QTest::keyClicks(box, text);
    };
    QTest::newRow("pen dot") << WindowChange([](const QWidget* w) {
        clickPixels(findControl<CanvasView>(w, "Picture1"), {{20, 20}});
    }) << "the canvas";
    QTest::newRow("text stamp") << WindowChange([](const QWidget* w) {
        typeInto(findControl<QLineEdit>(w, "pictxt"), QStringLiteral("Hi"));
        clickControl(w, "cmdtext");
    }) << "the canvas";
    QTest::newRow("Clear") << WindowChange([](const QWidget* w) { clickControl(w, "Command5"); })
                           << "the canvas";
    QTest::newRow("size") << WindowChange([](const QWidget* w) { clickControl(w, "optgrf(2)"); })
                          << "the canvas, the LCD size";
    QTest::newRow("Byte Matrix") << WindowChange([](const QWidget* w) {
        clickControl(w, "Option2(1)");
    }) << "Byte Matrix";
    QTest::newRow("Inverted") << WindowChange([](const QWidget* w) {
        clickControl(w, "chkinvert");
    }) << "Inverted";
    QTest::newRow("Load EEprom") << WindowChange([](const QWidget* w) {
        clickControl(w, "Check1");
    }) << "Load EEprom";
    // The box takes no keys until Load EEprom is ticked, which would be a change of its own.
    QTest::newRow("Start Addr") << WindowChange([](const QWidget* w) {
        findControl<QLineEdit>(w, "eeprom")->setText(QStringLiteral("16"));
    }) << "Start Addr";
    QTest::newRow("PIC Buffer") << WindowChange([](const QWidget* w) {
        clickRow(findControl<QListWidget>(w, "List2"), 5);
    }) << "PIC Buffer";
    QTest::newRow("PIC Delay") << WindowChange([](const QWidget* w) {
        clickRow(findControl<QListWidget>(w, "List3"), 0);
    }) << "PIC Delay";
    QTest::newRow("Wait Chr") << WindowChange([type](const QWidget* w) { type(w, "Text4", "x"); })
                              << "Wait Chr";
    QTest::newRow("Format") << WindowChange([type](const QWidget* w) { type(w, "txtfrmt", "0x"); })
                            << "Format";
    QTest::newRow("Delimiter") << WindowChange([type](const QWidget* w) {
        type(w, "txtDelim", ",");
    }) << "Delimiter";
    QTest::newRow("Header") << WindowChange([type](const QWidget* w) { type(w, "txthead", "db"); })
                            << "Header";
    QTest::newRow("Footer") << WindowChange([type](const QWidget* w) { type(w, "txtfoot", ";"); })
                            << "Footer";
    // What Convert and Reformat do not read leaves the stream as it is.
    QTest::newRow("Xmit Delay") << WindowChange([type](const QWidget* w) {
        type(w, "xmitdelay", "0");
    }) << "";
    QTest::newRow("editing the output window") << WindowChange([](const QWidget* w) {
        findControl<TextBox>(w, "Text3")->setPlainText(QStringLiteral("typed"));
    }) << "";
    QTest::newRow("painting the canvas")
        << WindowChange([](const QWidget* w) { findControl<CanvasView>(w, "Picture1")->repaint(); })
        << "";
}

void TestOutputWindow::staleTransmitTextIsNotSent() {
    QFETCH(WindowChange, change);
    QFETCH(QString, reason);
    convert128(true);
    click("Command15");
    QVERIFY(button("Command16")->isEnabled());
    change(w);
    QCOMPARE(button("Command16")->isEnabled(), reason.isEmpty());
    QCOMPARE(state().transmitCurrent(), reason.isEmpty());
    if (!reason.isEmpty()) {
        QCOMPARE(button("Command16")->toolTip(),
                 QStringLiteral("Convert and Reformat again: %1 changed since").arg(reason));
        // Changing it back is not enough: only a new Convert and Reformat build the stream.
        click("Command9");
        QVERIFY(!button("Command16")->isEnabled());
        if (button("Command15")->isEnabled() && box("txtfrmt")->text().isEmpty() &&
            box("txtDelim")->text().isEmpty() && box("txthead")->text().isEmpty() &&
            box("txtfoot")->text().isEmpty()) {
            click("Command15");
            QVERIFY(button("Command16")->isEnabled());
            QCOMPARE(button("Command16")->toolTip(), QString());
        }
    }
    QVERIFY2(modals->texts.isEmpty(), qPrintable(modals->texts.join('|')));
}

void TestOutputWindow::failedConvertLeavesNothingToReformat() {
    convert128(true);
    click("Command15");
    QVERIFY(button("Command16")->isEnabled());
    click("Check1"); // EEPROM mode reads the start address
    typeInto(box("eeprom"), QStringLiteral("abc"));
    click("Command9");
    QCOMPARE(modals->texts.size(), 1);
    QVERIFY(modals->texts[0].startsWith(QStringLiteral("Error: ")));
    QVERIFY(!button("Command15")->isEnabled());
    QVERIFY(!button("Command16")->isEnabled());
}

void TestOutputWindow::reformatAfterClearStartsWithWaitChars() {
    convert128(true);
    QVERIFY(!state().pic.header.isEmpty()); // as Convert leaves it
    const QString converted = output()->text();
    click("Command13");
    QCOMPARE(output()->text(), QString());
    QVERIFY(state().pic.header.isEmpty());
    QVERIFY(!button("Command12")->isEnabled());
    QCOMPARE(state().restoreText, converted);
    click("Command14");
    typeInto(box("Text4"), QStringLiteral("]]"));
    click("Command15");
    QVERIFY(state().xmitText.startsWith(QStringLiteral("]]") + converted.left(32) +
                                        QStringLiteral("]]")));
}

void TestOutputWindow::upCaseTwice() {
    convert128(true);
    output()->setText(QStringLiteral("Ab ff"));
    click("txtcase");
    QCOMPARE(button("txtcase")->text(), QStringLiteral("&LowCase"));
    QCOMPARE(output()->text(), QStringLiteral("AB FF"));
    click("txtcase");
    QCOMPARE(button("txtcase")->text(), QStringLiteral("&UpCase"));
    QCOMPARE(output()->text(), QStringLiteral("ab ff"));
    QCOMPARE(state().convText, state().restoreText); // only the window changes case
    QVERIFY(!state().convText.contains(QLatin1Char('F')));
}

void TestOutputWindow::restore() {
    output()->setText(QStringLiteral("typed"));
    click("Command14");
    QCOMPARE(output()->text(), QString()); // nothing converted yet
    QVERIFY(button("Command12")->isEnabled());

    convert128(false);
    const QString converted = output()->text();
    click("Command15");
    QVERIFY(output()->text() != converted);
    click("Command14");
    QCOMPARE(output()->text(), converted);
    QVERIFY(!button("Command15")->isEnabled()); // one Reformat per Convert
}

void TestOutputWindow::copy() {
    output()->setText(QStringLiteral("ff00\r\n80"));
    click("Command11");
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
    const QString text = QStringLiteral("DATA ") + output()->text() + QStringLiteral(" \u00e9\r\n");
    output()->setText(text);
    QVERIFY(button("Command12")->isEnabled());
    modals->fileAnswers = {chosen.isEmpty() ? QString() : dir.filePath(chosen)};
    click("Command12");
    QTRY_COMPARE(modals->dialogs.size(), 1);
    QCOMPARE(modals->dialogs[0].title, QStringLiteral("LCD File to Save"));
    QCOMPARE(modals->dialogs[0].filters, (QStringList{"Text (*.txt)", "Basic (*.bas)"}));
    const auto* dialog = control<CommonDialog>("commdlg");
    QCOMPARE(dialog->Filter, QStringLiteral("Text(*.txt)|*.txt|Basic (*.bas)|*.bas"));
    QCOMPARE(dialog->DefaultExt, QStringLiteral("*.txt"));
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
    click("Command14"); // enables Save
    output()->setText(QStringLiteral("ff00"));
    modals->fileAnswers = {dir.filePath(QStringLiteral("missing/table.txt"))};
    click("Command12");
    QCOMPARE(modals->texts.size(), 1);
    QVERIFY2(modals->texts[0].startsWith(QStringLiteral("File Save Error - ")) &&
                 modals->texts[0].size() > 18,
             qPrintable(modals->texts[0]));
    QCOMPARE(output()->text(), QStringLiteral("ff00"));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing/table.txt"))));
}

QUORVEL_TEST_MAIN(TestOutputWindow)
#include "test_output_window.moc"

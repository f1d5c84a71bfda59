// The text boxes under edits: the text they keep against what their QTextDocument shows, huge texts
// cut into pieces without the pieces reaching the text or a copy, and pastes of nothing.
#include "app/Main.h"
#include "app/TextBox.h"
#include "support/Controls.h"

#include <QtTest>
#include <QtWidgets>
#include <random>

namespace {
// What the box must hold for what its document shows: every paragraph break the user sees is a
// CR LF, the box's own soft breaks are nothing.
QString expectedText(TextBox& box) {
    QTextCursor all(box.document());
    all.select(QTextCursor::Document);
    QString shown = all.selectedText();
    const std::vector<int>& soft = box.softBreaks();
    for (auto it = soft.rbegin(); it != soft.rend(); ++it) {
        if (shown.at(*it) != QChar::ParagraphSeparator)
            return QStringLiteral("<soft break at %1 is no break>").arg(*it);
        shown.remove(*it, 1);
    }
    return shown.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
}

QString hexLine(int length, int seed = 0) {
    QString text(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        text[i] = QLatin1Char("0123456789abcdef"[(i * 7 + seed) % 16]);
    return text;
}

void typeAt(TextBox& box, int position, const QString& keys) {
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(position);
    box.setTextCursor(cursor);
    for (const QChar c : keys) {
        if (c == QLatin1Char('\r'))
            QTest::keyClick(&box, Qt::Key_Return);
        else if (c == QLatin1Char('\b'))
            QTest::keyClick(&box, Qt::Key_Backspace);
        else if (c == QLatin1Char('\x7f'))
            QTest::keyClick(&box, Qt::Key_Delete);
        else
            QTest::keyClicks(&box, QString(c));
    }
}

// A child run under Xvfb: Ctrl+V into each text box of the window with nothing on the clipboard.
int pasteWithEmptyClipboard(int argc, char** argv) {
    QApplication app(argc, argv);
    Main w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 3;
    QGuiApplication::clipboard()->clear();
    QApplication::processEvents();
    for (TextBox* box : {findControl<TextBox>(&w, "Text1"), findControl<TextBox>(&w, "Text2"),
                         findControl<TextBox>(&w, "Text3")}) {
        const QString before = box->text();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        box->paste();
        if (box->text() != before)
            return 4;
    }
    return 0;
}
} // namespace

class TestTextBox : public QObject {
    Q_OBJECT
private slots:
    void editsKeepTheText_data();
    void editsKeepTheText();
    void manyEditsOnAHugeText();
    void hugeTextInPiecesNeverInTheText_data();
    void hugeTextInPiecesNeverInTheText();
    void hugeOpenThenKeysStayQuick();
    void pasteOfNoText();
    void tabInTheBoxes_data();
    void tabInTheBoxes();
    void emptyClipboardPasteUnderX11();
};

void TestTextBox::editsKeepTheText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position"); // document position of the cursor
    QTest::addColumn<QString>("keys"); // CR: Enter, BS: Backspace, DEL: Delete
    QTest::addColumn<QString>("kept");
    QTest::newRow("type at the end") << "ab\r\ncd" << 5 << "x"
                                     << "ab\r\ncdx";
    QTest::newRow("Enter in the middle") << "abcd" << 2 << "\r"
                                         << "ab\r\ncd";
    QTest::newRow("Backspace joins two lines") << "ab\r\ncd" << 3 << "\b"
                                               << "abcd";
    QTest::newRow("Delete joins two lines") << "ab\r\ncd" << 2 << "\x7f"
                                            << "abcd";
    QTest::newRow("after the third line") << "a\r\nb\r\nc" << 5 << "z"
                                          << "a\r\nb\r\ncz";
    QTest::newRow("lone LF and CR become CR LF at the first edit") << "a\nb\rc" << 5 << "!"
                                                                   << "a\r\nb\r\nc!";
    QTest::newRow("no-break space stays")
        << QStringLiteral("a\u00a0b") << 3 << "c" << QStringLiteral("a\u00a0bc");
    const QString two = hexLine(TextBox::SoftLine) + hexLine(10, 3);
    QTest::newRow("in the second piece of a long line")
        << two << TextBox::SoftLine + 3 << "X\b\by"
        << two.left(TextBox::SoftLine + 1) + "y" + two.mid(TextBox::SoftLine + 2);
    QTest::newRow("Backspace over a soft break takes the character before it")
        << two << TextBox::SoftLine + 1 << "\b"
        << two.left(TextBox::SoftLine - 1) + two.mid(TextBox::SoftLine);
    QTest::newRow("Delete before a soft break takes the character after it")
        << two << TextBox::SoftLine << "\x7f"
        << two.left(TextBox::SoftLine) + two.mid(TextBox::SoftLine + 1);
    QTest::newRow("Enter before a soft break")
        << two << TextBox::SoftLine << "\r"
        << two.left(TextBox::SoftLine) + "\r\n" + two.mid(TextBox::SoftLine);
}

void TestTextBox::editsKeepTheText() {
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(QString, keys);
    QFETCH(QString, kept);
    TextBox box;
    QSignalSpy changes(&box, &TextBox::changed);
    box.setText(text);
    QCOMPARE(box.text(), text);
    typeAt(box, position, keys);
    QCOMPARE(box.text(), kept);
    QCOMPARE(box.text(), expectedText(box));
    QCOMPARE(changes.size(), 1 + keys.size());
}

void TestTextBox::manyEditsOnAHugeText() {
    // Three long lines and short ones, edited at random places: typing, Enter, Backspace and
    // Delete (also over breaks of both kinds), selections replaced and pastes of several lines.
    TextBox box;
    QString text = hexLine(3 * TextBox::SoftLine + 17) + "\r\nshort\r\n\r\n" +
                   hexLine(TextBox::SoftLine + 1, 5) + "\r\n" + hexLine(70000, 9);
    box.setText(text);
    QCOMPARE(box.text(), text);
    QCOMPARE(box.softBreaks().size(), size_t(5));
    std::mt19937 random(15u);
    for (int i = 0; i < 400; ++i) {
        const int length = box.document()->characterCount() - 1;
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(int(random() % uint(length + 1)));
        const int action = int(random() % 6);
        if (action == 4) {
            cursor.setPosition(std::min(length, cursor.position() + int(random() % 9)),
                               QTextCursor::KeepAnchor);
        }
        box.setTextCursor(cursor);
        switch (action) {
        case 0:
            QTest::keyClicks(&box, QStringLiteral("q"));
            break;
        case 1:
            QTest::keyClick(&box, Qt::Key_Return);
            break;
        case 2:
            QTest::keyClick(&box, Qt::Key_Backspace);
            break;
        case 3:
            QTest::keyClick(&box, Qt::Key_Delete);
            break;
        case 4:
            QTest::keyClicks(&box, QStringLiteral("R"));
            break;
        default: {
            QMimeData lines;
            lines.setText(QStringLiteral("p1\np2\r\np3"));
            QMetaObject::invokeMethod(&box, [&box, &lines] { box.insertPlainText(lines.text()); });
        }
        }
        QCOMPARE(box.text(), expectedText(box));
    }
}

void TestTextBox::hugeTextInPiecesNeverInTheText_data() {
    QTest::addColumn<QString>("how"); // set, appended in pieces, pasted
    QTest::newRow("set") << "set";
    QTest::newRow("appended in pieces") << "appended";
    QTest::newRow("pasted") << "pasted";
}

void TestTextBox::hugeTextInPiecesNeverInTheText() {
    QFETCH(QString, how);
    const QString text = hexLine(5 * TextBox::SoftLine / 2) + "\r\n" + hexLine(100);
    TextBox box;
    if (how == QLatin1String("set")) {
        box.setText(text);
    } else if (how == QLatin1String("appended")) {
        for (qsizetype at = 0; at < text.size(); at += 997)
            box.appendText(text.mid(at, 997));
    } else {
        QGuiApplication::clipboard()->setText(text);
        box.paste();
    }
    QCOMPARE(box.text(), text);
    // Two soft breaks in the long line; no paragraph over the piece length.
    QCOMPARE(box.softBreaks().size(), size_t(2));
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
        QVERIFY(block.length() - 1 <= TextBox::SoftLine);
    QVERIFY(!box.isUndoRedoEnabled());
    // A copy of everything is the text as it was given, with QTextDocument's line feed.
    box.selectAll();
    box.copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString(text).replace("\r\n", "\n"));
    // Emptied, the box takes its undo back.
    box.setText(QStringLiteral("short"));
    QVERIFY(box.softBreaks().empty());
    QVERIFY(box.isUndoRedoEnabled());
}

void TestTextBox::hugeOpenThenKeysStayQuick() {
    // Only a path that lays out the whole text again at every key fails: its 20 keys cost about
    // 20 settings of the text (which lays the whole text out once), where a key that lays out its
    // own piece costs a fifth to a third of one. Measured against each other, the two slow down
    // alike on a loaded machine, so no wall-clock bound is needed.
    Main w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* box = findControl<TextBox>(&w, "Text2");
    const QString text = hexLine(1 << 20);
    QElapsedTimer clock;
    clock.start();
    box->setText(text);
    QApplication::processEvents();
    const qint64 setting = clock.restart();
    box->moveCursor(QTextCursor::End);
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(box, 'k');
        QApplication::processEvents();
    }
    const qint64 keys = clock.elapsed();
    QCOMPARE(box->text(), text + QString(20, QLatin1Char('k')));
    QVERIFY2(
        keys < 10 * setting + 300,
        qPrintable(QStringLiteral("20 keys %1 ms, setting the text %2 ms").arg(keys).arg(setting)));
}

void TestTextBox::pasteOfNoText() {
    Main w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* picture = new QMimeData;
    picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(picture);
    for (TextBox* box : {findControl<TextBox>(&w, "Text1"), findControl<TextBox>(&w, "Text2"),
                         findControl<TextBox>(&w, "Text3")}) {
        box->setText(QStringLiteral("kept"));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("kept"));
        QVERIFY(!box->canPaste());
    }
}

void TestTextBox::tabInTheBoxes_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("movesOn"); // else the tab goes into the text
    QTest::newRow("output window") << "Text3" << true;
    QTest::newRow("Transmit Window, a terminal") << "Text2" << false;
}

void TestTextBox::tabInTheBoxes() {
    QFETCH(QString, box);
    QFETCH(bool, movesOn);
    Main w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* text = w.findChild<TextBox*>(box);
    text->setText(QStringLiteral("ff00"));
    text->setFocus();
    QTRY_VERIFY(text->hasFocus());
    text->moveCursor(QTextCursor::End);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(text->text(), movesOn ? QStringLiteral("ff00") : QStringLiteral("ff00\t"));
    QCOMPARE(text->hasFocus(), !movesOn);
}

void TestTextBox::emptyClipboardPasteUnderX11() {
    // Where the fault shows: an X server whose clipboard has no owner.
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfbRun.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        QSKIP("Xvfb is missing (Debian package xvfb): the paste under X11 is not tried");
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(xvfbRun, {QStringLiteral("-a"), QCoreApplication::applicationFilePath(),
                          QStringLiteral("--paste-with-empty-clipboard")});
    QVERIFY(child.waitForFinished(60000));
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             qPrintable(QStringLiteral("exit %1: %2")
                            .arg(child.exitCode())
                            .arg(QString::fromLocal8Bit(child.readAll()))));
}

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], "--paste-with-empty-clipboard") == 0)
        return pasteWithEmptyClipboard(1, argv);
    QApplication app(argc, argv);
    TestTextBox test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_textbox.moc"

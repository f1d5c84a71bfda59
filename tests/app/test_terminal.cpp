// The receive monitor and the terminal keys, over a pseudo-terminal standing in for the cable.
#include "app/TextBox.h"
#include "support/SendHarness.h"
#include "support/TestGroup.h"

#include <QtTest>
#include <QtWidgets>
#include <sys/resource.h>

namespace {

// CPU time of the whole process so far, in milliseconds.
double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

QString expand(QString text, const QString& held) {
    return text.replace(QLatin1String("held"), held);
}
} // namespace

class TestTerminal : public WindowOnPty {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pollShowsWhatArrived_data();
    void pollShowsWhatArrived();
    void emptyTickChangesNothing();
    void overflowKeepsTheNewPiece_data();
    void overflowKeepsTheNewPiece();
    void typingToTheLimitEmptiesTheWindow();
    void keysGoOutOneByteEach_data();
    void keysGoOutOneByteEach();
    void keysWithThePortClosedSendNothing();
    void keyTable_data();
    void keyTable();
    void inputMethodCommitsGoOut_data();
    void inputMethodCommitsGoOut();
    void pasteAndSendCountsCharacters();
    void pasteAndSendDelayRefusals_data();
    void pasteAndSendDelayRefusals();
    void deadLineIsReportedOnceAndNothingCrashes();
    void pollStopsWhenThePortIsGone();
    void lineGoneWhileIdleIsReportedOnce();

private:
    TextBox* receive() const { return control<TextBox>(QStringLiteral("Text1")); }
    TextBox* terminal() const { return control<TextBox>(QStringLiteral("Text2")); }
    QTimer* poll() const { return control<QTimer>(QStringLiteral("Timer1")); }
    // One piece arrives and the 50 ms poll takes it in, on its own: the next piece is written
    // only once the receive window has changed.
    void arrive(const QByteArray& bytes);
};

void TestTerminal::arrive(const QByteArray& bytes) {
    const QString before = receive()->text();
    QVERIFY(pty->write(bytes));
    QTRY_VERIFY(receive()->text() != before);
}

void TestTerminal::init() {
    openOnLine();
    QVERIFY(poll()->isActive());
    QCOMPARE(receive()->text(), QStringLiteral("Waiting....."));
}

void TestTerminal::cleanup() {
    closeOnLine();
}

void TestTerminal::pollShowsWhatArrived_data() {
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QString>("shown");
    QTest::newRow("OK CR LF") << QList<QByteArray>{"OK\r\n"} << "OK\r\n";
    QTest::newRow("A LF B") << QList<QByteArray>{"A\nB"} << "AB";
    QTest::newRow("A CR B") << QList<QByteArray>{"A\rB"} << "A\r\nB";
    QTest::newRow("A LF CR B") << QList<QByteArray>{"A\n\rB"} << "A\r\nB";
    QTest::newRow("CR ends one piece, LF starts the next")
        << QList<QByteArray>{"A\r", "\nB"} << "A\r\nB";
    QTest::newRow("pieces append") << QList<QByteArray>{"12", "34\r"} << "1234\r\n";
    QTest::newRow("NUL shown as a symbol")
        << QList<QByteArray>{QByteArray("A\0B", 3)} << QStringLiteral("A\u2400B");
    QTest::newRow("byte above 127") << QList<QByteArray>{"\xe9"} << QStringLiteral("\u00e9");
}

void TestTerminal::pollShowsWhatArrived() {
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QString, shown);
    for (const QByteArray& piece : pieces)
        arrive(piece);
    QCOMPARE(receive()->text(), shown);
    QVERIFY(modals->texts.isEmpty());
}

void TestTerminal::emptyTickChangesNothing() {
    QTest::qWait(160); // three polls with nothing to take
    QCOMPARE(receive()->text(), QStringLiteral("Waiting....."));
    arrive("x");
    QTest::qWait(160);
    QCOMPARE(receive()->text(), QStringLiteral("x"));
}

void TestTerminal::overflowKeepsTheNewPiece_data() {
    QTest::addColumn<int>("held");
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QString>("shown"); // "held" stands for what the window held before
    QTest::newRow("10 short, 20 arrive")
        << 9990 << QList<QByteArray>{"abcdefghijklmnopqrst"} << "abcdefghijklmnopqrst";
    QTest::newRow("10 short, 9 arrive")
        << 9990 << QList<QByteArray>{"123456789"} << "held123456789";
    QTest::newRow("then one more") << 9990 << QList<QByteArray>{"123456789", "z"} << "z";
    QTest::newRow("line breaks count as shown")
        << 9994 << QList<QByteArray>{"a\rb\rc"} << "a\r\nb\r\nc";
}

void TestTerminal::overflowKeepsTheNewPiece() {
    QFETCH(int, held);
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QString, shown);
    const QString old(held, QLatin1Char('w'));
    receive()->setText(old);
    for (const QByteArray& piece : pieces)
        arrive(piece);
    QCOMPARE(receive()->text(), expand(shown, old));
}

void TestTerminal::typingToTheLimitEmptiesTheWindow() {
    receive()->setText(QString(9999, QLatin1Char('w')));
    QCOMPARE(receive()->text().size(), 9999);
    receive()->moveCursor(QTextCursor::End);
    QTest::keyClick(receive(), 'a');
    QCOMPARE(receive()->text(), QString());
    QTest::keyClick(receive(), 'b');
    QCOMPARE(receive()->text(), QStringLiteral("b"));
}

void TestTerminal::keysGoOutOneByteEach_data() {
    QTest::addColumn<QString>("typed"); // CR stands for the Enter key
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("box");
    QTest::newRow("x") << "x" << QByteArray("x") << "x";
    QTest::newRow("Enter sends CR alone") << "\r" << QByteArray("\r") << "\r\n";
    QTest::newRow("a line") << "ab\rc" << QByteArray("ab\rc") << "ab\r\nc";
    QTest::newRow("upper case as typed") << "Q" << QByteArray("Q") << "Q";
}

void TestTerminal::keysGoOutOneByteEach() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, sent);
    QFETCH(QString, box);
    for (const QChar c : typed) {
        if (c == QLatin1Char('\r'))
            QTest::keyClick(terminal(), Qt::Key_Return);
        else
            QTest::keyClick(terminal(), c.toLatin1());
    }
    QCOMPARE(pty->read(sent.size()), sent);
    QCOMPARE(pty->readAvailable(), QByteArray());
    QCOMPARE(terminal()->text(), box);
}

void TestTerminal::keysWithThePortClosedSendNothing() {
    click(QStringLiteral("cmdcomm"));
    QVERIFY(!port->PortOpen());
    QTest::keyClick(terminal(), 'x');
    QTest::keyClick(terminal(), Qt::Key_Return);
    QCOMPARE(terminal()->text(), QStringLiteral("x\r\n"));
    QCOMPARE(pty->readAvailable(), QByteArray());
    QVERIFY(modals->texts.isEmpty());
}

void TestTerminal::deadLineIsReportedOnceAndNothingCrashes() {
    pty->closeMaster();
    QTest::keyClick(terminal(), 'a');
    QTest::keyClick(terminal(), 'b');
    QTRY_COMPARE(modals->texts.size(), 1);
    QVERIFY2(modals->texts.first().startsWith(QStringLiteral("Error - Check Settings!")),
             qPrintable(modals->texts.first()));
    QCOMPARE(terminal()->text(), QStringLiteral("ab")); // the keys still edit the box
    // The polls find the line gone as well: the receive window stays, nothing more is said.
    QTest::qWait(250);
    QCOMPARE(receive()->text(), QStringLiteral("Waiting....."));
    QCOMPARE(modals->texts.size(), 1);

    // The line comes back: close, reopen on a new cable, the keys go out again.
    click(QStringLiteral("cmdcomm"));
    QVERIFY(!port->PortOpen());
    PtyPair again;
    QVERIFY(openOnPty(*w, *line, again));
    QTest::keyClick(terminal(), 'z');
    QCOMPARE(again.read(1), QByteArray("z"));
}

// The port closes of itself under the running poll (not with "Close"): the poll stops.
void TestTerminal::pollStopsWhenThePortIsGone() {
    QVERIFY(poll()->isActive());
    port->setPortOpen(false);
    QTRY_VERIFY(!poll()->isActive());
    QCOMPARE(receive()->text(), QStringLiteral("Waiting....."));
}

void TestTerminal::lineGoneWhileIdleIsReportedOnce() {
    arrive("hi");
    QVERIFY(poll()->isActive());
    pty->closeMaster(); // the adapter is pulled while nothing is being sent
    QTRY_COMPARE(modals->texts.size(), 1);
    QVERIFY2(modals->texts.first().startsWith(QStringLiteral("Error - Check Settings!\n")),
             qPrintable(modals->texts.first()));
    QVERIFY(modals->texts.first().contains(QStringLiteral("line is gone")));
    QVERIFY(!poll()->isActive());
    QCOMPARE(receive()->text(), QStringLiteral("hi")); // what came before stays
    // The poll has stopped; a key finds the same dead line and says nothing more either.
    QTest::keyClick(terminal(), 'k');
    QTest::qWait(100);
    QCOMPARE(modals->texts.size(), 1);
    // Nothing watches the dead handle any more: the idle window costs next to no CPU.
    const double cpuBefore = processCpuMs();
    QTest::qWait(1000);
    const double cpu = processCpuMs() - cpuBefore;
    QVERIFY2(cpu < 100, qPrintable(QStringLiteral("%1 ms of CPU in one second").arg(cpu)));
    QVERIFY(port->PortOpen()); // until the user closes it

    click(QStringLiteral("cmdcomm"));
    PtyPair again;
    QVERIFY(openOnPty(*w, *line, again));
    QVERIFY(poll()->isActive());
    QVERIFY(again.write("back"));
    QTRY_COMPARE(receive()->text(), QStringLiteral("back"));
}

void TestTerminal::keyTable_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text"); // the key's text as X11 gives it
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("box");       // Text2 afterwards; it held "abc", all selected
    QTest::addColumn<QString>("clipboard"); // afterwards; it held "clip"
    const int ctrl = Qt::ControlModifier;
    const int none = Qt::NoModifier;
    QTest::newRow("Ctrl+A") << int(Qt::Key_A) << ctrl << "\x01" << QByteArray("\x01") << "abc"
                            << "clip";
    QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << ctrl << "\x1a" << QByteArray("\x1a") << ""
                            << "clip"; // and the box undoes its text
    QTest::newRow("Ctrl+Shift+D") << int(Qt::Key_D) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                  << "\x04" << QByteArray("\x04") << "abc"
                                  << "clip";
    QTest::newRow("Ctrl+C also copies")
        << int(Qt::Key_C) << ctrl << "\x03" << QByteArray("\x03") << "abc"
        << "abc";
    QTest::newRow("Ctrl+X also cuts")
        << int(Qt::Key_X) << ctrl << "\x18" << QByteArray("\x18") << ""
        << "abc";
    QTest::newRow("Ctrl+V also pastes")
        << int(Qt::Key_V) << ctrl << "\x16" << QByteArray("\x16") << "clip"
        << "clip";
    QTest::newRow("Ctrl+1 sends nothing") << int(Qt::Key_1) << ctrl << "1" << QByteArray() << "abc"
                                          << "clip";
    QTest::newRow("Delete edits, sends nothing")
        << int(Qt::Key_Delete) << none << "\x7f" << QByteArray() << ""
        << "clip";
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << "\b" << QByteArray("\b") << ""
                               << "clip";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << "\x1b" << QByteArray("\x1b") << "abc"
                            << "clip";
    QTest::newRow("Tab goes to the PIC")
        << int(Qt::Key_Tab) << none << "\t" << QByteArray("\t") << "\t"
        << "clip";
    QTest::newRow("Latin-1 letter") << int(Qt::Key_Eacute) << none << QStringLiteral("\u00e9")
                                    << QByteArray("\xe9") << QStringLiteral("\u00e9") << "clip";
    QTest::newRow("euro sign: one ?") << int(Qt::Key_unknown) << none << QStringLiteral("\u20ac")
                                      << QByteArray("?") << QStringLiteral("\u20ac") << "clip";
    QTest::newRow("emoji, two UTF-16 units: one ?")
        << int(Qt::Key_unknown) << none << QStringLiteral("\U0001F600") << QByteArray("?")
        << QStringLiteral("\U0001F600") << "clip";
}

void TestTerminal::keyTable() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QByteArray, sent);
    QFETCH(QString, box);
    QFETCH(QString, clipboard);
    QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
    terminal()->setFocus();
    QTest::keyClicks(terminal(), QStringLiteral("abc"));
    QCOMPARE(pty->read(3), QByteArray("abc"));
    terminal()->selectAll();
    QTest::sendKeyEvent(QTest::Click, terminal(), Qt::Key(key), text,
                        Qt::KeyboardModifiers(modifiers));
    QCOMPARE(pty->readAvailable(), sent);
    QCOMPARE(terminal()->text(), box);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    QVERIFY(modals->texts.isEmpty());
}

void TestTerminal::inputMethodCommitsGoOut_data() {
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("dead key: e acute") << QStringLiteral("\u00e9") << QByteArray("\xe9");
    QTest::newRow("compose: two letters")
        << QStringLiteral("\u00e6\u00df") << QByteArray("\xe6\xdf");
    QTest::newRow("CJK: one ? each") << QStringLiteral("\u65e5\u672c") << QByteArray("??");
    QTest::newRow("emoji: one ?") << QStringLiteral("\U0001F600") << QByteArray("?");
}

void TestTerminal::inputMethodCommitsGoOut() {
    QFETCH(QString, commit);
    QFETCH(QByteArray, sent);
    terminal()->setFocus();
    QInputMethodEvent preedit(QStringLiteral("x"), {});
    QApplication::sendEvent(terminal(), &preedit); // shown while composing, not sent
    QInputMethodEvent event;
    event.setCommitString(commit);
    QApplication::sendEvent(terminal(), &event);
    QCOMPARE(pty->readAvailable(), sent);
    QCOMPARE(terminal()->text(), commit);
}

void TestTerminal::pasteAndSendCountsCharacters() {
    QGuiApplication::clipboard()->setText(QStringLiteral("A\U0001F600b\u20ac\u00e9"));
    click(QStringLiteral("Command4"));
    QCOMPARE(pty->read(5), QByteArray("a?b?\xe9"));
    QCOMPARE(pty->readAvailable(), QByteArray());
    QCOMPARE(modals->texts.size(), 1); // the confirmation only
}

void TestTerminal::pasteAndSendDelayRefusals_data() {
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("refusal"); // empty: sent
    const QString tooLarge = QStringLiteral("is too large: the longest pause accepted is "
                                            "2147483647 milliseconds.");
    const QString notAPause =
        QStringLiteral("is not a pause in milliseconds: it must be a number, 0 or more.");
    QTest::newRow("1e12") << "1e12" << tooLarge;
    QTest::newRow("just above the largest") << "2147483647.5" << tooLarge;
    QTest::newRow("the largest, rounded down") << "2147483647.4"
                                               << "";
    QTest::newRow("negative") << "-1" << notAPause;
    QTest::newRow("not a number") << "5 ms" << notAPause;
}

void TestTerminal::pasteAndSendDelayRefusals() {
    QFETCH(QString, delay);
    QFETCH(QString, refusal);
    typeInto(control<QLineEdit>(QStringLiteral("xmitdelay")), delay);
    QGuiApplication::clipboard()->setText(QStringLiteral("x")); // no wait character: no pause
    click(QStringLiteral("Command4"));
    if (refusal.isEmpty()) {
        QCOMPARE(pty->read(1), QByteArray("x"));
        QCOMPARE(modals->texts.size(), 1);
    } else {
        QCOMPARE(modals->texts.size(), 2);
        QCOMPARE(modals->texts.last(), QStringLiteral("Error - Check Settings!\nXmit Delay \"") +
                                           delay + "\" " + refusal);
        QCOMPARE(pty->readAvailable(), QByteArray());
    }
}

QUORVEL_TEST_MAIN(TestTerminal)
#include "test_terminal.moc"

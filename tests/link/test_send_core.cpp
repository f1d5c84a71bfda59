// The receive filter and the send loop, without a window or a line.
#include "convert/OutputText.h"
#include "link/QtSerialPort.h"
#include "link/ReceiveFilter.h"
#include "link/SendLoop.h"
#include "support/MemoryPort.h"

#include <QtTest>

using Action = ReceiveUpdate::Action;
Q_DECLARE_METATYPE(Action)

namespace {
QString nul() {
    return QString(QChar(0));
}

// The receive window after each piece in turn, as the poll leaves it.
QString poll(QString window, const QStringList& pieces, int limit) {
    for (const QString& piece : pieces) {
        const ReceiveUpdate update = receiveIntoWindow(window, piece, limit);
        if (update.action == Action::Replace)
            window = update.text;
        else if (update.action == Action::Append)
            window += update.text;
    }
    return window;
}
} // namespace

class TestSendCore : public QObject {
    Q_OBJECT
private slots:
    void lineBreaks_data();
    void lineBreaks();
    void pollSequence_data();
    void pollSequence();
    void nothingReceivedLeavesTheWindowAlone_data();
    void nothingReceivedLeavesTheWindowAlone();
    void overflowKeepsWhatJustArrived_data();
    void overflowKeepsWhatJustArrived();

    void oneWritePerCharacter();
    void pausesComeBeforeEachWaitCharacter_data();
    void pausesComeBeforeEachWaitCharacter();
    void pauseIsAskedForOnce();
    void unusablePauseStopsBeforeTheWaitCharacter_data();
    void unusablePauseStopsBeforeTheWaitCharacter();
    void failedWriteStopsAndKeepsTheCount();
    void noLengthLimit();
    void characterWireTime_data();
    void characterWireTime();
    void pausesStartOnAnEmptyLine_data();
    void pausesStartOnAnEmptyLine();
    void stalledLineKeepsTheTrueCount_data();
    void stalledLineKeepsTheTrueCount();
    void xmitDelayReadings_data();
    void xmitDelayReadings();
    void trimBlanks_data();
    void trimBlanks();
};

void TestSendCore::lineBreaks_data() {
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("shown");
    QTest::newRow("CR LF") << "OK\r\n"
                           << "OK\r\n";
    QTest::newRow("lone LF dropped") << "A\nB"
                                     << "AB";
    QTest::newRow("lone CR") << "A\rB"
                             << "A\r\nB";
    QTest::newRow("LF CR") << "A\n\rB"
                           << "A\r\nB";
    QTest::newRow("two CRs") << "\r\r"
                             << "\r\n\r\n";
    QTest::newRow("only LFs") << "\n\n"
                              << "";
    QTest::newRow("NUL visible, one for one") << "A" + nul() + "B" << QStringLiteral("A\u2400B");
    QTest::newRow("high Latin-1 kept")
        << QStringLiteral("\u00e9\u00ff") << QStringLiteral("\u00e9\u00ff");
    QTest::newRow("other controls kept") << "\t\x1b["
                                         << "\t\x1b[";
}

void TestSendCore::lineBreaks() {
    QFETCH(QString, received);
    QFETCH(QString, shown);
    QCOMPARE(receivedForDisplay(received), shown);
}

void TestSendCore::pollSequence_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("expected");
    const QString waiting = receivePlaceholder();
    QTest::newRow("first data replaces the placeholder")
        << waiting << QStringList{"OK\r\n"} << "OK\r\n";
    QTest::newRow("a lone LF still ends the placeholder") << waiting << QStringList{"\n"} << "";
    QTest::newRow("CR ends one piece, LF starts the next")
        << waiting << QStringList{"A\r", "\nB"} << "A\r\nB";
    QTest::newRow("appends after earlier text")
        << "Serial Input from PIC\r\n"
        << QStringList{"x", "y\r"} << "Serial Input from PIC\r\nxy\r\n";
    QTest::newRow("placeholder text arriving later is just text")
        << "A" << QStringList{"Waiting....."} << "AWaiting.....";
    QTest::newRow("earlier text not touched again") << "1\n2" << QStringList{"3\n"} << "1\n23";
}

void TestSendCore::pollSequence() {
    QFETCH(QString, window);
    QFETCH(QStringList, pieces);
    QFETCH(QString, expected);
    QCOMPARE(poll(window, pieces, 10000), expected);
}

void TestSendCore::nothingReceivedLeavesTheWindowAlone_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("piece");
    QTest::newRow("empty poll, placeholder") << receivePlaceholder() << "";
    QTest::newRow("empty poll, text") << "abc"
                                      << "";
    QTest::newRow("only line feeds after text") << "abc"
                                                << "\n\n";
}

void TestSendCore::nothingReceivedLeavesTheWindowAlone() {
    QFETCH(QString, window);
    QFETCH(QString, piece);
    QCOMPARE(receiveIntoWindow(window, piece, 10000).action, Action::None);
}

void TestSendCore::overflowKeepsWhatJustArrived_data() {
    QTest::addColumn<int>("held");
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("expected"); // "held" stands for the window's old text
    const QString twenty(20, QLatin1Char('n'));
    QTest::newRow("10 short, 20 arrive") << 9990 << QStringList{twenty} << twenty;
    QTest::newRow("10 short, 9 arrive") << 9990 << QStringList{"123456789"} << "held123456789";
    QTest::newRow("one short, one arrives") << 9990 << QStringList{"123456789", "z"} << "z";
    QTest::newRow("exactly to the limit") << 9990 << QStringList{"0123456789"} << "0123456789";
    QTest::newRow("counted after the line breaks")
        << 9994 << QStringList{"a\rb\rc"} << "a\r\nb\r\nc";
}

void TestSendCore::overflowKeepsWhatJustArrived() {
    QFETCH(int, held);
    QFETCH(QStringList, pieces);
    QFETCH(QString, expected);
    const QString old(held, QLatin1Char('w'));
    QString want = expected;
    want.replace(QLatin1String("held"), old);
    const QString window = poll(old, pieces, 10000);
    QCOMPARE(window.size(), want.size());
    QCOMPARE(window, want);
    QVERIFY(window.size() < 10000);
}

void TestSendCore::oneWritePerCharacter() {
    MemoryPort port;
    const QString text = QStringLiteral("*220200000a]0102]0304");
    const SendResult result = sendText(port, text, {QStringLiteral("]"), [] { return 0; }, {}, {}});
    QVERIFY(result.ok());
    QCOMPARE(result.sent, text.size());
    QCOMPARE(port.writes.size(), text.size());
    for (const QString& write : std::as_const(port.writes))
        QCOMPARE(write.size(), 1);
    QCOMPARE(port.written(), text);
}

void TestSendCore::pausesComeBeforeEachWaitCharacter_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("wait");
    QTest::addColumn<QList<int>>("writtenAtPause");
    QTest::newRow("header then chunks") << "*2]ab]cd"
                                        << "]" << QList<int>{2, 5};
    QTest::newRow("wait characters back to back") << "]]x"
                                                  << "]" << QList<int>{0, 1};
    QTest::newRow("wait character last") << "ab]"
                                         << "]" << QList<int>{2};
    QTest::newRow("two-character wait string never matches") << "]]]"
                                                             << "]]" << QList<int>{};
    QTest::newRow("empty wait string never matches") << "a]b"
                                                     << "" << QList<int>{};
    QTest::newRow("letter case counts") << "a]b"
                                        << "A" << QList<int>{};
    QTest::newRow("other wait character") << "]a]a"
                                          << "a" << QList<int>{1, 3};
}

void TestSendCore::pausesComeBeforeEachWaitCharacter() {
    QFETCH(QString, text);
    QFETCH(QString, wait);
    QFETCH(QList<int>, writtenAtPause);
    MemoryPort port;
    QList<int> seen;
    SendPacing pacing{wait,
                      [] { return 7; },
                      [&](int ms) {
                          QCOMPARE(ms, 7);
                          seen << static_cast<int>(port.writes.size());
                      },
                      {}};
    QVERIFY(sendText(port, text, pacing).ok());
    QCOMPARE(seen, writtenAtPause);
    QCOMPARE(port.written(), text);
}

void TestSendCore::pauseIsAskedForOnce() {
    MemoryPort port;
    int asked = 0;
    int slept = 0;
    SendPacing pacing{QStringLiteral("]"),
                      [&] { return ++asked, std::optional<int>(3); },
                      [&](int) { ++slept; },
                      {}};
    QVERIFY(sendText(port, QStringLiteral("h]1]2]3"), pacing).ok());
    QCOMPARE(asked, 1);
    QCOMPARE(slept, 3);

    asked = 0;
    QVERIFY(sendText(port, QStringLiteral("no wait"), pacing).ok());
    QCOMPARE(asked, 0); // a text without wait characters never reads the delay box

    slept = 0;
    pacing.pause = [] { return 0; };
    QVERIFY(sendText(port, QStringLiteral("]]"), pacing).ok());
    QCOMPARE(slept, 0);
}

void TestSendCore::unusablePauseStopsBeforeTheWaitCharacter_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("sent"); // -1: the send ends well, all of it sent
    QTest::newRow("stops before the first wait character") << "*2200]abc]def" << 5;
    QTest::newRow("wait character first") << "]abc" << 0;
    // The delay box is read only at a wait character: a text without one goes out whole.
    QTest::newRow("no wait character: never asked") << "abc" << -1;
}

void TestSendCore::unusablePauseStopsBeforeTheWaitCharacter() {
    QFETCH(QString, text);
    QFETCH(int, sent);
    MemoryPort port;
    QList<qsizetype> progress;
    SendPacing pacing{QStringLiteral("]"), [] { return std::optional<int>(); }, [](int) {}, {}};
    const SendResult result =
        sendText(port, text, pacing, [&](qsizetype count) { progress << count; });
    const qsizetype expected = sent < 0 ? text.size() : sent;
    QCOMPARE(result.stop, sent < 0 ? SendResult::Stop::Done : SendResult::Stop::BadPause);
    QCOMPARE(result.sent, expected);
    QCOMPARE(port.written(), text.left(expected));
    QList<qsizetype> counted;
    for (qsizetype i = 1; i <= expected; ++i)
        counted << i;
    QCOMPARE(progress, counted);
}

void TestSendCore::failedWriteStopsAndKeepsTheCount() {
    MemoryPort port;
    port.failAfter = 3;
    QList<qsizetype> progress;
    const SendResult result =
        sendText(port, QStringLiteral("abcdef"), {}, [&](qsizetype sent) { progress << sent; });
    QCOMPARE(result.stop, SendResult::Stop::WriteFailed);
    QCOMPARE(result.sent, 3);
    QCOMPARE(result.portError, QStringLiteral("Input/output error"));
    QCOMPARE(port.written(), QStringLiteral("abc"));
    QCOMPARE(progress, (QList<qsizetype>{1, 2, 3}));
}

void TestSendCore::noLengthLimit() {
    MemoryPort port;
    QString text;
    for (int i = 0; i < 40000; ++i)
        text += QLatin1Char(i % 100 == 0 ? ']' : 'a' + i % 26);
    qsizetype last = 0;
    SendPacing pacing{QStringLiteral("]"), [] { return 0; }, {}, {}};
    QVERIFY(sendText(port, text, pacing, [&](qsizetype sent) { last = sent; }).ok());
    QCOMPARE(last, qsizetype(40000));
    QCOMPARE(port.written(), text);
}

void TestSendCore::characterWireTime_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<qint64>("ns"); // -1: no timing
    QTest::newRow("8N1 at 19200: 10 bits") << "19200,n,8,1" << qint64(520834);
    QTest::newRow("8N1 at 1200") << "1200,n,8,1" << qint64(8333334);
    QTest::newRow("7E1 at 9600: 10 bits") << "9600,e,7,1" << qint64(1041667);
    QTest::newRow("8N2 at 2400: 11 bits") << "2400,n,8,2" << qint64(4583334);
    QTest::newRow("8O2 at 115200: 12 bits") << "115200,o,8,2" << qint64(104167);
    QTest::newRow("5N1.5 at 4800: 7.5 bits") << "4800,n,5,1.5" << qint64(1562500);
    QTest::newRow("mark parity counts a bit") << "19200,m,7,1" << qint64(520834);
}

void TestSendCore::characterWireTime() {
    QFETCH(QString, settings);
    QFETCH(qint64, ns);
    const std::optional<LineSettings> line = parseLineSettings(settings);
    QVERIFY(line);
    QCOMPARE(characterWireNs(*line).value_or(-1), ns);

    LineSettings unusable = *line;
    unusable.baud = 0;
    QVERIFY(!characterWireNs(unusable));
}

void TestSendCore::pausesStartOnAnEmptyLine_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("buffer");
    QTest::newRow("19200,n,8,1, buffer 512") << "19200,n,8,1" << 512;
    QTest::newRow("19200,n,8,1, buffer 4") << "19200,n,8,1" << 4;
    QTest::newRow("1200,e,7,2, buffer 1") << "1200,e,7,2" << 1;
    QTest::newRow("115200,n,8,1, buffer 32") << "115200,n,8,1" << 32;
}

// On a line that plays the wire, every pause starts once the line is empty and nothing else
// waits for it: the send takes exactly the wire time of its characters plus its pauses, however
// small the transmit buffer.
void TestSendCore::pausesStartOnAnEmptyLine() {
    QFETCH(QString, settings);
    QFETCH(int, buffer);
    const LineSettings line = *parseLineSettings(settings);
    MemoryPort port(line, buffer);
    const QString text = QStringLiteral("*32000000a]0123456789abcdef]fedcba9876543210]00");
    QList<int> waitsAt;  // characters written when the send waited for the line
    QList<int> pausesAt; // ... and when a pause began
    SendPacing pacing{QStringLiteral("]"), [] { return 5; },
                      [&](int ms) {
                          QCOMPARE(port.wire.nsUntilIdle(port.nowNs), qint64(0));
                          QVERIFY(port.wire.inFlight(port.nowNs) == 0);
                          pausesAt << static_cast<int>(port.writes.size());
                          port.nowNs += qint64(ms) * 1000000;
                      },
                      [&](qint64 ns) {
                          waitsAt << static_cast<int>(port.writes.size());
                          port.nowNs += ns;
                      }};
    QVERIFY(sendText(port, text, pacing).ok());
    QCOMPARE(port.written(), text);
    QCOMPARE(pausesAt, (QList<int>{10, 27, 44}));
    QCOMPARE(waitsAt, (QList<int>{10, 27, 44, 47}));
    const qint64 ideal = text.size() * *characterWireNs(line) + 3 * qint64(5000000);
    QCOMPARE(port.nowNs, ideal);
    QCOMPARE(port.wire.nsUntilIdle(port.nowNs), qint64(0)); // the send ends on an empty line
}

void TestSendCore::stalledLineKeepsTheTrueCount_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("takes"); // writes the line takes; -1 all of them
    QTest::addColumn<bool>("stalls");
    QTest::addColumn<int>("sent");
    QTest::newRow("stalls before the first pause") << "*2]ab]cd" << -1 << true << 2;
    QTest::newRow("stalls after the last character") << "abcdef" << -1 << true << 6;
    QTest::newRow("write refused mid-chunk") << "*2]ab]cd" << 4 << false << 4;
}

// A line that takes nothing more fails the send with the count of characters it took, never
// with characters that were thrown away.
void TestSendCore::stalledLineKeepsTheTrueCount() {
    QFETCH(QString, text);
    QFETCH(int, takes);
    QFETCH(bool, stalls);
    QFETCH(int, sent);
    MemoryPort port;
    port.failAfter = takes;
    port.stalled = stalls;
    const SendResult result =
        sendText(port, text, {QStringLiteral("]"), [] { return 1; }, [](int) {}, {}});
    QCOMPARE(result.stop, SendResult::Stop::WriteFailed);
    QCOMPARE(result.sent, qsizetype(sent));
    QCOMPARE(port.written(), text.left(sent));
    QCOMPARE(result.portError, QStringLiteral("Input/output error"));
}

void TestSendCore::xmitDelayReadings_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("sendToLcd"); // -1: refused
    QTest::addColumn<int>("pasteAndSend");
    QTest::newRow("designer value") << "5" << 5 << 5;
    QTest::newRow("12.7") << "12.7" << 12 << 13;
    QTest::newRow("2.5 halves to even") << "2.5" << 2 << 2;
    QTest::newRow("3.5 halves to even") << "3.5" << 3 << 4;
    QTest::newRow("blanks around") << " 7 " << 7 << 7;
    QTest::newRow("exponent") << "1e2" << 100 << 100;
    QTest::newRow("zero") << "0" << 0 << 0;
    QTest::newRow("just below zero") << "-0.4" << -1 << 0;
    QTest::newRow("negative") << "-5" << -1 << -1;
    QTest::newRow("empty box") << "" << -1 << -1;
    QTest::newRow("not a number") << "abc" << -1 << -1;
    QTest::newRow("largest 32-bit") << "2147483647" << 2147483647 << 2147483647;
    QTest::newRow("beyond 32 bits") << "2147483648" << -1 << -1;
}

void TestSendCore::xmitDelayReadings() {
    QFETCH(QString, text);
    QFETCH(int, sendToLcd);
    QFETCH(int, pasteAndSend);
    QCOMPARE(sendToLcdPause(text).value_or(-1), sendToLcd);
    QCOMPARE(pasteAndSendPause(text).value_or(-1), pasteAndSend);
}

void TestSendCore::trimBlanks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("blanks both sides") << "  ab  "
                                       << "ab";
    QTest::newRow("inner blanks stay") << " a b "
                                       << "a b";
    QTest::newRow("line ends stay") << "ab\r\n"
                                    << "ab\r\n";
    QTest::newRow("tabs stay") << "\tab "
                               << "\tab";
    QTest::newRow("only blanks") << "   "
                                 << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestSendCore::trimBlanks() {
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(trimSpaces(text), trimmed); // the wait string and text of Paste and Send
}

QTEST_GUILESS_MAIN(TestSendCore)
#include "test_send_core.moc"

// "Send to LCD" and "Paste and Send " over a pseudo-terminal standing in for the cable.
#include "app/CanvasView.h"
#include "app/TextBox.h"
#include "link/QtSerialPort.h"
#include "support/MemoryPort.h"
#include "support/SendCost.h"
#include "support/SendHarness.h"
#include "support/TestGroup.h"

#include <QtTest>
#include <QtWidgets>

namespace {
const QColor orange(255, 128, 0);
const QColor green(0, 192, 0);

// A header and `chunks` runs of 32 characters, each opened by the wait character: what Paste and
// Send takes from the clipboard.
QString transmitText(int chunks) {
    QString text = QStringLiteral("*220200000a");
    for (int i = 0; i < chunks; ++i) {
        text += QLatin1Char(']');
        for (int j = 0; j < 16; ++j)
            text += QStringLiteral("%1").arg((i * 16 + j) % 256, 2, 16, QLatin1Char('0'));
    }
    return text;
}

// Counts the paints a widget gets and keeps what a label showed at each.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* widget, QLabel* label = nullptr) : m_label(label) {
        widget->installEventFilter(this);
    }
    int paints = 0;
    QStringList shown;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            if (m_label)
                shown << m_label->text();
        }
        return false;
    }

private:
    QLabel* m_label;
};
} // namespace

class TestSendButtons : public WindowOnPty {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sendToLcdSendsTheTransmitText();
    void pausesLastAtLeastTheXmitDelay_data();
    void pausesLastAtLeastTheXmitDelay();
    void emptyTransmitText();
    void unusableXmitDelay_data();
    void unusableXmitDelay();
    void sendToLcdWithThePortClosed();
    void progressIsPaintedWhileTheSendBlocks();
    void longTextGoesOutWholeWithoutALimit();
    void sixteenThousandOverThePty();
    void farEndHangsUpMidSend();
    void chunksHoldOnTheWire();
    void outBufferSizeHoldsBack();
    void stalledLineKeepsWhatItTook();
    void pasteSendsTheTrimmedClipboard_data();
    void pasteSendsTheTrimmedClipboard();
    void pasteCancelled();
    void pasteWithThePortClosed();
    void pasteWithAnUnusableXmitDelay_data();
    void pasteWithAnUnusableXmitDelay();
    void pasteWhenTheFarEndIsGone();

private:
    // PIC Buffer entries: "2" .. "128".
    static constexpr int buffer32Row = 4;
    static constexpr int buffer128Row = 6;
    bool convertAndReformat(int bufferRow = buffer128Row);
    void checkSendEnded();
    void pressPaste(QMessageBox::StandardButton answer = QMessageBox::Ok);
    // A line fast enough that the wire adds little to a test that does not time it.
    void fastLine() { QVERIFY(line->setSettings(QStringLiteral("921600,n,8,1"))); }

    TextBox* echo() const { return control<TextBox>(QStringLiteral("Text3")); }
    TextBox* terminal() const { return control<TextBox>(QStringLiteral("Text2")); }
    QLabel* remaining() const { return control<QLabel>(QStringLiteral("lblrem")); }
    QLabel* comm() const { return control<QLabel>(QStringLiteral("comm")); }
    QTimer* poll() const { return control<QTimer>(QStringLiteral("Timer1")); }
    QLineEdit* xmitDelay() const { return control<QLineEdit>(QStringLiteral("xmitdelay")); }
    QPushButton* sendButton() const { return control<QPushButton>(QStringLiteral("Command16")); }

    std::unique_ptr<QSignalSpy> beeps; // the window's beeps since the port was opened
    MemoryPort memory;                 // the line of a window measured alone
};

void TestSendButtons::init() {
    openOnLine();
    beeps = std::make_unique<QSignalSpy>(w, &Main::beeped);
}

void TestSendButtons::cleanup() {
    beeps.reset();
    closeOnLine();
}

// What the user does before Send to LCD, at its cheapest: the 128x32 panel (512 bytes), a few
// dots so that not every byte is 00, the PIC Buffer entry, Convert, Reformat For Output.
bool TestSendButtons::convertAndReformat(int bufferRow) {
    click(QStringLiteral("optgrf(2)"));
    clickRow(control<QListWidget>(QStringLiteral("List2")), bufferRow);
    click(QStringLiteral("Command7"));
    clickPixels(control<CanvasView>(QStringLiteral("Picture1")), {{0, 0}, {9, 3}, {127, 31}});
    click(QStringLiteral("Command9"));
    click(QStringLiteral("Command15"));
    return state().panelWidth() == 128 && state().canvas.isSet(9, 3) &&
           !state().xmitText.isEmpty() && sendButton()->isEnabled();
}

void TestSendButtons::pressPaste(QMessageBox::StandardButton answer) {
    modals->button = answer;
    click(QStringLiteral("Command4"));
    QVERIFY(!modals->texts.isEmpty());
    QCOMPARE(modals->texts.first(),
             QStringLiteral("Are you sure?\n\rAnything in the clipboard will be sent immediately"));
}

// What every "Send to LCD" that ends normally leaves behind.
void TestSendButtons::checkSendEnded() {
    QCOMPARE(echo()->text(), state().xmitText);
    QCOMPARE(remaining()->text(), QStringLiteral("0"));
    QCOMPARE(comm()->text(), QStringLiteral("ON"));
    QCOMPARE(Main::backColour(comm()), green);
    QVERIFY(poll()->isActive());
    QCOMPARE(beeps->count(), 1);
    QVERIFY(sendButton()->isEnabled());
    QVERIFY(w->cursor().shape() != Qt::WaitCursor);
}

void TestSendButtons::sendToLcdSendsTheTransmitText() {
    QVERIFY(convertAndReformat());
    fastLine();
    // Reformat left the transmit text in the output window: an echo that did not start afresh
    // would end up with it twice.
    const QString text = state().xmitText;
    QCOMPARE(echo()->text(), text);
    const qsizetype pauses = text.count(QLatin1Char(']'));
    QVERIFY(pauses >= 5);
    typeInto(xmitDelay(), QStringLiteral("20"));
    poll()->stop(); // the send starts it again
    bool eventRan = false;
    QTimer::singleShot(0, w, [&eventRan] { eventRan = true; });

    FarEnd far(*pty, static_cast<int>(text.size()));
    QElapsedTimer clock;
    clock.start();
    click(QStringLiteral("Command16"));
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(!eventRan, "the send ran the event loop");

    QCOMPARE(far.bytes(), text.toLatin1());
    QVERIFY2(elapsed >= pauses * 20, qPrintable(QString::number(elapsed)));
    checkSendEnded();
    QVERIFY(modals->texts.isEmpty());
}

void TestSendButtons::pausesLastAtLeastTheXmitDelay_data() {
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("waitBox");
    QTest::addColumn<int>("leastPerPause");
    QTest::newRow("Send to LCD, 12.7") << false << "12.7"
                                       << "]" << 12;
    QTest::newRow("Paste and Send, 12.7") << true << "12.7"
                                          << "]" << 13;
    QTest::newRow("Send to LCD, 25") << false << "25"
                                     << "]" << 25;
    QTest::newRow("Paste and Send, 25, wait box with blanks") << true << "25"
                                                              << " ] " << 25;
}

void TestSendButtons::pausesLastAtLeastTheXmitDelay() {
    QFETCH(bool, paste);
    QFETCH(QString, delay);
    QFETCH(QString, waitBox);
    QFETCH(int, leastPerPause);
    fastLine();
    typeInto(control<QLineEdit>(QStringLiteral("Text4")), waitBox);
    QString text = transmitText(6);
    if (paste) {
        QGuiApplication::clipboard()->setText(text);
    } else {
        QVERIFY(convertAndReformat());
        text = state().xmitText;
    }
    const qsizetype pauses = text.count(QLatin1Char(']'));
    QVERIFY(pauses >= 6);
    typeInto(xmitDelay(), delay);

    FarEnd far(*pty, static_cast<int>(text.size()));
    QElapsedTimer clock;
    clock.start();
    if (paste)
        pressPaste();
    else
        click(QStringLiteral("Command16"));
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(far.bytes(), text.toLatin1());
    QVERIFY2(elapsed >= pauses * leastPerPause, qPrintable(QString::number(elapsed)));
}

// Convert, then the output window's Clear (which also forgets the header), then Reformat: a
// transmit text with nothing in it.
void TestSendButtons::emptyTransmitText() {
    click(QStringLiteral("optgrf(2)"));
    click(QStringLiteral("Command9"));
    click(QStringLiteral("Command13"));
    click(QStringLiteral("Command15"));
    QCOMPARE(state().xmitText, QString());
    QVERIFY(sendButton()->isEnabled());
    echo()->setText(QStringLiteral("old output"));
    poll()->stop();
    click(QStringLiteral("Command16"));
    checkSendEnded();
    QCOMPARE(echo()->text(), QString());
    QCOMPARE(pty->readAvailable(), QByteArray());
}

void TestSendButtons::unusableXmitDelay_data() {
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("reason");
    const QString notAPause = "is not a pause in milliseconds: it must be a number, 0 or more.";
    QTest::newRow("empty box") << "" << notAPause;
    QTest::newRow("not a number") << "5ms" << notAPause;
    QTest::newRow("negative") << "-5" << notAPause;
    QTest::newRow("beyond a 32-bit count")
        << "3e9"
        << "is too large: the longest pause accepted is 2147483647 milliseconds.";
}

void TestSendButtons::unusableXmitDelay() {
    QFETCH(QString, delay);
    QFETCH(QString, reason);
    QVERIFY(convertAndReformat());
    fastLine();
    const QString text = state().xmitText;
    // The command header, as the transmit text carries it (in lower case).
    const QString header = state().pic.header.toLower();
    QVERIFY(!header.isEmpty());
    QVERIFY(text.startsWith(header + QLatin1Char(']')));
    typeInto(xmitDelay(), delay);
    click(QStringLiteral("Command16"));

    // The first line as it always was; the second names the box and what it held.
    QCOMPARE(
        modals->texts,
        QStringList{
            QStringLiteral("Error - Check Settings!\nXmit Delay \"%1\" %2").arg(delay, reason)});
    QCOMPARE(pty->read(static_cast<int>(header.size())), header.toLatin1());
    QCOMPARE(pty->readAvailable(), QByteArray());
    QCOMPARE(echo()->text(), header);
    QCOMPARE(remaining()->text(), QString::number(text.size() - header.size()));
    QCOMPARE(comm()->text(), QStringLiteral("Busy"));
    QCOMPARE(Main::backColour(comm()), orange);
    QVERIFY(!poll()->isActive());
    QCOMPARE(beeps->count(), 1);
    QVERIFY(sendButton()->isEnabled());
    QVERIFY(w->cursor().shape() != Qt::WaitCursor);

    // The window goes on: with a usable delay the same transmit text goes out whole.
    typeInto(xmitDelay(), QStringLiteral("0"));
    beeps->clear();
    FarEnd far(*pty, static_cast<int>(text.size()));
    click(QStringLiteral("Command16"));
    QCOMPARE(far.bytes(), text.toLatin1());
    checkSendEnded();
    QCOMPARE(modals->texts.size(), 1);
}

void TestSendButtons::sendToLcdWithThePortClosed() {
    QVERIFY(convertAndReformat());
    const QString shown = echo()->text();
    click(QStringLiteral("cmdcomm"));
    QVERIFY(!port->PortOpen());
    beeps->clear();
    click(QStringLiteral("Command16"));
    QCOMPARE(modals->texts, QStringList{QStringLiteral("Please, open Comm Port first.")});
    QCOMPARE(echo()->text(), shown);
    QCOMPARE(remaining()->text(), QStringLiteral("0000"));
    QCOMPARE(comm()->text(), QStringLiteral("OFF"));
    QCOMPARE(beeps->count(), 0);
}

void TestSendButtons::progressIsPaintedWhileTheSendBlocks() {
    QVERIFY(convertAndReformat());
    fastLine();
    const QString text = state().xmitText;
    typeInto(xmitDelay(), QStringLiteral("25"));
    PaintWatch echoPaints(echo()->viewport());
    PaintWatch counter(remaining(), remaining());
    PaintWatch shownState(comm(), comm());
    FarEnd far(*pty, static_cast<int>(text.size()));
    click(QStringLiteral("Command16"));
    QCOMPARE(far.bytes(), text.toLatin1());

    QVERIFY(shownState.shown.contains(QStringLiteral("Busy")));
    QVERIFY2(echoPaints.paints >= 2, qPrintable(QString::number(echoPaints.paints)));
    // The counter was seen counting down between the start and the end.
    const QString total = QString::number(text.size());
    bool midway = false;
    for (const QString& shown : std::as_const(counter.shown))
        midway = midway || (shown != total && shown != QStringLiteral("0") &&
                            shown != QStringLiteral("0000"));
    QVERIFY2(midway, qPrintable(counter.shown.join(QLatin1Char(' '))));
}

// Neither a 16-bit count nor a per-character repaint nor an echo that costs more the longer it
// gets: 300,000 characters go out whole, and the echo is painted per frame. The line is taken
// out of the picture, so the cost is the window's.
void TestSendButtons::longTextGoesOutWholeWithoutALimit() {
    beeps.reset();
    closeOnLine();
    openOnLine(&memory);
    beeps = std::make_unique<QSignalSpy>(w, &Main::beeped);
    QVERIFY(stageTransmitText(*w, hexDigits(300000)));
    const QString text = state().xmitText;
    // How fast the echo keeps up as the text grows is the send benchmark's figure; here the
    // text must go out whole, painted a frame at a time.
    PaintWatch echoPaints(echo()->viewport());
    const SendCost cost = sendToLcdCost(*w);
    QCOMPARE(memory.writes.size(), text.size());
    QCOMPARE(memory.written(), text);
    checkSendEnded();
    QVERIFY2(echoPaints.paints < 4000, "the echo is painted per character, not per frame");
    qInfo("Send to LCD, window alone: %.2f us per character, %d echo paints", cost.wallUs,
          echoPaints.paints);
}

// 16,000 characters on the real port path, on a line fast enough to keep the test short.
void TestSendButtons::sixteenThousandOverThePty() {
    fastLine();
    QVERIFY(stageTransmitText(*w, hexDigits(16000)));
    FarEnd far(*pty, static_cast<int>(state().xmitText.size()));
    const SendCost cost = sendToLcdCost(*w);
    QCOMPARE(far.bytes(), state().xmitText.toLatin1());
    checkSendEnded();
    qInfo("Send to LCD over a pseudo-terminal: %.2f us per character", cost.wallUs);
}

void TestSendButtons::farEndHangsUpMidSend() {
    QVERIFY(convertAndReformat());
    fastLine();
    const QString text = state().xmitText;
    const QString header = state().pic.header.toLower();
    QVERIFY(text.startsWith(header + QLatin1Char(']')));
    typeInto(xmitDelay(), QStringLiteral("300"));
    // The far end takes the header and hangs up during the pause before the first chunk.
    FarEnd far(*pty, static_cast<int>(header.size()), [](PtyPair& p) { p.closeMaster(); });
    click(QStringLiteral("Command16"));
    QCOMPARE(far.bytes(), header.toLatin1());

    QCOMPARE(modals->texts, QStringList{QStringLiteral("Error - Check Settings!")});
    const QString echoed = echo()->text();
    QVERIFY(echoed.size() >= header.size() && echoed.size() < text.size());
    QCOMPARE(echoed, text.left(echoed.size()));
    QCOMPARE(remaining()->text(), QString::number(text.size() - echoed.size()));
    QCOMPARE(comm()->text(), QStringLiteral("Busy"));
    QVERIFY(!poll()->isActive());
    QVERIFY(sendButton()->isEnabled());

    // The program goes on: close, plug in a new cable, open, send the same text again.
    click(QStringLiteral("cmdcomm"));
    QVERIFY(!port->PortOpen());
    QCOMPARE(comm()->text(), QStringLiteral("OFF"));
    PtyPair again;
    QVERIFY(openOnPty(*w, *line, again));
    fastLine();
    typeInto(xmitDelay(), QStringLiteral("5"));
    beeps->clear();
    FarEnd farAgain(again, static_cast<int>(text.size()));
    click(QStringLiteral("Command16"));
    QCOMPARE(farAgain.bytes(), text.toLatin1());
    checkSendEnded();
    QCOMPARE(modals->texts.size(), 1);
}

// 19200,n,8,1, chunks of 32, Xmit Delay 5: a wait character leaves only after the one before
// it, its chunk (33 characters of 10 bits) and the pause: 33 x 10 / 19200 s + 5 ms = 22.19 ms.
// A pseudo-terminal takes every byte at once, so only the program's line model can hold this.
// Eight chunks of a table of the user's own keep the test short.
void TestSendButtons::chunksHoldOnTheWire() {
    const int chunks = 8;
    QCOMPARE(line->Settings(), QStringLiteral("19200,n,8,1"));
    QCOMPARE(state().pic.buffer, 32);
    QVERIFY(reformatTable(*w, hexDigits(chunks * 32)));
    const QString text = state().xmitText;
    const qsizetype headerSize = state().pic.header.size();
    QCOMPARE(text.count(QLatin1Char(']')), chunks);
    typeInto(xmitDelay(), QStringLiteral("5"));
    const double wireNs = 10 * 1e9 / 19200;
    const double leastNs = 33 * wireNs + 5e6;
    TimedFarEnd far(*pty, static_cast<int>(text.size()));
    const qint64 startNs = TimedFarEnd::steadyNs();
    click(QStringLiteral("Command16"));
    const auto arrivals = far.arrivals();
    QCOMPARE(int(arrivals.size()), int(text.size()));
    std::vector<qint64> waits;
    for (const auto& arrival : arrivals)
        if (arrival.byte == ']')
            waits.push_back(arrival.ns);
    QCOMPARE(int(waits.size()), chunks);
    // The header's characters go before the first pause.
    const double firstNs = double(headerSize) * wireNs + 5e6;
    QVERIFY(waits.front() - startNs >= firstNs);
    for (int k = 1; k < chunks; ++k) {
        // Arrival times are noted late, never early: the pseudo-terminal or the reading thread
        // wakes late now and then on a busy machine (6.3 ms has been seen), which shortens the
        // gap after it. So each gap is allowed 10 ms of that, which still fails a send that
        // does not wait for the wire (5.2 ms a gap), and the whole run is held to the full
        // figure, which lateness cannot shorten.
        const qint64 gap = waits[k] - waits[k - 1];
        QVERIFY2(gap >= leastNs - 10e6,
                 qPrintable(QStringLiteral("chunk %1: %2 ms").arg(k).arg(gap / 1e6, 0, 'f', 2)));
        QVERIFY(waits[k] - startNs >= firstNs + k * leastNs);
    }
    checkSendEnded();
}

// Com out buff 64: the last of 4,000 characters cannot be written before all but 63 of those
// before it have left the wire, 3,936 character times after the start. The default 512 would
// let it go 448 character times (78 ms at 57600) sooner.
void TestSendButtons::outBufferSizeHoldsBack() {
    click(QStringLiteral("cmdcomm"));
    typeInto(control<QLineEdit>(QStringLiteral("combuff")), QStringLiteral("64"));
    clickRow(control<QListWidget>(QStringLiteral("proto")), 0);
    click(QStringLiteral("cmdbuff"));
    QCOMPARE(line->OutBufferSize(), 64);
    PtyPair again;
    QVERIFY(openOnPty(*w, *line, again));
    QVERIFY(line->setSettings(QStringLiteral("57600,n,8,1")));
    const int count = 4000;
    QGuiApplication::clipboard()->setText(hexDigits(count));
    typeInto(control<QLineEdit>(QStringLiteral("Text4")), QStringLiteral("]"));

    TimedFarEnd far(again, count);
    const qint64 startNs = TimedFarEnd::steadyNs();
    pressPaste();
    const auto arrivals = far.arrivals();
    QVERIFY(arrivals.size() >= size_t(count - 1));
    const double wireNs = 10 * 1e9 / 57600;
    const qint64 lastNs = arrivals.back().ns - startNs;
    QVERIFY2(lastNs >= (arrivals.size() - 64) * wireNs,
             qPrintable(QStringLiteral("%1 ms").arg(lastNs / 1e6)));
    QCOMPARE(modals->texts.size(), 1);
}

// Nobody reads the far end: the pseudo-terminal fills, the line takes nothing for the stall
// time, and the send fails. Every character the echo and the counter count as sent is there for
// the far end to read, and nothing else.
void TestSendButtons::stalledLineKeepsWhatItTook() {
    line->setStallTimeoutMs(300);
    fastLine();
    QVERIFY(stageTransmitText(*w, hexDigits(60000)));
    const QString text = state().xmitText;
    click(QStringLiteral("Command16"));
    QCOMPARE(modals->texts, QStringList{QStringLiteral("Error - Check Settings!")});
    const QString echoed = echo()->text();
    QVERIFY(echoed.size() > 0 && echoed.size() < text.size());
    QCOMPARE(remaining()->text(), QString::number(text.size() - echoed.size()));
    const QByteArray arrived = readUntilQuiet(*pty);
    QCOMPARE(arrived.size(), echoed.size());
    QCOMPARE(arrived, echoed.toLatin1());
}

void TestSendButtons::pasteSendsTheTrimmedClipboard_data() {
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("abc") << "abc"
                         << "abc" << QByteArray("abc");
    QTest::newRow("blanks before upper case") << "  AB"
                                              << "  ab" << QByteArray("ab");
    QTest::newRow("line end kept") << "ab\r\n"
                                   << "ab\r\n"
                                   << QByteArray("ab\r\n");
    QTest::newRow("single character") << "X"
                                      << "x" << QByteArray("x");
    QTest::newRow("empty clipboard") << ""
                                     << "" << QByteArray();
    QTest::newRow("wait characters and a blank end") << "*22]0A]0B "
                                                     << "*22]0a]0b " << QByteArray("*22]0a]0b");
}

void TestSendButtons::pasteSendsTheTrimmedClipboard() {
    QFETCH(QString, clipboard);
    QFETCH(QString, shown);
    QFETCH(QByteArray, sent);
    QGuiApplication::clipboard()->setText(clipboard);
    echo()->setText(QStringLiteral("output"));
    const QString counted = remaining()->text();
    pressPaste();
    QCOMPARE(modals->texts.size(), 1);
    QCOMPARE(terminal()->text(), shown);
    QCOMPARE(pty->read(static_cast<int>(sent.size())), sent);
    QCOMPARE(pty->readAvailable(), QByteArray());
    QCOMPARE(comm()->text(), QStringLiteral("ON"));
    QCOMPARE(Main::backColour(comm()), green);
    // Paste and Send leaves the rest alone and does not beep.
    QCOMPARE(beeps->count(), 0);
    QVERIFY(poll()->isActive());
    QCOMPARE(echo()->text(), QStringLiteral("output"));
    QCOMPARE(remaining()->text(), counted);
}

void TestSendButtons::pasteCancelled() {
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    terminal()->setText(QStringLiteral("typed"));
    pressPaste(QMessageBox::Cancel);
    QCOMPARE(beeps->count(), 1);
    QCOMPARE(terminal()->text(), QStringLiteral("typed"));
    QCOMPARE(comm()->text(), QStringLiteral("ON"));
    QCOMPARE(pty->readAvailable(), QByteArray());
}

void TestSendButtons::pasteWithThePortClosed() {
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    typeInto(xmitDelay(), QStringLiteral("not a number"));
    // Closed with "Close": Paste and Send takes no click, and nothing is said.
    click(QStringLiteral("cmdcomm"));
    QVERIFY(!port->PortOpen());
    click(QStringLiteral("Command4"));
    QVERIFY(modals->texts.isEmpty());
    QCOMPARE(terminal()->text(), QString());
    QCOMPARE(comm()->text(), QStringLiteral("OFF"));

    // Open again, and the port closes of itself while the confirmation is up: nothing is said
    // after the confirmation and nothing is sent.
    PtyPair again;
    QVERIFY(openOnPty(*w, *line, again));
    QStringList confirmations;
    modals->whenShown<QMessageBox>([this, &confirmations](QMessageBox* box) {
        confirmations << box->text();
        line->setPortOpen(false);
        box->button(QMessageBox::Ok)->click();
    });
    click(QStringLiteral("Command4"));
    QCOMPARE(confirmations.size(), 1);
    QTest::qWait(20);
    QVERIFY(modals->texts.isEmpty());
    QCOMPARE(terminal()->text(), QString());
    QCOMPARE(again.readAvailable(), QByteArray());
}

void TestSendButtons::pasteWithAnUnusableXmitDelay_data() {
    QTest::addColumn<QString>("delay");
    QTest::newRow("empty box") << "";
    QTest::newRow("not a number") << "abc";
    QTest::newRow("negative") << "-3";
}

void TestSendButtons::pasteWithAnUnusableXmitDelay() {
    QFETCH(QString, delay);
    QGuiApplication::clipboard()->setText(QStringLiteral("a]b"));
    terminal()->setText(QStringLiteral("typed"));
    typeInto(xmitDelay(), delay);
    pressPaste();
    QCOMPARE(modals->texts.size(), 2);
    QVERIFY2(modals->texts.at(1).startsWith(QStringLiteral("Error - Check Settings!")) &&
                 modals->texts.at(1).contains(QStringLiteral("Xmit Delay \"%1\"").arg(delay)),
             qPrintable(modals->texts.at(1)));
    QCOMPARE(pty->readAvailable(), QByteArray());
    QCOMPARE(terminal()->text(), QStringLiteral("typed"));
    QCOMPARE(comm()->text(), QStringLiteral("ON"));
    QCOMPARE(Main::backColour(comm()), green);
}

// The send or the poll (which runs while the confirmation is shown) finds the line gone first;
// either way the fault is told once.
void TestSendButtons::pasteWhenTheFarEndIsGone() {
    pty->closeMaster();
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    pressPaste();
    QTRY_COMPARE(modals->texts.size(), 2);
    QVERIFY2(modals->texts.at(1).startsWith(QStringLiteral("Error - Check Settings!")),
             qPrintable(modals->texts.at(1)));
    QCOMPARE(terminal()->text(), QStringLiteral("hello"));
    QCOMPARE(comm()->text(), QStringLiteral("ON"));
    QCOMPARE(Main::backColour(comm()), green);
    // The poll that follows finds the line gone too, and says nothing: one fault, one box.
    QTest::qWait(150);
    QCOMPARE(modals->texts.size(), 2);
    QVERIFY(!poll()->isActive());
}

QUORVEL_TEST_MAIN(TestSendButtons)
#include "test_send_buttons.moc"

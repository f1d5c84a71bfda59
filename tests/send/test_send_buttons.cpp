// "Send to LCD" and "Paste and Send " over a pseudo-terminal standing in for the cable.
#include "MemoryPort.h"
#include "SendCost.h"
#include "SendHarness.h"
#include "app/TextBox.h"
#include "link/QtSerialPort.h"

#include <QtTest>
#include <QtWidgets>

namespace {
const QColor orange(255, 128, 0);
const QColor green(0, 192, 0);

// A header and `chunks` runs of 32 characters, each opened by the wait character.
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
    void checkSendEnded();
    void pressPaste(QMessageBox::StandardButton answer = QMessageBox::Ok);

    int beepsBefore = 0;
};

void TestSendButtons::init() {
    openWindow();
    beepsBefore = w->beeps;
}

void TestSendButtons::cleanup() {
    closeWindow();
}

void TestSendButtons::pressPaste(QMessageBox::StandardButton answer) {
    modals->button = answer;
    w->Command4_Click();
    QVERIFY(!modals->texts.isEmpty());
    QCOMPARE(modals->texts.first(),
             QStringLiteral("Are you sure?\n\rAnything in the clipboard will be sent immediately"));
}

// What every "Send to LCD" that ends normally leaves behind.
void TestSendButtons::checkSendEnded() {
    QCOMPARE(w->Text3->text(), w->xmitText);
    QCOMPARE(w->lblrem->text(), QStringLiteral("0"));
    QCOMPARE(w->comm->text(), QStringLiteral("ON"));
    QCOMPARE(Main::backColour(w->comm), green);
    QVERIFY(w->Timer1->isActive());
    QCOMPARE(w->beeps, beepsBefore + 1);
    QVERIFY(w->Command16->isEnabled());
    QVERIFY(w->cursor().shape() != Qt::WaitCursor);
}

void TestSendButtons::sendToLcdSendsTheTransmitText() {
    w->xmitText = transmitText(5);
    w->xmitdelay->setText(QStringLiteral("20"));
    w->Text3->setText(QStringLiteral("old output"));
    w->Timer1->stop();
    bool eventRan = false;
    QTimer::singleShot(0, w, [&eventRan] { eventRan = true; });

    FarEnd far(*pty, static_cast<int>(w->xmitText.size()));
    QElapsedTimer clock;
    clock.start();
    w->Command16_Click();
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(!eventRan, "the send ran the event loop");

    QCOMPARE(far.bytes(), w->xmitText.toLatin1());
    QVERIFY2(elapsed >= 5 * 20, qPrintable(QString::number(elapsed)));
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
    const int pauses = 6;
    const QString text = transmitText(pauses);
    w->xmitdelay->setText(delay);
    w->Text4->setText(waitBox);
    w->waitChars = QStringLiteral("]");
    w->xmitText = text;
    QGuiApplication::clipboard()->setText(text);

    FarEnd far(*pty, static_cast<int>(text.size()));
    QElapsedTimer clock;
    clock.start();
    if (paste)
        pressPaste();
    else
        w->Command16_Click();
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(far.bytes(), text.toLatin1());
    QVERIFY2(elapsed >= pauses * leastPerPause, qPrintable(QString::number(elapsed)));
}

void TestSendButtons::emptyTransmitText() {
    w->xmitText.clear();
    w->Text3->setText(QStringLiteral("old output"));
    w->Timer1->stop();
    w->Command16_Click();
    checkSendEnded();
    QCOMPARE(w->Text3->text(), QString());
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
    const QString header = QStringLiteral("*220200000a");
    w->xmitText = transmitText(3);
    w->xmitdelay->setText(delay);
    w->Command16_Click();

    // The first line as it always was; the second names the box and what it held.
    QCOMPARE(
        modals->texts,
        QStringList{
            QStringLiteral("Error - Check Settings!\nXmit Delay \"%1\" %2").arg(delay, reason)});
    QCOMPARE(pty->read(static_cast<int>(header.size())), header.toLatin1());
    QCOMPARE(pty->readAvailable(), QByteArray());
    QCOMPARE(w->Text3->text(), header);
    QCOMPARE(w->lblrem->text(), QString::number(w->xmitText.size() - header.size()));
    QCOMPARE(w->comm->text(), QStringLiteral("Busy"));
    QCOMPARE(Main::backColour(w->comm), orange);
    QVERIFY(!w->Timer1->isActive());
    QCOMPARE(w->beeps, beepsBefore + 1);
    QVERIFY(w->Command16->isEnabled());
    QVERIFY(w->cursor().shape() != Qt::WaitCursor);

    // The box is read only at a wait character: a text without one goes out whole.
    w->xmitText = QStringLiteral("abc");
    beepsBefore = w->beeps;
    w->Command16_Click();
    QCOMPARE(pty->read(3), QByteArray("abc"));
    checkSendEnded();
}

void TestSendButtons::sendToLcdWithThePortClosed() {
    w->cmdcomm_Click();
    QVERIFY(!w->MSComm1->PortOpen());
    w->xmitText = QStringLiteral("abc");
    w->Text3->setText(QStringLiteral("keep"));
    beepsBefore = w->beeps;
    w->Command16_Click();
    QCOMPARE(modals->texts, QStringList{QStringLiteral("Please, open Comm Port first.")});
    QCOMPARE(w->Text3->text(), QStringLiteral("keep"));
    QCOMPARE(w->lblrem->text(), QStringLiteral("0000"));
    QCOMPARE(w->comm->text(), QStringLiteral("OFF"));
    QCOMPARE(w->beeps, beepsBefore);
}

void TestSendButtons::progressIsPaintedWhileTheSendBlocks() {
    w->xmitText = transmitText(10);
    w->xmitdelay->setText(QStringLiteral("20"));
    PaintWatch echo(w->Text3->viewport());
    PaintWatch counter(w->lblrem, w->lblrem);
    PaintWatch state(w->comm, w->comm);
    FarEnd far(*pty, static_cast<int>(w->xmitText.size()));
    w->Command16_Click();
    QCOMPARE(far.bytes(), w->xmitText.toLatin1());

    QVERIFY(state.shown.contains(QStringLiteral("Busy")));
    QVERIFY2(echo.paints >= 2, qPrintable(QString::number(echo.paints)));
    // The counter was seen counting down between the start and the end.
    const QString total = QString::number(w->xmitText.size());
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
    MemoryPort port;
    PaintWatch echo(w->Text3->viewport());
    QElapsedTimer clock;
    clock.start();
    const double micros = sendToLcdMicrosPerCharacter(*w, port, 300000);
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(port.writes.size(), 300000);
    QCOMPARE(port.written(), w->xmitText);
    checkSendEnded();
    QVERIFY2(echo.paints < 4000, "the echo is painted per character, not per frame");
    qInfo("Send to LCD, window alone: %.2f us per character, %d echo paints", micros, echo.paints);
}

// 16,000 characters on the real port path, on a line fast enough to keep the test short.
void TestSendButtons::sixteenThousandOverThePty() {
    QVERIFY(w->MSComm1->setSettings(QStringLiteral("921600,n,8,1")));
    FarEnd far(*pty, 16000);
    const double micros = sendToLcdMicrosPerCharacter(*w, *w->MSComm1, 16000);
    QCOMPARE(far.bytes(), w->xmitText.toLatin1());
    checkSendEnded();
    qInfo("Send to LCD over a pseudo-terminal: %.2f us per character", micros);
}

void TestSendButtons::farEndHangsUpMidSend() {
    const QString header = QStringLiteral("*220200000a");
    w->xmitText = transmitText(4);
    w->xmitdelay->setText(QStringLiteral("300"));
    // The far end takes the header and hangs up during the pause before the first chunk.
    FarEnd far(*pty, static_cast<int>(header.size()), [](PtyPair& p) { p.closeMaster(); });
    w->Command16_Click();
    QCOMPARE(far.bytes(), header.toLatin1());

    QCOMPARE(modals->texts, QStringList{QStringLiteral("Error - Check Settings!")});
    const QString echoed = w->Text3->text();
    QVERIFY(echoed.size() >= header.size() && echoed.size() < w->xmitText.size());
    QCOMPARE(echoed, w->xmitText.left(echoed.size()));
    QCOMPARE(w->lblrem->text(), QString::number(w->xmitText.size() - echoed.size()));
    QCOMPARE(w->comm->text(), QStringLiteral("Busy"));
    QVERIFY(!w->Timer1->isActive());
    QVERIFY(w->Command16->isEnabled());

    // The program goes on: close, plug in a new cable, open, send.
    w->cmdcomm_Click();
    QVERIFY(!w->MSComm1->PortOpen());
    QCOMPARE(w->comm->text(), QStringLiteral("OFF"));
    PtyPair again;
    QVERIFY(openOnPty(*w, again));
    w->xmitText = QStringLiteral("*2]ok");
    w->xmitdelay->setText(QStringLiteral("5"));
    beepsBefore = w->beeps;
    w->Command16_Click();
    QCOMPARE(again.read(5), QByteArray("*2]ok"));
    checkSendEnded();
    QCOMPARE(modals->texts.size(), 1);
}

// 19200,n,8,1, chunks of 32, Xmit Delay 5: a wait character leaves only after the one before
// it, its chunk (33 characters of 10 bits) and the pause: 33 x 10 / 19200 s + 5 ms = 22.19 ms.
// A pseudo-terminal takes every byte at once, so only the program's line model can hold this.
void TestSendButtons::chunksHoldOnTheWire() {
    const int chunks = 8;
    w->xmitText = transmitText(chunks);
    w->xmitdelay->setText(QStringLiteral("5"));
    const double wireNs = 10 * 1e9 / 19200;
    const double leastNs = 33 * wireNs + 5e6;
    TimedFarEnd far(*pty, static_cast<int>(w->xmitText.size()));
    const qint64 startNs = TimedFarEnd::steadyNs();
    w->Command16_Click();
    const auto arrivals = far.arrivals();
    QCOMPARE(int(arrivals.size()), int(w->xmitText.size()));
    std::vector<qint64> waits;
    for (const auto& arrival : arrivals)
        if (arrival.byte == ']')
            waits.push_back(arrival.ns);
    QCOMPARE(int(waits.size()), chunks);
    // The header's 11 characters go before the first pause.
    QVERIFY(waits.front() - startNs >= 11 * wireNs + 5e6);
    for (int k = 1; k < chunks; ++k) {
        // Arrival times: the pseudo-terminal hands a byte over late now and then on a busy
        // machine (by a clock tick, about 3 ms), which shortens the gap after it, so each gap
        // is allowed 4 ms of that (a send that does not wait for the wire gives 5.2 ms); the
        // whole run is held to the full figure.
        const qint64 gap = waits[k] - waits[k - 1];
        QVERIFY2(gap >= leastNs - 4e6,
                 qPrintable(QStringLiteral("chunk %1: %2 ms").arg(k).arg(gap / 1e6, 0, 'f', 2)));
        QVERIFY(waits[k] - startNs >= 11 * wireNs + 5e6 + k * leastNs);
    }
    checkSendEnded();
}

// Com out buff 64: the last of 4,000 characters cannot be written before all but 63 of those
// before it have left the wire, 3,936 character times after the start. The default 512 would
// let it go 448 character times (78 ms at 57600) sooner.
void TestSendButtons::outBufferSizeHoldsBack() {
    w->cmdcomm_Click();
    w->combuff->setText(QStringLiteral("64"));
    w->proto->setCurrentRow(0);
    w->cmdbuff_Click();
    QCOMPARE(w->MSComm1->OutBufferSize(), 64);
    PtyPair line;
    QVERIFY(openOnPty(*w, line));
    QVERIFY(w->MSComm1->setSettings(QStringLiteral("57600,n,8,1")));
    const int count = 4000;
    QString text;
    for (int i = 0; i < count; ++i)
        text += QLatin1Char("0123456789abcdef"[i % 16]);
    QGuiApplication::clipboard()->setText(text);
    w->Text4->setText(QStringLiteral("]"));

    TimedFarEnd far(line, count);
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
    auto* port = dynamic_cast<QtSerialPort*>(w->MSComm1);
    QVERIFY(port);
    port->setStallTimeoutMs(300);
    QVERIFY(w->MSComm1->setSettings(QStringLiteral("921600,n,8,1")));
    QString text;
    for (int i = 0; i < 60000; ++i)
        text += QLatin1Char("0123456789abcdef"[i % 16]);
    w->xmitText = text;
    w->Command16_Click();
    QCOMPARE(modals->texts, QStringList{QStringLiteral("Error - Check Settings!")});
    const QString echoed = w->Text3->text();
    QVERIFY(echoed.size() > 0 && echoed.size() < text.size());
    QCOMPARE(w->lblrem->text(), QString::number(text.size() - echoed.size()));
    QByteArray arrived;
    for (QByteArray more = pty->readAvailable(); !more.isEmpty(); more = pty->readAvailable())
        arrived += more;
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
    w->Text3->setText(QStringLiteral("output"));
    const QString remaining = w->lblrem->text();
    pressPaste();
    QCOMPARE(modals->texts.size(), 1);
    QCOMPARE(w->Text2->text(), shown);
    QCOMPARE(pty->read(static_cast<int>(sent.size())), sent);
    QCOMPARE(pty->readAvailable(), QByteArray());
    QCOMPARE(w->comm->text(), QStringLiteral("ON"));
    QCOMPARE(Main::backColour(w->comm), green);
    // Paste and Send leaves the rest alone and does not beep.
    QCOMPARE(w->beeps, beepsBefore);
    QVERIFY(w->Timer1->isActive());
    QCOMPARE(w->Text3->text(), QStringLiteral("output"));
    QCOMPARE(w->lblrem->text(), remaining);
}

void TestSendButtons::pasteCancelled() {
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    w->Text2->setText(QStringLiteral("typed"));
    pressPaste(QMessageBox::Cancel);
    QCOMPARE(w->beeps, beepsBefore + 1);
    QCOMPARE(w->Text2->text(), QStringLiteral("typed"));
    QCOMPARE(w->comm->text(), QStringLiteral("ON"));
    QCOMPARE(pty->readAvailable(), QByteArray());
}

void TestSendButtons::pasteWithThePortClosed() {
    w->cmdcomm_Click();
    QVERIFY(!w->MSComm1->PortOpen());
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    w->xmitdelay->setText(QStringLiteral("not a number"));
    pressPaste();
    QCOMPARE(modals->texts.size(), 1); // nothing said after the confirmation
    QCOMPARE(w->Text2->text(), QString());
    QCOMPARE(w->comm->text(), QStringLiteral("OFF"));
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
    w->Text2->setText(QStringLiteral("typed"));
    w->xmitdelay->setText(delay);
    pressPaste();
    QCOMPARE(modals->texts.size(), 2);
    QVERIFY2(modals->texts.at(1).startsWith(QStringLiteral("Error - Check Settings!")) &&
                 modals->texts.at(1).contains(QStringLiteral("Xmit Delay \"%1\"").arg(delay)),
             qPrintable(modals->texts.at(1)));
    QCOMPARE(pty->readAvailable(), QByteArray());
    QCOMPARE(w->Text2->text(), QStringLiteral("typed"));
    QCOMPARE(w->comm->text(), QStringLiteral("ON"));
    QCOMPARE(Main::backColour(w->comm), green);
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
    QCOMPARE(w->Text2->text(), QStringLiteral("hello"));
    QCOMPARE(w->comm->text(), QStringLiteral("ON"));
    QCOMPARE(Main::backColour(w->comm), green);
    // The poll that follows finds the line gone too, and says nothing: one fault, one box.
    QTest::qWait(150);
    QCOMPARE(modals->texts.size(), 2);
    QVERIFY(!w->Timer1->isActive());
}

QTEST_MAIN(TestSendButtons)
#include "test_send_buttons.moc"

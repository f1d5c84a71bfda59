// Opening and closing the port from the window, its settings and Apply, and the fixed display
// command. A pseudo-terminal stands in for the cable.
#include "app/Main.h"
#include "app/TextBox.h"
#include "link/SerialPort.h"
#include "support/PtyPair.h"
#include "support/TestGroup.h"
#include "support/WindowTest.h"

#include <QtTest>
#include <QtWidgets>

class TestPortWindow : public WindowTest {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void indicators_data();
    void indicators();
    void receiveWindowTextOnClose_data();
    void receiveWindowTextOnClose();
    void reopeningStartsTheReceiveWindowAfresh();
    void settingsActAtOnceWhileOpen();
    void missingPortLeavesTheWindowClosed();
    void portChoiceActsAtTheNextOpen();
    void tooltipsNameTheDevices();

    void displayEepromCommand();
    void displayEepromCommandNeedsAnOpenPort();

    void applyRefusesBadValues_data();
    void applyRefusesBadValues();
    void applyReachesTheNextOpen();

private:
    void openPort();
    void closePort() {
        Modals::boxesDuring([this] { click(QStringLiteral("cmdcomm")); });
    }
    SerialPort* port() const { return control<SerialPort>(QStringLiteral("MSComm1")); }
    TextBox* receiveWindow() const { return control<TextBox>(QStringLiteral("Text1")); }
    PtyPair* pty = nullptr;
};

void TestPortWindow::init() {
    pty = new PtyPair;
    QVERIFY(pty->asCom1());
    qputenv("QUORVEL_COM2", "/nonexistent/quorvel-tty");
    openWindow();
}

void TestPortWindow::cleanup() {
    closeWindow();
    delete pty;
    pty = nullptr;
}

void TestPortWindow::openPort() {
    const QStringList boxes = Modals::boxesDuring([this] { click(QStringLiteral("cmdcomm")); });
    QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QLatin1Char('\n'))));
    QVERIFY(port()->PortOpen());
}

void TestPortWindow::indicators_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");
    const QColor white(Qt::white);
    for (const bool open : {true, false}) {
        auto row = [open](const char* control, const char* property, const QVariant& value) {
            QTest::addRow("%s %s.%s", open ? "open" : "closed again", control, property)
                << open << QString::fromLatin1(control) << QByteArray(property) << value;
        };
        row("cmdcomm", "text", open ? "Close" : "Open");
        row("comm", "text", open ? "ON" : "OFF");
        row("comm", "background", open ? QColor(0, 192, 0) : QColor(192, 0, 0));
        row("lblxmit", "visible", open);
        row("Text1", "background", open ? QColor(255, 255, 192) : white);
        row("Text2", "background", open ? QColor(192, 255, 192) : white);
        row("Timer1", "active", open);
        row("Command4", "enabled", open);
        row("cmdbuff", "enabled", !open);
        row("MSComm1", "PortOpen", open);
    }
}

void TestPortWindow::indicators() {
    QFETCH(bool, open);
    QFETCH(QString, control);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);
    QSignalSpy beeps(w, &Main::beeped);
    openPort();
    if (!open)
        closePort();
    QCOMPARE(beeps.count(), open ? 1 : 2);

    QVariant actual;
    if (property == "background")
        actual = Main::backColour(this->control(control));
    else if (control == QLatin1String("Timer1"))
        actual = this->control<QTimer>(control)->isActive();
    else if (control == QLatin1String("MSComm1"))
        actual = port()->PortOpen();
    else
        actual = this->control(control)->property(property.constData());
    QVERIFY2(actual.isValid(), qPrintable(control + QLatin1Char('.') + property));
    QCOMPARE(actual, expected);
}

void TestPortWindow::receiveWindowTextOnClose_data() {
    QTest::addColumn<QByteArray>("fromPic"); // what the PIC sends while the port is open
    QTest::addColumn<bool>("emptied");       // the user selects all of the window and deletes it
    QTest::addColumn<QString>("typed");      // then types this at its end
    QTest::addColumn<QString>("received");   // what the receive window holds when closing
    QTest::addColumn<QString>("after");
    QTest::newRow("nothing received") << QByteArray() << false << ""
                                      << "Waiting....."
                                      << "Serial Input from PIC";
    QTest::newRow("a reply") << QByteArray("OK\r\n") << false << ""
                             << "OK\r\n"
                             << "OK\r\n";
    QTest::newRow("waiting plus more") << QByteArray() << false << "x"
                                       << "Waiting.....x"
                                       << "Waiting.....x";
    QTest::newRow("emptied") << QByteArray() << true << ""
                             << ""
                             << "";
}

void TestPortWindow::receiveWindowTextOnClose() {
    QFETCH(QByteArray, fromPic);
    QFETCH(bool, emptied);
    QFETCH(QString, typed);
    QFETCH(QString, received);
    QFETCH(QString, after);
    openPort();
    TextBox* window = receiveWindow();
    QCOMPARE(window->text(), QStringLiteral("Waiting....."));
    auto* transmitWindow = control<TextBox>(QStringLiteral("Text2"));
    transmitWindow->setFocus();
    QTest::keyClicks(transmitWindow, QStringLiteral("typed while open"));
    QCOMPARE(transmitWindow->text(), QStringLiteral("typed while open"));
    if (!fromPic.isEmpty()) {
        QVERIFY(pty->write(fromPic));
        QTRY_COMPARE(window->text(), received);
    }
    window->setFocus();
    if (emptied) {
        QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(window, Qt::Key_Delete);
    }
    window->moveCursor(QTextCursor::End);
    QTest::keyClicks(window, typed);
    QCOMPARE(window->text(), received);
    QTest::qWait(120); // two polls of the receive timer with nothing received change nothing
    QCOMPARE(window->text(), received);
    closePort();
    QCOMPARE(window->text(), after);
    QCOMPARE(transmitWindow->text(), QString());
}

void TestPortWindow::reopeningStartsTheReceiveWindowAfresh() {
    openPort();
    QVERIFY(pty->write("reply from the last session"));
    QTRY_COMPARE(receiveWindow()->text(), QStringLiteral("reply from the last session"));
    closePort();
    openPort();
    QCOMPARE(receiveWindow()->text(), QStringLiteral("Waiting....."));
}

void TestPortWindow::settingsActAtOnceWhileOpen() {
    openPort();
    QCOMPARE(pty->speed(), speed_t(B19200));
    auto* settings = control<QListWidget>(QStringLiteral("List1"));
    clickRow(settings, 3);
    QCOMPARE(control<QLabel>(QStringLiteral("Label2"))->text(), QStringLiteral("2400,n,8,1"));
    QCOMPARE(pty->speed(), speed_t(B2400));
    QVERIFY(port()->PortOpen());
    clickRow(settings, 4);
    QCOMPARE(pty->speed(), speed_t(B1200));
}

void TestPortWindow::missingPortLeavesTheWindowClosed() {
    click(QStringLiteral("Option1(1)"));
    QSignalSpy beeps(w, &Main::beeped);
    const QStringList boxes = Modals::boxesDuring([this] { click(QStringLiteral("cmdcomm")); });
    // The first line as specified; the second names the device and the system's reason.
    QCOMPARE(boxes,
             QStringList{quorvelBox(QStringLiteral(
                 "Error opening Comm:2\n/nonexistent/quorvel-tty: No such file or directory"))});
    QVERIFY(!port()->PortOpen());
    QCOMPARE(receiveWindow()->text(), QStringLiteral("Waiting....."));
    QVERIFY(!control(QStringLiteral("cmdbuff"))->isEnabled());
    QVERIFY(!control(QStringLiteral("Command4"))->isEnabled());
    QCOMPARE(control<QPushButton>(QStringLiteral("cmdcomm"))->text(), QStringLiteral("Open"));
    auto* indicator = control<QLabel>(QStringLiteral("comm"));
    QCOMPARE(indicator->text(), QStringLiteral("OFF"));
    QCOMPARE(Main::backColour(indicator), QColor(192, 0, 0));
    QVERIFY(!control<QTimer>(QStringLiteral("Timer1"))->isActive());
    QVERIFY(control(QStringLiteral("lblxmit"))->isHidden());
    QCOMPARE(beeps.count(), 0);

    // The next click tries again from the start, and succeeds on port 1.
    click(QStringLiteral("Option1(0)"));
    openPort();
    closePort();
    QVERIFY(control(QStringLiteral("cmdbuff"))->isEnabled());
}

void TestPortWindow::portChoiceActsAtTheNextOpen() {
    openPort();
    click(QStringLiteral("Option1(1)"));
    QVERIFY(port()->PortOpen());
    QCOMPARE(port()->CommPort(), 1);
    closePort();
    const QStringList boxes = Modals::boxesDuring([this] { click(QStringLiteral("cmdcomm")); });
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].startsWith(quorvelBox(QStringLiteral("Error opening Comm:2\n"))),
             qPrintable(boxes[0]));
}

void TestPortWindow::tooltipsNameTheDevices() {
    openPort();
    const QString com1 = option("Option1", 0)->toolTip();
    QVERIFY2(com1.contains(pty->slavePath()), qPrintable(com1));
    QVERIFY(option("Option1", 1)->toolTip().contains(QStringLiteral("/nonexistent/quorvel-tty")));
}

void TestPortWindow::displayEepromCommand() {
    openPort();
    QVERIFY(Modals::boxesDuring([this] { click(QStringLiteral("cmdlcd")); }).isEmpty());
    QCOMPARE(pty->read(10), QByteArray("*22000000a"));
    QCOMPARE(pty->readAvailable(), QByteArray());
}

void TestPortWindow::displayEepromCommandNeedsAnOpenPort() {
    QSignalSpy beeps(w, &Main::beeped);
    QCOMPARE(Modals::boxesDuring([this] { click(QStringLiteral("cmdlcd")); }),
             QStringList{quorvelBox(QStringLiteral("Port not open!"))});
    QCOMPARE(beeps.count(), 1);
    QCOMPARE(pty->readAvailable(), QByteArray());
}

void TestPortWindow::applyRefusesBadValues_data() {
    QTest::addColumn<QString>("combuff");
    QTest::addColumn<int>("handshakeRow"); // -1: none chosen, as at start-up
    QTest::addColumn<QString>("message");  // start of the message; empty: none
    QTest::addColumn<int>("bufferAfter");
    QTest::addColumn<int>("handshakeAfter");
    QTest::newRow("good") << "1024" << 2 << "" << 1024 << 2;
    QTest::newRow("rounds halves to even") << "100.5" << 0 << "" << 100 << 0;
    QTest::newRow("no handshake chosen") << "256" << -1 << "Handshake:" << 256 << 0;
    QTest::newRow("empty buffer") << "" << 1 << "Com out buff must be" << 512 << 0;
    QTest::newRow("letters") << "big" << 1 << "Com out buff must be" << 512 << 0;
    QTest::newRow("zero") << "0" << 1 << "Com out buff must be" << 512 << 0;
    QTest::newRow("negative") << "-512" << 1 << "Com out buff must be" << 512 << 0;
    QTest::newRow("beyond 16 bits") << "40000" << 1 << "Com out buff must be" << 512 << 0;
}

void TestPortWindow::applyRefusesBadValues() {
    QFETCH(QString, combuff);
    QFETCH(int, handshakeRow);
    QFETCH(QString, message);
    QFETCH(int, bufferAfter);
    QFETCH(int, handshakeAfter);
    // Settings go first and stay applied whatever fails after them.
    clickRow(control<QListWidget>(QStringLiteral("List1")), 2);
    typeInto(control<QLineEdit>(QStringLiteral("combuff")), combuff);
    if (handshakeRow >= 0)
        clickRow(control<QListWidget>(QStringLiteral("proto")), handshakeRow);
    const QStringList boxes = Modals::boxesDuring([this] { click(QStringLiteral("cmdbuff")); });
    if (message.isEmpty()) {
        QCOMPARE(boxes, QStringList());
    } else {
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].startsWith(quorvelBox(message)), qPrintable(boxes[0]));
    }
    QCOMPARE(port()->Settings(), QStringLiteral("4800,n,8,1"));
    QCOMPARE(port()->OutBufferSize(), bufferAfter);
    QCOMPARE(port()->Handshaking(), handshakeAfter);
    // The window goes on working: the port still opens, at the chosen speed.
    openPort();
    QCOMPARE(pty->speed(), speed_t(B4800));
}

void TestPortWindow::applyReachesTheNextOpen() {
    clickRow(control<QListWidget>(QStringLiteral("proto")), 3);
    typeInto(control<QLineEdit>(QStringLiteral("combuff")), QStringLiteral("2048"));
    QVERIFY(Modals::boxesDuring([this] { click(QStringLiteral("cmdbuff")); }).isEmpty());
    openPort();
    const std::optional<termios> line = pty->line();
    QVERIFY(line);
    QVERIFY(line->c_cflag & CRTSCTS); // XonRts runs as RTS/CTS
    QCOMPARE(port()->OutBufferSize(), 2048);
    QVERIFY(!control(QStringLiteral("cmdbuff"))->isEnabled());
}

QUORVEL_TEST_MAIN(TestPortWindow)
#include "test_port_window.moc"

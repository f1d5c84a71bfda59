// Opening and closing the port from the window, its settings and Apply, and the fixed display
// command. A pseudo-terminal stands in for the cable.
#include "app/Main.h"
#include "app/TextBox.h"
#include "link/SerialPort.h"
#include "support/Modals.h"
#include "support/PtyPair.h"

#include <QtTest>
#include <QtWidgets>

class TestPortWindow : public QObject {
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
    Main* w = nullptr;
    PtyPair* pty = nullptr;
};

void TestPortWindow::init() {
    pty = new PtyPair;
    QVERIFY(pty->asCom1());
    qputenv("QUORVEL_COM2", "/nonexistent/quorvel-tty");
    w = new Main;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestPortWindow::cleanup() {
    delete w;
    w = nullptr;
    delete pty;
    pty = nullptr;
}

void TestPortWindow::openPort() {
    const QStringList boxes = Modals::boxesDuring([this] { w->cmdcomm->click(); });
    QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QLatin1Char('\n'))));
    QVERIFY(w->MSComm1->PortOpen());
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
    const int beepsBefore = w->beeps;
    openPort();
    if (!open)
        Modals::boxesDuring([this] { w->cmdcomm->click(); });
    QCOMPARE(w->beeps, beepsBefore + (open ? 1 : 2));

    QVariant actual;
    if (property == "background")
        actual = Main::backColour(w->findChild<QWidget*>(control));
    else if (control == QLatin1String("Timer1"))
        actual = w->Timer1->isActive();
    else if (control == QLatin1String("MSComm1"))
        actual = w->MSComm1->PortOpen();
    else
        actual = w->findChild<QWidget*>(control)->property(property.constData());
    QVERIFY2(actual.isValid(), qPrintable(control + QLatin1Char('.') + property));
    QCOMPARE(actual, expected);
}

void TestPortWindow::receiveWindowTextOnClose_data() {
    QTest::addColumn<QString>("received"); // what the receive window holds when closing
    QTest::addColumn<QString>("after");
    QTest::newRow("nothing received") << "Waiting....."
                                      << "Serial Input from PIC";
    QTest::newRow("a reply") << "OK\r\n"
                             << "OK\r\n";
    QTest::newRow("waiting plus more") << "Waiting.....x"
                                       << "Waiting.....x";
    QTest::newRow("emptied") << ""
                             << "";
}

void TestPortWindow::receiveWindowTextOnClose() {
    QFETCH(QString, received);
    QFETCH(QString, after);
    w->Text2->setText(QStringLiteral("typed while open"));
    openPort();
    QCOMPARE(w->Text1->text(), QStringLiteral("Waiting....."));
    w->Timer1->stop(); // the text stands for what the monitor would have shown
    w->Text1->setText(received);
    Modals::boxesDuring([this] { w->cmdcomm->click(); });
    QCOMPARE(w->Text1->text(), after);
    QCOMPARE(w->Text2->text(), QString());
}

void TestPortWindow::reopeningStartsTheReceiveWindowAfresh() {
    openPort();
    w->Text1->setText(QStringLiteral("reply from the last session"));
    Modals::boxesDuring([this] { w->cmdcomm->click(); });
    openPort();
    QCOMPARE(w->Text1->text(), QStringLiteral("Waiting....."));
}

void TestPortWindow::settingsActAtOnceWhileOpen() {
    openPort();
    QCOMPARE(pty->speed(), speed_t(B19200));
    w->List1->setCurrentRow(3);
    QCOMPARE(w->Label2->text(), QStringLiteral("2400,n,8,1"));
    QCOMPARE(pty->speed(), speed_t(B2400));
    QVERIFY(w->MSComm1->PortOpen());
    w->List1->setCurrentRow(4);
    QCOMPARE(pty->speed(), speed_t(B1200));
}

void TestPortWindow::missingPortLeavesTheWindowClosed() {
    w->Option1[1]->click();
    const int beepsBefore = w->beeps;
    const QStringList boxes = Modals::boxesDuring([this] { w->cmdcomm->click(); });
    // The first line as specified; the second names the device and the system's reason.
    QCOMPARE(boxes,
             QStringList{quorvelBox(QStringLiteral(
                 "Error opening Comm:2\n/nonexistent/quorvel-tty: No such file or directory"))});
    QVERIFY(!w->MSComm1->PortOpen());
    QCOMPARE(w->Text1->text(), QStringLiteral("Waiting....."));
    QVERIFY(!w->cmdbuff->isEnabled());
    QVERIFY(!w->Command4->isEnabled());
    QCOMPARE(w->cmdcomm->text(), QStringLiteral("Open"));
    QCOMPARE(w->comm->text(), QStringLiteral("OFF"));
    QCOMPARE(Main::backColour(w->comm), QColor(192, 0, 0));
    QVERIFY(!w->Timer1->isActive());
    QVERIFY(w->lblxmit->isHidden());
    QCOMPARE(w->beeps, beepsBefore);

    // The next click tries again from the start, and succeeds on port 1.
    w->Option1[0]->click();
    openPort();
    Modals::boxesDuring([this] { w->cmdcomm->click(); });
    QVERIFY(w->cmdbuff->isEnabled());
}

void TestPortWindow::portChoiceActsAtTheNextOpen() {
    openPort();
    w->Option1[1]->click();
    QVERIFY(w->MSComm1->PortOpen());
    QCOMPARE(w->MSComm1->CommPort(), 1);
    Modals::boxesDuring([this] { w->cmdcomm->click(); });
    const QStringList boxes = Modals::boxesDuring([this] { w->cmdcomm->click(); });
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].startsWith(quorvelBox(QStringLiteral("Error opening Comm:2\n"))),
             qPrintable(boxes[0]));
}

void TestPortWindow::tooltipsNameTheDevices() {
    openPort();
    QVERIFY2(w->Option1[0]->toolTip().contains(pty->slavePath()),
             qPrintable(w->Option1[0]->toolTip()));
    QVERIFY(w->Option1[1]->toolTip().contains(QStringLiteral("/nonexistent/quorvel-tty")));
}

void TestPortWindow::displayEepromCommand() {
    openPort();
    QVERIFY(Modals::boxesDuring([this] { w->cmdlcd->click(); }).isEmpty());
    QCOMPARE(pty->read(10), QByteArray("*22000000a"));
    QCOMPARE(pty->readAvailable(), QByteArray());
}

void TestPortWindow::displayEepromCommandNeedsAnOpenPort() {
    const int beepsBefore = w->beeps;
    QCOMPARE(Modals::boxesDuring([this] { w->cmdlcd->click(); }),
             QStringList{quorvelBox(QStringLiteral("Port not open!"))});
    QCOMPARE(w->beeps, beepsBefore + 1);
    QCOMPARE(pty->readAvailable(), QByteArray());
}

void TestPortWindow::applyRefusesBadValues_data() {
    QTest::addColumn<QString>("combuff");
    QTest::addColumn<int>("handshakeRow");
    QTest::addColumn<QString>("message"); // start of the message; empty: none
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
    w->List1->setCurrentRow(2);
    QVERIFY(w->MSComm1->setSettings(QStringLiteral("1200,n,8,1")));
    w->combuff->setText(combuff);
    w->proto->setCurrentRow(handshakeRow);
    const QStringList boxes = Modals::boxesDuring([this] { w->cmdbuff->click(); });
    if (message.isEmpty()) {
        QCOMPARE(boxes, QStringList());
    } else {
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].startsWith(quorvelBox(message)), qPrintable(boxes[0]));
    }
    QCOMPARE(w->MSComm1->Settings(), QStringLiteral("4800,n,8,1"));
    QCOMPARE(w->MSComm1->OutBufferSize(), bufferAfter);
    QCOMPARE(w->MSComm1->Handshaking(), handshakeAfter);
    // The window goes on working: the port still opens.
    openPort();
}

void TestPortWindow::applyReachesTheNextOpen() {
    w->proto->setCurrentRow(3);
    w->combuff->setText(QStringLiteral("2048"));
    QVERIFY(Modals::boxesDuring([this] { w->cmdbuff->click(); }).isEmpty());
    openPort();
    const std::optional<termios> line = pty->line();
    QVERIFY(line);
    QVERIFY(line->c_cflag & CRTSCTS); // XonRts runs as RTS/CTS
    QVERIFY(!w->cmdbuff->isEnabled());
}

QTEST_MAIN(TestPortWindow)
#include "test_port_window.moc"

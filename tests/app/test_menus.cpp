// The menu bar's Exit, About and Help, and the About window's system-information button.
#include "app/About.h"
#include "app/Help.h"
#include "app/Main.h"
#include "app/TextBox.h"
#include "link/SerialPort.h"
#include "support/Modals.h"
#include "support/PtyPair.h"
#include "support/TestGroup.h"
#include "support/WindowTest.h"

#include <QtTest>
#include <QtWidgets>

class TestMenus : public WindowTest {
    Q_OBJECT
public:
    TestMenus() : WindowTest(true) {}

private slots:
    void exitClosesThePortAndEveryWindow_data();
    void exitClosesThePortAndEveryWindow();
    void aboutTexts();
    void helpPage();
    void oneWindowEach_data();
    void oneWindowEach();
    void systemInfo_data();
    void systemInfo();
};

void TestMenus::exitClosesThePortAndEveryWindow_data() {
    QTest::addColumn<bool>("portOpen");
    QTest::newRow("port open") << true;
    QTest::newRow("port closed") << false;
}

void TestMenus::exitClosesThePortAndEveryWindow() {
    QFETCH(bool, portOpen);
    PtyPair pty;
    QVERIFY(pty.asCom1());
    auto* port = control<SerialPort>("MSComm1");
    QVERIFY(option("Option1", 0)->isChecked());
    if (portOpen) {
        click("cmdcomm");
        QVERIFY2(port->PortOpen(), qPrintable(modals->messages.join('\n')));
    }
    click("mnuAbout");
    click("mnuHelp");
    click("mnuExit");
    QVERIFY(!port->PortOpen());
    QVERIFY(!w->isVisible());
    QTRY_VERIFY(!w->findChild<About*>() && !w->findChild<Help*>());
    QVERIFY(modals->messages.isEmpty()); // no prompt
}

void TestMenus::aboutTexts() {
    click("mnuAbout");
    auto* about = w->findChild<About*>(QStringLiteral("frmAbout"));
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    QCOMPARE(about->windowTitle(), QStringLiteral("About Quorvel"));
    const QList<QPair<QLabel*, QString>> labels = {
        {about->lblTitle, "Quorvel"},
        {about->lblVersion, "Version 1.1.2"},
        {about->lblDescription,
         "Graphic LCD interface to a PIC microcontroller for the Samsung KS0108  controller"},
        {about->Label4, "Beta"}};
    for (const auto& [label, text] : labels)
        QCOMPARE(label->text(), text);
    QCOMPARE(about->cmdOK->text(), QStringLiteral("OK"));
    QCOMPARE(about->cmdSysInfo->text(), QStringLiteral("&System Info..."));
    QVERIFY(!about->picIcon->pixmap().isNull());
    for (QLabel* notice : {about->Label1, about->Label2, about->Label3, about->lblDisclaimer})
        QVERIFY(!notice->text().isEmpty());
}

void TestMenus::helpPage() {
    click("mnuHelp");
    auto* help = w->findChild<Help*>(QStringLiteral("frmHelp"));
    QVERIFY(help);
    QCOMPARE(help->windowTitle(), QStringLiteral("Quorvel Help"));
    QCOMPARE(help->Command1->text(), QStringLiteral("&Close"));
    QVERIFY(help->Text1->isReadOnly());
    const QString page = help->Text1->text();
    QVERIFY(!page.endsWith('\n') && !page.contains(QRegularExpression("[^\r]\n|\r[^\n]")));
    const QStringList lines = page.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 15);
    QCOMPARE(lines[0], QStringLiteral("Some Brief Beta Instructions"));
    QCOMPARE(lines[7],
             QStringLiteral("7) The menu 'Exit' does exactly that, without any prompts!"));
    QCOMPARE(lines[10],
             QStringLiteral("10)The Transmit Window can be used to send commands to the PIC"));
    QCOMPARE(lines[12], QString());
    QVERIFY(lines[14].startsWith("Any comments and or suggestions are welcome! - "));
    QVERIFY(lines[14].size() > 48);
}

void TestMenus::oneWindowEach_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("closeButton");
    QTest::newRow("About") << "mnuAbout"
                           << "frmAbout"
                           << "cmdOK";
    QTest::newRow("Help") << "mnuHelp"
                          << "frmHelp"
                          << "Command1";
}

void TestMenus::oneWindowEach() {
    QFETCH(QString, menu);
    QFETCH(QString, window);
    QFETCH(QString, closeButton);
    auto* action = control<QAction>(menu);
    const auto windows = [this, &window] { return w->findChildren<QDialog*>(window); };
    action->trigger();
    QPointer<QDialog> first = windows().value(0);
    action->trigger();
    QCOMPARE(windows().size(), 1);
    QCOMPARE(windows().first(), first.data());
    QVERIFY(first->isVisible());

    first->findChild<QPushButton*>(closeButton)->click();
    QTRY_VERIFY(!first); // closing unloads it
    action->trigger();
    QCOMPARE(windows().size(), 1);
    QVERIFY(windows().first()->isVisible());
}

void TestMenus::systemInfo_data() {
    QTest::addColumn<bool>("installed");
    QTest::newRow("a system-information program on the PATH") << true;
    QTest::newRow("none") << false;
}

void TestMenus::systemInfo() {
    QFETCH(bool, installed);
    QTemporaryDir bin;
    const QString started = bin.filePath("started");
    if (installed) {
        QFile tool(bin.filePath(About::systemInfoTools().first()));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\n: > \"${0%/*}/started\"\n"); // shell built-ins only: PATH is bare
        tool.close();
        tool.setPermissions(tool.permissions() | QFile::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    click("mnuAbout");
    w->findChild<About*>()->cmdSysInfo->click();
    qputenv("PATH", path);
    if (installed) {
        QTRY_VERIFY(QFile::exists(started));
        QVERIFY(modals->messages.isEmpty());
    } else {
        QCOMPARE(modals->messages,
                 QStringList{"Quorvel|System Information Is Unavailable At This Time"});
        QVERIFY(!QFile::exists(started));
    }
}

QUORVEL_TEST_MAIN(TestMenus)
#include "test_menus.moc"

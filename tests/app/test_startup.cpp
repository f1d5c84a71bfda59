// What a user sees right after start-up, and the LCD size options and Clear.
#include "app/CanvasView.h"
#include "app/Main.h"
#include "app/TextBox.h"
#include "link/SerialPort.h"
#include "support/TestGroup.h"
#include "support/WindowTest.h"

#include <QtTest>
#include <QtWidgets>

namespace {
QString names(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items.join(QLatin1Char('|'));
}
} // namespace

class TestStartup : public WindowTest {
    Q_OBJECT
private slots:
    void windowAndMenus();
    void controls_data();
    void controls();
    void startUpState();
    void colours();
    void lengthLimits();
    void sizeOptions_data();
    void sizeOptions();
    void sizeChangeKeepsDrawing();
    void clearRestoresOptionsButNever320();
    void listClicksApplyTheirEntry_data();
    void listClicksApplyTheirEntry();
};

void TestStartup::windowAndMenus() {
    QCOMPARE(w->windowTitle(), QStringLiteral("Quorvel Graphic LCD ToolBox       Beta Ver 1.12"));
    QStringList menus;
    for (QAction* a : w->menuBar()->actions())
        menus << a->objectName() + QLatin1Char('=') + a->text();
    QCOMPARE(menus,
             (QStringList{"mnuExit=E&xit", "mnuOpen=&Open", "mnuAbout=&About", "mnuHelp=&Help"}));
    QVERIFY(w->findChild<QTimer*>("Timer1"));
    QCOMPARE(control<QTimer>("Timer1")->interval(), 50);
    QVERIFY(!control<QTimer>("Timer1")->isActive());
    QVERIFY(w->findChild<SerialPort*>("MSComm1"));
    QVERIFY(w->findChild<QObject*>("commdlg"));
}

void TestStartup::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");
    auto row = [](const char* name, const char* property, const QVariant& value) {
        QTest::addRow("%s.%s", name, property)
            << QString::fromLatin1(name) << QByteArray(property) << value;
    };
    // Top strip
    row("Option1(0)", "text", "Com1");
    row("Option1(0)", "checked", true);
    row("Option1(1)", "text", "Com2");
    row("Option1(1)", "checked", false);
    row("cmdcomm", "text", "Open");
    row("Label2", "text", "19200,n,8,1");
    row("comm", "text", "OFF");
    row("cmdbuff", "text", "Apply");
    row("cmdbuff", "enabled", true);
    row("Label23", "text", "Handshake");
    row("proto", "currentRow", -1);
    row("Label22", "text", "Com out buff");
    row("combuff", "text", "512");
    // Graphic
    row("Label10", "text", "LCD Size");
    row("optgrf(0)", "checked", true);
    row("optgrf(7)", "enabled", true);
    row("lblxy", "text", "X,Y Position");
    row("lblxy", "visible", false);
    row("Label4", "text", "Pen Size");
    row("Combo1", "currentText", "x1");
    row("Command7", "text", "Draw");
    row("Command6", "text", "Erase");
    row("Command5", "text", "Clear");
    row("cmdfont", "text", "Font");
    row("pictxt", "text", "");
    row("cmdtext", "text", "Text");
    row("chkinvert", "text", "Inverted");
    row("chkinvert", "checked", true);
    row("chkinvert", "enabled", true);
    row("Command8", "text", "Save");
    row("Command9", "text", "Convert");
    row("Command10", "text", "Load");
    // Receive and transmit windows
    row("lblxmit", "text", "Transmit Window Active");
    row("lblxmit", "visible", false);
    row("Command4", "text", "Paste and Send ");
    row("Command4", "enabled", false);
    // I/O Settings
    row("Frame2", "title", "I/O Settings");
    row("Frame10", "title", "I2C Eeprom");
    row("Check1", "checked", false);
    row("Check1", "text", "");
    row("Label13", "text", "Load EEprom");
    row("Label12", "text", "Start Addr");
    row("eeprom", "text", "00000");
    row("eeprom", "enabled", false);
    row("eeprom", "maxLength", 5);
    row("Frame4", "title", "Output Format");
    row("lblfrmt", "text", "Format");
    row("Label6", "text", "Delimiter");
    row("Label3", "text", "Header");
    row("Label5", "text", "Footer");
    row("Label9", "text", "Wait Chr");
    for (const char* box : {"txtfrmt", "txtDelim", "txthead", "txtfoot"})
        row(box, "text", "");
    row("Text4", "text", "]");
    row("lblfz", "text", "0000");
    row("lblrem", "text", "0000");
    row("Frame5", "title", "I/O");
    row("Label7", "text", "PIC Buffer");
    row("List2", "currentRow", 4);
    row("Label8", "text", "PIC Delay(ms)");
    row("List3", "currentRow", 1);
    row("Label11", "text", "Xmit Delay(ms)");
    row("xmitdelay", "text", "5");
    row("cmdApply", "text", "Apply");
    row("cmdlcd", "text", "&Disp Eprom");
    row("Frame1", "title", "Byte Matrix");
    row("Option2(0)", "text", "Vertical KS0108");
    row("Option2(0)", "checked", false);
    row("Option2(1)", "text", "Horizontal");
    row("Option2(1)", "checked", true);
    row("LCD", "visible", true);
    row("Label1", "text", "T6963C and SED1330");
    // Output window and bottom strip
    row("Frame8", "title", "Text Output Window");
    row("txtcase", "text", "&UpCase");
    row("Command11", "text", "Copy");
    row("Command12", "text", "Save");
    row("Command12", "enabled", false);
    row("Command13", "text", "Clear");
    row("Command14", "text", "Restore");
    row("Frame7", "title", "Directly load LCD");
    row("Command16", "text", "Send to LCD");
    row("Command16", "enabled", false);
    row("Command15", "text", "Reformat For Output");
    row("Command15", "enabled", false);
}

void TestStartup::controls() {
    QFETCH(QString, name);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);
    QWidget* widget = w->findChild<QWidget*>(name);
    QVERIFY2(widget, qPrintable(name));
    const QVariant actual = widget->property(property.constData());
    QVERIFY2(actual.isValid(), property.constData());
    QCOMPARE(actual.toString(), expected.toString());
}

void TestStartup::startUpState() {
    QCOMPARE(names(control<QListWidget>("List1")),
             QStringLiteral("19200,n,8,1|9600,n,8,1|4800,n,8,1|2400,n,8,1|1200,n,8,1"));
    QCOMPARE(control<QListWidget>("List1")->currentRow(), 0);
    QCOMPARE(names(control<QListWidget>("proto")), QStringLiteral("Off|XoXoff|Rts|XonRts"));
    QCOMPARE(names(control<QListWidget>("List2")), QStringLiteral("2|4|8|16|32|64|128"));
    QCOMPARE(names(control<QListWidget>("List3")),
             QStringLiteral("5|10|15|20|25|30|35|40|45|50|100"));
    QStringList pens;
    for (int i = 0; i < control<QComboBox>("Combo1")->count(); ++i)
        pens << control<QComboBox>("Combo1")->itemText(i);
    QCOMPARE(pens, (QStringList{"x1", "x2", "x3", "x4", "x5", "x10"}));
    QStringList sizes;
    for (const char* name :
         {"Label14", "Label15", "Label16", "Label17", "Label19", "Label18", "Label20", "Label21"})
        sizes << QLatin1String(name) + QLatin1Char('=') + control<QLabel>(name)->text();
    QCOMPARE(sizes, (QStringList{"Label14=240x64", "Label15=128x64", "Label16=128x32",
                                 "Label17=256x128", "Label19=240x128", "Label18=128x128",
                                 "Label20=256x64", "Label21=320x200"}));
    QCOMPARE(control<TextBox>("Text1")->text(), QStringLiteral("Serial Input from PIC\r\n"));
    QCOMPARE(control<TextBox>("Text2")->text(), QString());
    QCOMPARE(control<TextBox>("Text3")->text(), QString());
    QCOMPARE(control<SerialPort>("MSComm1")->Settings(), QStringLiteral("19200,n,8,1"));
    QVERIFY(!control<SerialPort>("MSComm1")->PortOpen());

    const ToolState& s = state();
    QCOMPARE(s.penDown, false);
    QCOMPARE(QSize(s.panelWidth(), s.panelHeight()), QSize(240, 64));
    QCOMPARE(s.panelIndex(), 0); // matches the 240x64 canvas and the option shown selected
    QCOMPARE(s.horizontal, true);
    QCOMPARE(s.pic.buffer, 32);
    QCOMPARE(s.pic.delayMs, 10);
    QCOMPARE(s.pic.waitChars, control<QLineEdit>("Text4")->text());
    QCOMPARE(s.pic.eepromMode, false);
    QVERIFY(s.convText.isEmpty() && s.restoreText.isEmpty() && s.xmitText.isEmpty());
    QVERIFY(s.pic.header.isEmpty());
    QCOMPARE(s.canvas.width(), 240);
    QCOMPARE(s.canvas.height(), 64);
    QCOMPARE(s.canvas.penWidth, 1);
    QCOMPARE(s.canvas.penColour, Canvas::Black);
    QVERIFY(!s.transmitCurrent());
    QCOMPARE(control<CanvasView>("Picture1")->size(), QSize(240, 64));
    QVERIFY(control<CanvasView>("Picture1")->measuresDisplayPixels());
}

void TestStartup::colours() {
    QCOMPARE(Main::backColour(control<QLabel>("comm")), QColor(192, 0, 0));
    QCOMPARE(Main::backColour(control<TextBox>("Text1")), QColor(Qt::white));
    QCOMPARE(Main::backColour(control<TextBox>("Text2")), QColor(Qt::white));
    QCOMPARE(Main::backColour(control<QLineEdit>("eeprom")), QColor(128, 128, 128));
    QCOMPARE(control<TextBox>("Text1")->palette().color(QPalette::Text), QColor(0, 0, 128));
    QCOMPARE(control<TextBox>("Text2")->palette().color(QPalette::Text), QColor(128, 0, 0));
    QCOMPARE(control<QLabel>("comm")->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    QVERIFY(control<QLabel>("comm")->font().bold());
    QVERIFY(option("Option1", 0)->font().bold());
}

void TestStartup::lengthLimits() {
    control<QLineEdit>("eeprom")->setEnabled(true);
    control<QLineEdit>("eeprom")->clear();
    QTest::keyClicks(control<QLineEdit>("eeprom"), QStringLiteral("1234567"));
    QCOMPARE(control<QLineEdit>("eeprom")->text(), QStringLiteral("12345"));

    control<TextBox>("Text1")->setText(QString(9995, QLatin1Char('a')));
    control<TextBox>("Text1")->setFocus();
    control<TextBox>("Text1")->moveCursor(QTextCursor::End);
    QTest::keyClicks(control<TextBox>("Text1"), QStringLiteral("bbbbbbbbbb"));
    QVERIFY(control<TextBox>("Text1")->text().size() <= 10000);
    control<TextBox>("Text1")->setText(QString(12000, QLatin1Char('c')));
    QVERIFY(control<TextBox>("Text1")->text().size() <= 10000);
}

void TestStartup::sizeOptions_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QSize>("panel");
    QTest::addColumn<QSize>("box");
    QTest::newRow("240x64") << 0 << QSize(240, 64) << QSize(240, 64);
    QTest::newRow("128x64") << 1 << QSize(128, 64) << QSize(128, 64);
    QTest::newRow("128x32") << 2 << QSize(128, 32) << QSize(128, 32);
    QTest::newRow("256x128") << 3 << QSize(256, 128) << QSize(256, 128);
    QTest::newRow("240x128") << 4 << QSize(240, 128) << QSize(240, 128);
    QTest::newRow("128x128") << 5 << QSize(128, 128) << QSize(128, 128);
    QTest::newRow("256x64") << 6 << QSize(256, 64) << QSize(256, 64);
    QTest::newRow("320x200") << 7 << QSize(320, 200) << QSize(320, 200);
}

void TestStartup::sizeOptions() {
    QFETCH(int, index);
    QFETCH(QSize, panel);
    QFETCH(QSize, box);
    click(QStringLiteral("optgrf(%1)").arg(index));
    QVERIFY(option("optgrf", index)->isChecked());
    QCOMPARE(state().panelIndex(), index);
    QCOMPARE(QSize(state().panelWidth(), state().panelHeight()), panel);
    QCOMPARE(QSize(state().canvas.width(), state().canvas.height()), panel);
    QCOMPARE(control<CanvasView>("Picture1")->size(), box);
    QVERIFY(!control<CanvasView>("Picture1")->measuresDisplayPixels());
    // The pointer addresses the pixel under it: the bottom-right screen pixel is the last
    // panel pixel.
    const QPointF last =
        control<CanvasView>("Picture1")->toUnits(QPointF(box.width() - 0.5, box.height() - 0.5));
    QCOMPARE(QPoint(int(last.x()), int(last.y())), QPoint(panel.width() - 1, panel.height() - 1));
}

void TestStartup::sizeChangeKeepsDrawing() {
    clickPixels(control<CanvasView>("Picture1"), {{5, 5}, {200, 50}});
    control<QComboBox>("Combo1")->setCurrentIndex(2); // pen x3
    const QPointF position = state().canvas.currentPosition;
    click("optgrf(2)"); // 128x32
    QVERIFY(state().canvas.isSet(5, 5));
    click("optgrf(0)"); // back to 240x64
    QVERIFY(state().canvas.isSet(5, 5));
    QVERIFY(!state().canvas.isSet(200, 50)); // outside 128x32: white now
    QCOMPARE(state().canvas.penWidth, 3);
    QCOMPARE(state().canvas.currentPosition, position);
}

void TestStartup::clearRestoresOptionsButNever320() {
    clickPixels(control<CanvasView>("Picture1"), {{1, 1}, {4, 4}});
    QVERIFY(state().canvas.currentPosition != QPointF(0, 0));
    for (int i = 0; i <= 6; ++i)
        option("optgrf", i)->setEnabled(false); // as a Load leaves them
    control("chkinvert")->setEnabled(false);
    option("optgrf", 7)->setEnabled(false); // nothing but this test ever touches it
    control<TextBox>("Text3")->setText(QStringLiteral("ff00"));
    click("Command5");
    for (int i = 0; i <= 6; ++i)
        QVERIFY(option("optgrf", i)->isEnabled());
    QVERIFY(!option("optgrf", 7)->isEnabled());
    QVERIFY(control<QCheckBox>("chkinvert")->isEnabled());
    QVERIFY(!state().canvas.isSet(1, 1));
    QCOMPARE(state().canvas.currentPosition, QPointF(0, 0));
    QCOMPARE(control<TextBox>("Text3")->text(), QStringLiteral("ff00"));
}

void TestStartup::listClicksApplyTheirEntry_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("picBuffer");
    QTest::addColumn<int>("picDelay");
    QTest::addColumn<int>("penWidth");
    QTest::newRow("buffer 2") << "List2" << 0 << 2 << 10 << 1;
    QTest::newRow("buffer 128") << "List2" << 6 << 128 << 10 << 1;
    QTest::newRow("delay 5") << "List3" << 0 << 32 << 5 << 1;
    QTest::newRow("delay 100") << "List3" << 10 << 32 << 100 << 1;
    QTest::newRow("pen x5") << "Combo1" << 4 << 32 << 10 << 5;
    QTest::newRow("pen x10") << "Combo1" << 5 << 32 << 10 << 10;
}

void TestStartup::listClicksApplyTheirEntry() {
    QFETCH(QString, list);
    QFETCH(int, row);
    QFETCH(int, picBuffer);
    QFETCH(int, picDelay);
    QFETCH(int, penWidth);
    if (auto* combo = w->findChild<QComboBox*>(list))
        combo->setCurrentIndex(row);
    else
        w->findChild<QListWidget*>(list)->setCurrentRow(row);
    QCOMPARE(state().pic.buffer, picBuffer);
    QCOMPARE(state().pic.delayMs, picDelay);
    QCOMPARE(state().canvas.penWidth, penWidth);

    control<QListWidget>("List1")->setCurrentRow(3);
    QCOMPARE(control<QLabel>("Label2")->text(), QStringLiteral("2400,n,8,1"));
    QCOMPARE(control<SerialPort>("MSComm1")->Settings(), QStringLiteral("2400,n,8,1"));
}

QUORVEL_TEST_MAIN(TestStartup)
#include "test_startup.moc"

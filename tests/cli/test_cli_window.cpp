// The window's Convert and quorvel-convert give the same text for the same picture and boxes.
#include "CliRun.h"
#include "app/ImportDialog.h"
#include "app/TextBox.h"
#include "canvas/LcdSize.h"
#include "support/WindowTest.h"

#include <QtTest>
#include <QtWidgets>

class TestCliWindow : public WindowTest {
    Q_OBJECT
public:
    TestCliWindow() : WindowTest(true) {}

private slots:
    // One window for every row, as a user converts picture after picture in one session.
    void initTestCase() {
        QVERIFY(tmp.isValid());
        openWindow();
    }
    void cleanupTestCase() { closeWindow(); }
    void init() {}
    void cleanup() {}
    void sameTextAsConvert_data();
    void sameTextAsConvert();

private:
    // Imports the picture file with the Import dialog's first choices, as quorvel-convert does.
    void importPicture(const QString& path) {
        modals->fileAnswers = {path};
        bool shown = false;
        modals->whenShown<ImportDialog>([&shown](ImportDialog* dialog) {
            shown = true;
            dialog->accept();
        });
        click("cmdImport");
        QVERIFY(shown);
    }
    // Replaces what a box holds by typing, when it holds something else.
    void typeIfChanged(const char* name, const QString& text) {
        auto* box = control<QLineEdit>(name);
        if (box->text() != text)
            typeInto(box, text);
        QCOMPARE(box->text(), text);
    }

    QTemporaryDir tmp;
};

void TestCliWindow::sameTextAsConvert_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QStringList>("boxes"); // Format, Delimiter, Header, Footer
    QTest::addColumn<bool>("inverted");
    const QList<std::pair<const char*, QStringList>> boxes{
        {"empty", {"", "", "", ""}},
        {"0x comma", {"0x", ",", "", ""}},
        {"dollar, comma space, DATA", {"$", ", ", "DATA ", ""}},
        {"C table", {"0X", ",", "const unsigned char Logo[] = {", "};"}},
        {"comma and letter, spaces round", {"&H", ",a", "  x ", " y  "}},
    };
    for (int size = 0; size < LcdSizeCount; ++size)
        for (bool horizontal : {false, true})
            for (const auto& [name, texts] : boxes)
                QTest::addRow("%s %s, %s", lcdSizes()[size].label,
                              horizontal ? "horizontal" : "vertical", name)
                    << size << horizontal << texts << true;
    for (int size = 0; size < LcdSizeCount; ++size)
        QTest::addRow("%s horizontal, Inverted unticked", lcdSizes()[size].label)
            << size << true << QStringList{"0x", ",", "", ""} << false;
}

void TestCliWindow::sameTextAsConvert() {
    QFETCH(int, size);
    QFETCH(bool, horizontal);
    QFETCH(QStringList, boxes);
    QFETCH(bool, inverted);
    const LcdSize panel = lcdSizes()[size];
    const QImage picture = patternPicture(panel.width, panel.height);
    const QString path = savedPicture(QDir(tmp.path()), QStringLiteral("same.png"), picture);

    click(QStringLiteral("optgrf(%1)").arg(size));
    click(QStringLiteral("Option2(%1)").arg(horizontal ? 1 : 0));
    // Rows of one size share the picture: it is imported when the canvas does not hold it yet.
    if (asRgb32(state().canvas.image()) != picture)
        importPicture(path);
    QCOMPARE(asRgb32(state().canvas.image()), picture); // pure black and white, the panel's size
    if (control<QCheckBox>("chkinvert")->isChecked() != inverted)
        click("chkinvert");
    typeIfChanged("txtfrmt", boxes[0]);
    typeIfChanged("txtDelim", boxes[1]);
    typeIfChanged("txthead", boxes[2]);
    typeIfChanged("txtfoot", boxes[3]);
    click("Command9");
    QVERIFY2(modals->texts.isEmpty(), qPrintable(modals->texts.join(QLatin1Char('|'))));

    QStringList arguments{QStringLiteral("--panel"),
                          QString::fromLatin1(panel.label),
                          QStringLiteral("--layout"),
                          horizontal ? QStringLiteral("horizontal") : QStringLiteral("vertical"),
                          QStringLiteral("--format"),
                          boxes[0],
                          QStringLiteral("--delimiter"),
                          boxes[1],
                          QStringLiteral("--header"),
                          boxes[2],
                          QStringLiteral("--footer"),
                          boxes[3],
                          path};
    if (!inverted)
        arguments << QStringLiteral("--no-invert");
    const CliRun run = runCli(arguments);
    QCOMPARE(run.status, 0);
    QCOMPARE(QString::fromUtf8(run.out), control<TextBox>("Text3")->text());
}

QTEST_MAIN(TestCliWindow)
#include "test_cli_window.moc"

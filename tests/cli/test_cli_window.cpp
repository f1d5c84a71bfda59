// The window's Convert and quorvel-convert give the same text for the same picture and boxes.
#include "CliRun.h"
#include "app/Main.h"
#include "app/TextBox.h"
#include "canvas/LcdSize.h"
#include "support/Modals.h"

#include <QtTest>
#include <QtWidgets>

class TestCliWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void sameTextAsConvert_data();
    void sameTextAsConvert();

private:
    QTemporaryDir tmp;
    Main* w = nullptr;
    Modals* modals = nullptr;
};

void TestCliWindow::initTestCase() {
    QVERIFY(tmp.isValid());
    w = new Main;
    modals = new Modals(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestCliWindow::cleanupTestCase() {
    delete w;
}

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

    QTest::mouseClick(w->optgrf[size], Qt::LeftButton);
    QTest::mouseClick(w->Option2[horizontal ? 1 : 0], Qt::LeftButton);
    w->canvas.setPicture(picture);
    w->chkinvert->setChecked(inverted);
    w->txtfrmt->setText(boxes[0]);
    w->txtDelim->setText(boxes[1]);
    w->txthead->setText(boxes[2]);
    w->txtfoot->setText(boxes[3]);
    QTest::mouseClick(w->Command9, Qt::LeftButton);
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
    QCOMPARE(QString::fromUtf8(run.out), w->Text3->text());
}

QTEST_MAIN(TestCliWindow)
#include "test_cli_window.moc"

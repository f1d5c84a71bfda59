// Numbers typed into the boxes, read the way the window reads them.
#include "link/NumberText.h"

#include <QtTest>

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void readNumber_data();
    void readNumber();
    void wholeNumbers_data();
    void wholeNumbers();
};

void TestNumberText::readNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "12" << true << 12.0;
    QTest::newRow("blanks around") << "  7 " << true << 7.0;
    QTest::newRow("fraction") << "12.7" << true << 12.7;
    QTest::newRow("negative") << "-1" << true << -1.0;
    QTest::newRow("leading dot") << ".5" << true << 0.5;
    QTest::newRow("exponent") << "1e3" << true << 1000.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blank") << "   " << false << 0.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("number then letters") << "12ms" << false << 0.0;
    QTest::newRow("two numbers") << "1 2" << false << 0.0;
    QTest::newRow("comma decimal") << "1,5" << false << 0.0;
    QTest::newRow("huge overflows") << QString(400, QLatin1Char('9')) << false << 0.0;
}

void TestNumberText::readNumber() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const auto read = ::readNumber(text);
    QCOMPARE(read.has_value(), ok);
    if (ok)
        QCOMPARE(*read, value);
}

void TestNumberText::wholeNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rounded"); // -999 = fails
    QTest::addColumn<int>("floored");
    QTest::newRow("12.5 halves to even") << "12.5" << 12 << 12;
    QTest::newRow("13.5 halves to even") << "13.5" << 14 << 13;
    QTest::newRow("2.5") << "2.5" << 2 << 2;
    QTest::newRow("12.7") << "12.7" << 13 << 12;
    QTest::newRow("-2.5") << "-2.5" << -2 << -3;
    QTest::newRow("above range") << "70000" << -999 << -999;
    QTest::newRow("not a number") << "x" << -999 << -999;
}

void TestNumberText::wholeNumbers() {
    QFETCH(QString, text);
    QFETCH(int, rounded);
    QFETCH(int, floored);
    const auto r = readRounded(text, -65536, 65535);
    const auto f = readFloor(text, -65536, 65535);
    QCOMPARE(r ? static_cast<int>(*r) : -999, rounded);
    QCOMPARE(f ? static_cast<int>(*f) : -999, floored);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_number_text.moc"

// Bytes read back from tables of every kind, and the pictures they draw on a panel.
#include "canvas/LcdSize.h"
#include "convert/ByteMatrix.h"
#include "convert/BytePicture.h"
#include "convert/TableReader.h"

#include <QtTest>

class TestTableReader : public QObject {
    Q_OBJECT
private slots:
    void tableBytes_data();
    void tableBytes();
    void widerWordsAreRefused_data();
    void widerWordsAreRefused();
    void binaryFileIsRawBytes_data();
    void binaryFileIsRawBytes();
    void verticalBytesDrawTheirPicture();
    void bitOrder_data();
    void bitOrder();
    void fit_data();
    void fit();
};

void TestTableReader::tableBytes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes"); // as hex digits
    QTest::newRow("bare stream") << "ff808084" << QByteArray("ff808084");
    QTest::newRow("0x and comma") << "0xff,0x80,0x00" << QByteArray("ff8000");
    QTest::newRow("0x without delimiter") << "0xff0x800x01" << QByteArray("ff8001");
    QTest::newRow("dollar, header") << "data $ff, $80, $00" << QByteArray("ff8000");
    QTest::newRow("&h lowered") << "&hff,&h80" << QByteArray("ff80");
    QTest::newRow("header and footer") << "image:0xff,0x80;" << QByteArray("ff80");
    QTest::newRow("semicolon delimiter") << "0x01;0x02;0x03" << QByteArray("010203");
    QTest::newRow("bare with comma") << "ff,80,00" << QByteArray("ff8000");
    QTest::newRow("hash format") << "#ff,#80" << QByteArray("ff80");
    QTest::newRow("closing 00 after a prefixed byte") << "0x7f,0x80,00" << QByteArray("7f80");
    QTest::newRow("closing 00 without delimiter") << "0x7f0x8000" << QByteArray("7f80");
    QTest::newRow("one digit") << "0x5, 0xA" << QByteArray("050a");
    QTest::newRow("odd words are no bytes") << "abc 12 de0" << QByteArray("12");
    QTest::newRow("C array") << "// 128x64 vertical, 4 bytes\n"
                                "#define IMAGE_WIDTH 128\n"
                                "#define IMAGE_HEIGHT 64\n"
                                "const unsigned char image[4] = {\n"
                                "    0x01, 0x02,\n"
                                "    0x03, 0x04,\n"
                                "};\n"
                             << QByteArray("01020304");
    QTest::newRow("bare C, array size") << "unsigned char a[1024] = {ff,80};" << QByteArray("ff80");
    QTest::newRow("block comments")
        << "/* 0x12 */ 0x34 /* two\n lines 0x56 */ 0x78" << QByteArray("3478");
    QTest::newRow("assembler") << "; 128x64 ab\nimage:\n    db 0x01,0x02 ; cd 0x99\n    db 0x03\n"
                               << QByteArray("010203");
    QTest::newRow("assembler, bare, label") << "face: db ff,80 ; 12" << QByteArray("ff80");
    QTest::newRow("assembler, CR LF") << "db 0x01 ; 0x99\r\ndb 0x02\r\n" << QByteArray("0102");
    QTest::newRow("BASIC") << "10 REM 128x64 0x12\n20 DATA &HFF,&H80\n30 DATA &H01\n"
                           << QByteArray("ff8001");
    QTest::newRow("BASIC, bare") << "10 DATA FF,80\n20 DATA 01\n" << QByteArray("ff8001");
    QTest::newRow("file names between tables")
        << "// a.png\nff80\n; b.png\nREM c.png\n0102" << QByteArray("ff800102");
    QTest::newRow("nothing") << "const char* none = 0;" << QByteArray();
}

void TestTableReader::tableBytes() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(readTableBytes(text).toHex(), bytes);
}

void TestTableReader::binaryFileIsRawBytes_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("NUL bytes") << QByteArray("\x00\x30\x31", 3) << QByteArray::fromHex("003031");
    QTest::newRow("not UTF-8") << QByteArray("\xff\x80") << QByteArray::fromHex("ff80");
    QTest::newRow("text") << QByteArray("0x30, 0x31\n") << QByteArray::fromHex("3031");
}

void TestTableReader::binaryFileIsRawBytes() {
    QFETCH(QByteArray, contents);
    QFETCH(QByteArray, bytes);
    QCOMPARE(readTableFile(contents).toHex(), bytes.toHex());
}

void TestTableReader::verticalBytesDrawTheirPicture() {
    for (const LcdSize& size : lcdSizes()) {
        QImage picture(size.width, size.height, QImage::Format_RGB32);
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x)
                picture.setPixel(x, y, (x * 5 + y * 3 + x * y) % 7 == 0 ? 0xff000000 : 0xffffffff);
        const VertMatrix matrix = verticalMatrix(picture, size.width, size.height);
        QByteArray bytes; // the panel's order: page by page
        for (int p = 0; p < matrix.pages; ++p)
            for (int x = 0; x < matrix.columns; ++x)
                bytes.append(static_cast<char>(matrix.at(x, p)));
        QCOMPARE(pictureFromBytes(bytes, size.width, size.height, false), picture);
    }
}

void TestTableReader::bitOrder_data() {
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QPoint>("first");
    QTest::addColumn<QPoint>("last");
    QTest::addColumn<int>("black");
    // 16x16 panel: two pages of 16 columns, or 16 rows of 2 bytes.
    QTest::newRow("vertical bit 0 is the top")
        << false << 0 << 0x01 << QPoint(0, 0) << QPoint(0, 0) << 1;
    QTest::newRow("vertical bit 7 is the bottom")
        << false << 0 << 0x80 << QPoint(0, 7) << QPoint(0, 7) << 1;
    QTest::newRow("vertical page 1") << false << 17 << 0xff << QPoint(1, 8) << QPoint(1, 15) << 8;
    QTest::newRow("horizontal bit 7 is the left")
        << true << 0 << 0x80 << QPoint(0, 0) << QPoint(0, 0) << 1;
    QTest::newRow("horizontal second byte")
        << true << 1 << 0x01 << QPoint(15, 0) << QPoint(15, 0) << 1;
    QTest::newRow("horizontal row 1") << true << 2 << 0xff << QPoint(0, 1) << QPoint(7, 1) << 8;
}

void TestTableReader::bitOrder() {
    QFETCH(bool, horizontal);
    QFETCH(int, index);
    QFETCH(int, byte);
    QFETCH(QPoint, first);
    QFETCH(QPoint, last);
    QFETCH(int, black);
    QByteArray bytes(32, 0);
    bytes[index] = static_cast<char>(byte);
    const QImage picture = pictureFromBytes(bytes, 16, 16, horizontal);
    int count = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (picture.pixel(x, y) == 0xff000000)
                ++count;
            else
                QCOMPARE(picture.pixel(x, y), 0xffffffffu);
    QCOMPARE(count, black);
    QCOMPARE(picture.pixel(first), 0xff000000u);
    QCOMPARE(picture.pixel(last), 0xff000000u);
}

void TestTableReader::widerWordsAreRefused_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("failure"); // empty: read as bytes
    QTest::newRow("16-bit words") << "const unsigned short t[] = {\n  0x0012, 0x1234,\n};"
                                  << "0x0012 on line 2 is not a byte";
    QTest::newRow("one word among bytes") << "0x01, 0x02,\n0x03, 0x04\n0x05, 0x1234, 0x06"
                                          << "0x1234 on line 3";
    QTest::newRow("above 255") << "0xff, 0x100"
                               << "0x100 on line 1";
    QTest::newRow("dollar word") << "db $12\ndb $01FF"
                                 << "$01FF on line 2";
    QTest::newRow("&H word") << "10 DATA &H12\r\n20 DATA &H1234"
                             << "&H1234 on line 2";
    QTest::newRow("lone CR lines") << "0x01\r0x02\r0xABC"
                                   << "0xABC on line 3";
    QTest::newRow("first of several") << "0x1234, 0x5678"
                                      << "0x1234 on line 1";
    QTest::newRow("bytes without delimiter") << "0xff0x800x01"
                                             << "";
    QTest::newRow("word in a comment") << "/* 0x1234 */ 0x12 // 0x5678"
                                       << "";
    QTest::newRow("word in a #define") << "#define SIZE 0x0400\n0x12"
                                       << "";
    QTest::newRow("suffix letters") << "0x12u, 0x34UL"
                                    << "";
}

void TestTableReader::widerWordsAreRefused() {
    QFETCH(QString, text);
    QFETCH(QString, failure);
    QString said;
    const QByteArray bytes = readTableFile(text.toUtf8(), &said);
    if (failure.isEmpty()) {
        QVERIFY2(said.isEmpty(), qPrintable(said));
        QVERIFY(!bytes.isEmpty());
    } else {
        QVERIFY2(said.startsWith(failure), qPrintable(said));
        QVERIFY(said.endsWith(QLatin1String("is not a byte: a byte has one or two hex digits")));
        QVERIFY(bytes.isEmpty());
    }
}

void TestTableReader::fit_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("lastByte");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("kept"); // -1: refused
    QTest::addColumn<QString>("says");
    QTest::newRow("vertical exact") << 1024 << 0x12 << false << 1024 << "";
    QTest::newRow("horizontal exact") << 1024 << 0x12 << true << 1024 << "";
    QTest::newRow("horizontal closing 00") << 1025 << 0 << true << 1024 << "";
    QTest::newRow("vertical has no closing 00")
        << 1025 << 0 << false << -1 << "1025 bytes, but a 128x64 panel needs 1024";
    QTest::newRow("horizontal last byte not 00")
        << 1025 << 1 << true << -1 << "needs 1024 (or 1025 ending in the closing 00)";
    QTest::newRow("another panel's count")
        << 2048 << 0 << false << -1 << "2048 bytes fit 128x128 and 256x64";
    QTest::newRow("no panel's count")
        << 1000 << 0 << false << -1 << "1000 bytes fit none of the eight panels";
    QTest::newRow("empty") << 0 << 0 << true << -1 << "0 bytes";
}

void TestTableReader::fit() {
    QFETCH(int, count);
    QFETCH(int, lastByte);
    QFETCH(bool, horizontal);
    QFETCH(int, kept);
    QFETCH(QString, says);
    QByteArray table(count, 0x55);
    if (count > 0)
        table.back() = static_cast<char>(lastByte);
    const PanelBytes fitted = fitToPanel(table, 128, 64, horizontal);
    QCOMPARE(fitted.ok(), kept >= 0);
    if (kept >= 0) {
        QCOMPARE(fitted.bytes, table.left(kept));
    } else {
        QVERIFY2(fitted.failure.startsWith(QLatin1String("wrong byte count: ")),
                 qPrintable(fitted.failure));
        QVERIFY2(fitted.failure.contains(says), qPrintable(fitted.failure));
    }
}

QTEST_APPLESS_MAIN(TestTableReader)
#include "test_table_reader.moc"

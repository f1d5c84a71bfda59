// The output text around the bytes, the size label and the transmit stream.
#include "convert/OutputText.h"
#include "convert/TransmitText.h"
#include "support/MatrixPictures.h"

#include <QtTest>

Q_DECLARE_METATYPE(OutputFormat)

class TestOutputText : public QObject {
    Q_OBJECT
private slots:
    void verticalText_data();
    void verticalText();
    void horizontalText_data();
    void horizontalText();
    void rawTextIsUndecoratedRowOrder();
    void byteCountCaption_data();
    void byteCountCaption();
    void transmit_data();
    void transmit();
    void reformatSourceTrimsSpacesOnly();
    void reformatForOutput_data();
    void reformatForOutput();
    void textOverTheLargestIsRefused_data();
    void textOverTheLargestIsRefused();
};

void TestOutputText::verticalText_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("footer");
    QTest::addColumn<QString>("begins");
    QTest::addColumn<QString>("ends");
    QTest::addColumn<int>("length");
    QTest::newRow("bare") << ""
                          << ""
                          << ""
                          << ""
                          << "ff808084808080800000"
                          << "0000" << 2048;
    QTest::newRow("0x comma") << "0x"
                              << ","
                              << ""
                              << ""
                              << "0xff,0x80,0x80,0x84,0x80,0x80,0x80,0x80,0x00,0x00,"
                              << "0x00,0x00" << 5119;
    QTest::newRow("dollar comma space") << "$"
                                        << ", "
                                        << "DATA "
                                        << ""
                                        << "data $ff, $80, $80, $84, $80, $80, $80, $80, $00,"
                                        << "$00, $00" << 5123;
    QTest::newRow("capital X, header, footer") << "0X"
                                               << ","
                                               << "Image:"
                                               << ";"
                                               << "image:0xff,0x80,0x80,0x84,"
                                               << "0x00,0x00;" << 5126;
    QTest::newRow("comma and letter leaves the letter") << ""
                                                        << ",a"
                                                        << ""
                                                        << ""
                                                        << "ff,a80,a80,a84"
                                                        << "00,a00 a" << 1024 * 4;
    QTest::newRow("space delimiter") << ""
                                     << " "
                                     << ""
                                     << ""
                                     << "ff 80 80 84"
                                     << "00 00" << 1024 * 3 - 1;
    QTest::newRow("header and footer spaces trimmed") << ""
                                                      << ""
                                                      << "   H "
                                                      << " F   "
                                                      << "h ff8080"
                                                      << "0000 f" << 2048 + 4;
    QTest::newRow("tabs stay") << ""
                               << ""
                               << "\t"
                               << "\t "
                               << "\tff80"
                               << "00\t" << 2050;
    QTest::newRow("line break in header stays") << ""
                                                << ""
                                                << "Data:\r\n"
                                                << ""
                                                << "data:\r\nff"
                                                << "0000" << 2048 + 7;
}

void TestOutputText::verticalText() {
    QFETCH(QString, format);
    QFETCH(QString, delimiter);
    QFETCH(QString, header);
    QFETCH(QString, footer);
    QFETCH(QString, begins);
    QFETCH(QString, ends);
    QFETCH(int, length);
    const Canvas canvas = cornerPicture(128, 64);
    const QString text = verticalOutputText(verticalMatrix(canvas.image(), 128, 64),
                                            {format, delimiter, header, footer});
    QVERIFY2(text.startsWith(begins), qPrintable(text.left(60)));
    QVERIFY2(text.endsWith(ends), qPrintable(text.right(20)));
    QCOMPARE(text.size(), length);
}

void TestOutputText::horizontalText_data() {
    QTest::addColumn<bool>("captured");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("footer");
    QTest::addColumn<QString>("begins");
    QTest::addColumn<QString>("ends");
    QTest::addColumn<int>("length");
    // The counting matrix's last byte of 128x64 is 63 * 7 + 15 = 456 -> 0xc8.
    QTest::newRow("nothing captured") << false << 128 << ""
                                      << ""
                                      << ""
                                      << ""
                                      << "00"
                                      << "00" << 2;
    QTest::newRow("nothing captured, 0x comma") << false << 128 << "0x"
                                                << ","
                                                << ""
                                                << ""
                                                << "0x,0x,"
                                                << "0x,0x,00" << 1024 * 3 + 2;
    QTest::newRow("captured 128") << true << 128 << ""
                                  << ""
                                  << ""
                                  << ""
                                  << "000102"
                                  << "c800" << 2050;
    QTest::newRow("captured 240") << true << 240 << ""
                                  << ""
                                  << ""
                                  << ""
                                  << "0001"
                                  << "d600" << 30 * 64 * 2 + 2;
    QTest::newRow("0x comma keeps the closing 00 whole") << true << 128 << "0x"
                                                         << ","
                                                         << ""
                                                         << ""
                                                         << "0x00,0x01,"
                                                         << ",0xc8,00" << 1024 * 5 + 2;
    QTest::newRow("two-character delimiter") << true << 128 << "0x"
                                             << ", "
                                             << "{"
                                             << " };"
                                             << "{0x00, 0x01, "
                                             << ", 0xc8, 00 };" << 1 + 1024 * 6 + 2 + 3;
    QTest::newRow("delimiter 0 keeps 00") << true << 128 << ""
                                          << "0"
                                          << ""
                                          << ""
                                          << "000010"
                                          << "c8000" << 1024 * 3 + 2;
}

void TestOutputText::horizontalText() {
    QFETCH(bool, captured);
    QFETCH(int, width);
    QFETCH(QString, format);
    QFETCH(QString, delimiter);
    QFETCH(QString, header);
    QFETCH(QString, footer);
    QFETCH(QString, begins);
    QFETCH(QString, ends);
    QFETCH(int, length);
    const HorzMatrix matrix = captured ? countingMatrix(width, 64) : HorzMatrix();
    const QString text =
        horizontalOutputText(matrix, width, 64, {format, delimiter, header, footer});
    QVERIFY2(text.startsWith(begins), qPrintable(text.left(60)));
    QVERIFY2(text.endsWith(ends), qPrintable(text.right(20)));
    QCOMPARE(text.size(), length);
}

void TestOutputText::rawTextIsUndecoratedRowOrder() {
    HorzMatrix matrix = countingMatrix(256, 64);           // columns 30 and 31 hold bytes too
    QCOMPARE(rawMatrixText(matrix, 128, 64).size(), 2048); // a smaller panel reads its own part
    const QString raw = rawMatrixText(matrix, 240, 64);
    QCOMPARE(raw.size(), 30 * 64 * 2);
    QCOMPARE(raw.mid(30 * 2, 4), QStringLiteral("0708")); // row 1 starts right after column 29
    QCOMPARE(rawMatrixText(HorzMatrix(), 128, 64), QString());
}

void TestOutputText::byteCountCaption_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("caption");
    QTest::newRow("empty") << 0 << "0";
    QTest::newRow("one character") << 1 << "0.5";
    QTest::newRow("closing 00 alone") << 2 << "1";
    QTest::newRow("1024 bytes") << 2048 << "1024";
    QTest::newRow("odd") << 2049 << "1024.5";
    QTest::newRow("1025 bytes") << 2050 << "1025";
}

void TestOutputText::byteCountCaption() {
    QFETCH(int, length);
    QFETCH(QString, caption);
    QCOMPARE(::byteCountCaption(length), caption);
}

void TestOutputText::transmit_data() {
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("piece");
    QTest::addColumn<QString>("wait");
    QTest::addColumn<QString>("expected");
    QTest::newRow("short last piece") << "*3200000A"
                                      << "abcdef" << 4 << "]"
                                      << "*3200000a]abcd]ef";
    QTest::newRow("exact pieces") << ""
                                  << "abcd" << 2 << "]"
                                  << "]ab]cd";
    QTest::newRow("several wait characters") << "*"
                                             << "ABC" << 2 << "]Q"
                                             << "*]qab]qc";
    QTest::newRow("nothing to cut") << "*1200000A"
                                    << "" << 32 << "]"
                                    << "*1200000a";
    QTest::newRow("no piece length") << ""
                                     << "abc" << 0 << "]"
                                     << "]abc";
    QString bytes2048;
    for (int i = 0; i < 1024; ++i)
        bytes2048 += hexOf(quint8(i));
    QString expected;
    for (int i = 0; i < 64; ++i)
        expected += QLatin1Char(']') + bytes2048.mid(i * 32, 32);
    QTest::newRow("2048 in 32s") << "" << bytes2048 << 32 << "]" << expected;
    QTest::newRow("2050 in 32s") << "" << bytes2048 + "00" << 32 << "]" << expected + "]00";
}

void TestOutputText::transmit() {
    QFETCH(QString, header);
    QFETCH(QString, text);
    QFETCH(int, piece);
    QFETCH(QString, wait);
    QFETCH(QString, expected);
    QCOMPARE(transmitText(header, text, piece, wait), expected);
}

void TestOutputText::reformatSourceTrimsSpacesOnly() {
    QCOMPARE(reformatSource(QStringLiteral("  FF00  ")), QStringLiteral("ff00"));
    QCOMPARE(reformatSource(QStringLiteral("\tAB\r\n")), QStringLiteral("\tab\r\n"));
    QCOMPARE(trimSpaces(QStringLiteral("   ")), QString());
}

void TestOutputText::reformatForOutput_data() {
    QTest::addColumn<OutputFormat>("format");
    QTest::addColumn<QString>("xmitText"); // empty: refused
    QTest::addColumn<QString>("refusal");
    const QString noFormat = "No Format or Delimiters allowed\n\rConvert again without them.";
    const QString noHeader = "No Header or Footer allowed\n\rConvert again without them.";
    QTest::newRow("bare") << OutputFormat{} << "*3200000a]ab12]cd"
                          << "";
    QTest::newRow("format") << OutputFormat{"0x", "", "", ""} << "" << noFormat;
    QTest::newRow("delimiter and header: format first")
        << OutputFormat{"", ",", "db", ""} << "" << noFormat;
    QTest::newRow("header") << OutputFormat{"", "", "db", ""} << "" << noHeader;
    QTest::newRow("footer of a space") << OutputFormat{"", "", "", " "} << "" << noHeader;
}

void TestOutputText::reformatForOutput() {
    QFETCH(OutputFormat, format);
    QFETCH(QString, xmitText);
    QFETCH(QString, refusal);
    ReformatInput input;
    input.windowText = QStringLiteral(" AB12cd  ");
    input.format = format;
    input.header = QStringLiteral("*3200000A");
    input.pieceLength = 4;
    input.waitChars = QStringLiteral("]");
    const Reformatted result = ::reformatForOutput(input);
    QCOMPARE(result.refusal, refusal);
    QCOMPARE(result.xmitText, xmitText);
    QCOMPARE(result.convText, refusal.isEmpty() ? QStringLiteral("ab12cd") : QString());
}

void TestOutputText::textOverTheLargestIsRefused_data() {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<int>("columns"); // of the panel; 8 pixel rows a page, or a byte a row
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("formatLength");
    QTest::addColumn<qint64>("length"); // of the text; refused above 16,000,000
    // 320x200, vertical: 8000 bytes. The longest Format the box takes makes 262 million.
    QTest::newRow("320x200, 32767-character Format")
        << true << 320 << 25 << 32767 << qint64(8000) * (32767 + 2);
    // 128x32 vertical: 512 bytes of (Format + 2) characters.
    QTest::newRow("exactly the largest") << true << 128 << 4 << 31248 << qint64(16000000);
    QTest::newRow("one byte's worth over") << true << 128 << 4 << 31249 << qint64(16000512);
    // Horizontal: 320x200 is 8000 bytes and the closing "00".
    QTest::newRow("horizontal, over") << false << 320 << 200 << 2000 << qint64(8000) * 2002 + 2;
}

void TestOutputText::textOverTheLargestIsRefused() {
    QFETCH(bool, vertical);
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(int, formatLength);
    QFETCH(qint64, length);
    const OutputFormat format{QString(formatLength, QLatin1Char('x')), {}, {}, {}};
    QString text;
    QString refusal;
    try {
        if (vertical) {
            VertMatrix matrix;
            matrix.columns = columns;
            matrix.pages = rows;
            matrix.bytes.assign(size_t(columns) * size_t(rows), 0x5a);
            text = verticalOutputText(matrix, format);
        } else {
            HorzMatrix matrix;
            for (int row = 0; row < rows; ++row)
                for (int column = 0; column < columns / 8; ++column)
                    matrix.set(row, column, 0x5a);
            text = horizontalOutputText(matrix, columns, rows, format);
        }
    } catch (const std::length_error& e) {
        refusal = QString::fromStdString(e.what());
    }
    if (length <= LargestOutputText) {
        QCOMPARE(text.size(), length);
        QVERIFY(refusal.isEmpty());
    } else {
        QVERIFY(text.isEmpty());
        QCOMPARE(refusal, QStringLiteral("the output text would be %1 characters long, more than "
                                         "the 16000000 the program makes")
                              .arg(length));
    }
}

QTEST_APPLESS_MAIN(TestOutputText)
#include "test_output_text.moc"

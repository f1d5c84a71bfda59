// Tables for firmware: each format's lines, names, the binary preview and the byte order.
#include "convert/Export.h"
#include "support/MatrixPictures.h"

#include <QtTest>

Q_DECLARE_METATYPE(ExportFormat)

namespace {
// Byte i is i modulo 256, so that a dropped, doubled or swapped byte shows in the lines.
QByteArray counting(int count) {
    QByteArray bytes(count, '\0');
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(i & 0xFF);
    return bytes;
}
} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
    void identifiers_data();
    void identifiers();
    void binaryIsTheBytesAndPreviewsAsHexDump();
    void verticalBytesArePageByPage();
};

void TestExport::formats_data() {
    QTest::addColumn<ExportFormat>("format");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("perLine");
    QTest::addColumn<QStringList>("firstLines");
    QTest::addColumn<QString>("lastLine");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("longestLine");
    const QString vertical128 =
        QStringLiteral("image: 128x64 pixels, vertical bytes (KS0108), 1024 bytes");
    QTest::newRow("C, 16 a line")
        << ExportFormat::C << "image" << 1024 << false << 16
        << QStringList{"// " + vertical128, "#define IMAGE_WIDTH 128", "#define IMAGE_HEIGHT 64",
                       "const unsigned char image[1024] = {",
                       "    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, "
                       "0x0b, 0x0c, 0x0d, 0x0e, 0x0f,"}
        << "};" << 4 + 64 + 1 << 4 + 16 * 6 - 1;
    QTest::newRow("C, 10 a line, short last line")
        << ExportFormat::C << "image" << 1024 << false << 10 << QStringList{"// " + vertical128}
        << "};" << 4 + 103 + 1 << 4 + 10 * 6 - 1;
    QTest::newRow("PROGMEM, horizontal 240x64, name kept in case")
        << ExportFormat::Progmem << "myLogo 2" << 1920 << true << 30
        << QStringList{"// myLogo_2: 240x64 pixels, horizontal bytes (T6963C, SED1330), 1920 bytes",
                       "#include <avr/pgmspace.h>", "#define MYLOGO_2_WIDTH 240",
                       "#define MYLOGO_2_HEIGHT 64",
                       "const unsigned char myLogo_2[1920] PROGMEM = {"}
        << "};" << 5 + 64 + 1 << 4 + 30 * 6 - 1;
    QTest::newRow("assembler, 8 a line")
        << ExportFormat::Assembler << "image" << 1024 << false << 8
        << QStringList{"; " + vertical128,
                       "image:", "    db 0x00,0x01,0x02,0x03,0x04,0x05,0x06,0x07"}
        << "    db 0xf8,0xf9,0xfa,0xfb,0xfc,0xfd,0xfe,0xff" << 2 + 128 << 7 + 8 * 5 - 1;
    QTest::newRow("BASIC, 16 a line")
        << ExportFormat::Basic << "image" << 1024 << false << 16
        << QStringList{"10 REM " + vertical128,
                       "20 DATA &H00,&H01,&H02,&H03,&H04,&H05,&H06,&H07,&H08,&H09,&H0A,&H0B,"
                       "&H0C,&H0D,&H0E,&H0F"}
        << "650 DATA &HF0,&HF1,&HF2,&HF3,&HF4,&HF5,&HF6,&HF7,&HF8,&HF9,&HFA,&HFB,&HFC,&HFD,"
           "&HFE,&HFF"
        << 1 + 64 << 9 + 16 * 5 - 1;
    // 8001 lines do not fit steps of ten below 65529, the highest line many BASICs take.
    QTest::newRow("BASIC, one a line, numbered in ones")
        << ExportFormat::Basic << "image" << 8000 << true << 1
        << QStringList{"1 REM image: 320x200 pixels, horizontal bytes (T6963C, SED1330), 8000 "
                       "bytes",
                       "2 DATA &H00"}
        << "8001 DATA &H3F" << 8001 << 0;
    QTest::newRow("bytes a line beyond 64 taken as 64")
        << ExportFormat::Assembler << "image" << 1024 << false << 1000
        << QStringList{"; " + vertical128, "image:"} << "" << 2 + 16 << 7 + 64 * 5 - 1;
}

void TestExport::formats() {
    QFETCH(ExportFormat, format);
    QFETCH(QString, name);
    QFETCH(int, count);
    QFETCH(bool, horizontal);
    QFETCH(int, perLine);
    QFETCH(QStringList, firstLines);
    QFETCH(QString, lastLine);
    QFETCH(int, lineCount);
    QFETCH(int, longestLine);
    const int width = count == 1024 ? 128 : count == 1920 ? 240 : 320;
    const int height = count == 1024 ? 64 : count == 1920 ? 64 : 200;
    ExportOptions options;
    options.name = name;
    options.bytesPerLine = perLine;
    const QByteArray table =
        exportTable(counting(count), width, height, horizontal, format, options);
    QVERIFY(table.endsWith('\n'));
    QVERIFY(!table.endsWith("\n\n"));
    const QStringList lines = QString::fromLatin1(table.chopped(1)).split(QLatin1Char('\n'));
    QCOMPARE(lines.mid(0, firstLines.size()), firstLines);
    if (!lastLine.isEmpty())
        QCOMPARE(lines.last(), lastLine);
    QCOMPARE(lines.size(), lineCount);
    // Below the comment line: the longest line, and every byte once.
    const QStringList body = lines.mid(1);
    if (longestLine > 0) {
        qsizetype longest = 0;
        for (const QString& line : body)
            longest = std::max(longest, line.size());
        QCOMPARE(int(longest), longestLine);
    }
    const QString prefix =
        format == ExportFormat::Basic ? QStringLiteral("&H") : QStringLiteral("0x");
    QCOMPARE(int(body.join(QLatin1Char('\n')).count(prefix)), count);
}

void TestExport::identifiers_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("identifier");
    QTest::newRow("plain") << "image"
                           << "image";
    QTest::newRow("case kept") << "LogoSmall"
                               << "LogoSmall";
    QTest::newRow("spaces and signs") << "my logo-v2!"
                                      << "my_logo_v2_";
    QTest::newRow("leading digit") << "3d"
                                   << "_3d";
    QTest::newRow("empty") << ""
                           << "image";
    QTest::newRow("C keyword") << "int"
                               << "int_";
    QTest::newRow("C++ keyword") << "class"
                                 << "class_";
    QTest::newRow("not ASCII") << QString::fromUtf8("grün") << "gr_n";
}

void TestExport::identifiers() {
    QFETCH(QString, name);
    QFETCH(QString, identifier);
    QCOMPARE(cIdentifier(name), identifier);
}

void TestExport::binaryIsTheBytesAndPreviewsAsHexDump() {
    const QByteArray bytes = counting(17);
    const QByteArray table =
        exportTable(bytes, 128, 64, false, ExportFormat::Binary, ExportOptions());
    QCOMPARE(table, bytes);
    QCOMPARE(exportPreview(table, ExportFormat::Binary),
             QStringLiteral("00000000  00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f\n"
                            "00000010  10\n"));
    QCOMPARE(exportExtension(ExportFormat::Binary), QStringLiteral(".bin"));
    QCOMPARE(exportExtension(ExportFormat::Assembler), QStringLiteral(".inc"));
}

void TestExport::verticalBytesArePageByPage() {
    // The corner picture's page 0 begins ff 80 80 84; pixel (1, 8) is bit 0 of page 1, column 1.
    Canvas canvas = cornerPicture(128, 16);
    canvas.setPixel(1, 8, Canvas::Black);
    const QByteArray bytes = verticalBytes(verticalMatrix(canvas.image(), 128, 16));
    QCOMPARE(bytes.size(), 256);
    QCOMPARE(bytes.left(4), QByteArray::fromHex("ff808084"));
    QCOMPARE(bytes.mid(128, 3), QByteArray::fromHex("000100"));
}

QTEST_GUILESS_MAIN(TestExport)
#include "test_export.moc"

// Tables for firmware: each format's lines, names, the binary preview and the byte order.
#include "convert/Export.h"
#include "support/MatrixPictures.h"

#include <QtTest>

Q_DECLARE_METATYPE(ExportFormat)
Q_DECLARE_METATYPE(ExportOptions)

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
    void formatNamesInListOrder();
    void binaryIsTheBytesAndPreviewsAsHexDump();
    void verticalBytesArePageByPage();
};

void TestExport::formats_data() {
    QTest::addColumn<ExportFormat>("format");
    QTest::addColumn<ExportOptions>("options");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QStringList>("firstLines");
    QTest::addColumn<QString>("lastLine");
    QTest::addColumn<int>("dataLines");
    QTest::addColumn<int>("longestLine");
    const QString vertical128 =
        QStringLiteral("image: 128x64 pixels, vertical bytes (KS0108), 1024 bytes");
    const QString yours = QStringLiteral("The table below is yours: use it as you wish.");
    const auto options = [](const char* name, int perLine, bool uint8 = false) {
        return ExportOptions{QString::fromUtf8(name), perLine, uint8};
    };
    QTest::newRow("C, 16 a line")
        << ExportFormat::C << options("image", 16) << 1024 << false
        << QStringList{"// " + vertical128,
                       "// " + yours,
                       "#define IMAGE_WIDTH 128",
                       "#define IMAGE_HEIGHT 64",
                       "const unsigned char image[1024] = {",
                       "    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, "
                       "0x0b, 0x0c, 0x0d, 0x0e, 0x0f,"}
        << "};" << 64 << 4 + 16 * 6 - 1;
    QTest::newRow("C, 10 a line, short last line")
        << ExportFormat::C << options("image", 10) << 1024 << false
        << QStringList{"// " + vertical128} << "};" << 103 << 4 + 10 * 6 - 1;
    QTest::newRow("C, uint8_t") << ExportFormat::C << options("image", 16, true) << 1024 << false
                                << QStringList{"// " + vertical128,
                                               "// " + yours,
                                               "#include <stdint.h>",
                                               "#define IMAGE_WIDTH 128",
                                               "#define IMAGE_HEIGHT 64",
                                               "const uint8_t image[1024] = {"}
                                << "};" << 64 << 4 + 16 * 6 - 1;
    QTest::newRow("PROGMEM, horizontal 240x64, name kept in case")
        << ExportFormat::Progmem << options("myLogo 2", 30) << 1920 << true
        << QStringList{"// myLogo_2: 240x64 pixels, horizontal bytes (T6963C, SED1330), 1920 bytes",
                       "// " + yours,
                       "#include <avr/pgmspace.h>",
                       "#define MYLOGO_2_WIDTH 240",
                       "#define MYLOGO_2_HEIGHT 64",
                       "const unsigned char myLogo_2[1920] PROGMEM = {"}
        << "};" << 64 << 4 + 30 * 6 - 1;
    QTest::newRow("PROGMEM, uint8_t")
        << ExportFormat::Progmem << options("image", 16, true) << 1024 << false
        << QStringList{"// " + vertical128,
                       "// " + yours,
                       "#include <avr/pgmspace.h>",
                       "#include <stdint.h>",
                       "#define IMAGE_WIDTH 128",
                       "#define IMAGE_HEIGHT 64",
                       "const uint8_t image[1024] PROGMEM = {"}
        << "};" << 64 << 4 + 16 * 6 - 1;
    QTest::newRow("PIC18, 8 a line")
        << ExportFormat::Pic18Assembler << options("image", 8) << 1024 << false
        << QStringList{"; " + vertical128, "; " + yours}
        << "    db 0xf8,0xf9,0xfa,0xfb,0xfc,0xfd,0xfe,0xff" << 128 << 7 + 8 * 5 - 1;
    // db pads each line to whole program words: an odd count a line would put zeros in the table.
    QTest::newRow("PIC18, 7 a line taken as 8")
        << ExportFormat::Pic18Assembler << options("image", 7) << 1024 << false
        << QStringList{"; " + vertical128} << "    db 0xf8,0xf9,0xfa,0xfb,0xfc,0xfd,0xfe,0xff"
        << 128 << 7 + 8 * 5 - 1;
    QTest::newRow("PIC18, odd count, one a line taken as two")
        << ExportFormat::Pic18Assembler << options("image", 1) << 1025 << false
        << QStringList{"; image: 128x64 pixels, vertical bytes (KS0108), 1025 bytes"}
        << "    db 0x00" << 513 << 7 + 2 * 5 - 1;
    QTest::newRow("PIC16, 16 a line")
        << ExportFormat::Pic16Assembler << options("image", 16) << 1024 << false
        << QStringList{"; " + vertical128, "; " + yours}
        << "    dt 0xf0,0xf1,0xf2,0xf3,0xf4,0xf5,0xf6,0xf7,0xf8,0xf9,0xfa,0xfb,0xfc,0xfd,0xfe,0xff"
        << 64 << 7 + 16 * 5 - 1;
    QTest::newRow("BASIC, 16 a line")
        << ExportFormat::Basic << options("image", 16) << 1024 << false
        << QStringList{"10 REM " + vertical128, "20 REM " + yours,
                       "30 DATA &H00,&H01,&H02,&H03,&H04,&H05,&H06,&H07,&H08,&H09,&H0A,&H0B,"
                       "&H0C,&H0D,&H0E,&H0F"}
        << "660 DATA &HF0,&HF1,&HF2,&HF3,&HF4,&HF5,&HF6,&HF7,&HF8,&HF9,&HFA,&HFB,&HFC,&HFD,"
           "&HFE,&HFF"
        << 64 << 9 + 16 * 5 - 1;
    // 8002 lines do not fit steps of ten below 65529, the highest line many BASICs take.
    QTest::newRow("BASIC, one a line, numbered in ones")
        << ExportFormat::Basic << options("image", 1) << 8000 << true
        << QStringList{"1 REM image: 320x200 pixels, horizontal bytes (T6963C, SED1330), 8000 "
                       "bytes",
                       "2 REM " + yours, "3 DATA &H00"}
        << "8002 DATA &H3F" << 8000 << 0;
    QTest::newRow("bytes a line beyond 64 taken as 64")
        << ExportFormat::Pic18Assembler << options("image", 1000) << 1024 << false
        << QStringList{"; " + vertical128} << "" << 16 << 7 + 64 * 5 - 1;
}

void TestExport::formats() {
    QFETCH(ExportFormat, format);
    QFETCH(ExportOptions, options);
    QFETCH(int, count);
    QFETCH(bool, horizontal);
    QFETCH(QStringList, firstLines);
    QFETCH(QString, lastLine);
    QFETCH(int, dataLines);
    QFETCH(int, longestLine);
    const int width = count == 1920 ? 240 : count == 8000 ? 320 : 128;
    const int height = count == 8000 ? 200 : 64;
    const QByteArray table =
        exportTable(counting(count), width, height, horizontal, format, options);
    QVERIFY(table.endsWith('\n'));
    QVERIFY(!table.endsWith("\n\n"));
    const QStringList lines = QString::fromLatin1(table.chopped(1)).split(QLatin1Char('\n'));
    QCOMPARE(lines.mid(0, firstLines.size()), firstLines);
    if (!lastLine.isEmpty())
        QCOMPARE(lines.last(), lastLine);
    // The lines that hold bytes: their number, the longest, and every byte once.
    const QString prefix =
        format == ExportFormat::Basic ? QStringLiteral("&H") : QStringLiteral("0x");
    QStringList data;
    for (const QString& line : lines)
        if (line.contains(prefix) && !line.startsWith(QLatin1Char(';')) &&
            !line.startsWith(QLatin1String("//")))
            data << line;
    QCOMPARE(int(data.size()), dataLines);
    if (longestLine > 0) {
        qsizetype longest = 0;
        for (const QString& line : data)
            longest = std::max(longest, line.size());
        QCOMPARE(int(longest), longestLine);
    }
    QCOMPARE(int(data.join(QLatin1Char('\n')).count(prefix)), count);
}

void TestExport::identifiers_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<ExportFormat>("format");
    QTest::addColumn<QString>("identifier");
    const auto row = [](const char* tag, const QString& name, ExportFormat format,
                        const char* identifier) {
        QTest::newRow(tag) << name << format << QString::fromLatin1(identifier);
    };
    const ExportFormat c = ExportFormat::C;
    row("plain", "image", c, "image");
    row("case kept", "LogoSmall", c, "LogoSmall");
    row("spaces and signs", "my logo-v2!", c, "my_logo_v2_");
    row("leading digit", "3d", c, "_3d");
    row("empty", "", c, "image");
    row("only signs", "!?", c, "image");
    row("C keyword", "int", c, "int_");
    row("C++ keyword", "class", c, "class_");
    row("not ASCII", QString::fromUtf8("grün"), c, "gr_n");
    // Names a compiler or a header already holds.
    row("gcc's macro in GNU modes", "linux", c, "linux_");
    row("C23 keyword", "typeof", c, "typeof_");
    row("C++20 keyword", "concept", c, "concept_");
    row("main", "main", c, "main_");
    row("underscore and capital", "_Atomic", c, "Atomic");
    row("underscore and small letter", "_logo", c, "logo");
    row("two underscores", "__FILE__", c, "FILE_");
    row("two underscores inside", "my  logo", c, "my_logo");
    row("a stdint.h type", "uint8_t", c, "uint8_t_");
    row("a pgmspace.h macro", "PSTR", ExportFormat::Progmem, "PSTR_");
    row("SIZE_WIDTH is stdint.h's", "size", c, "size_");
    row("capitals are AVR register macros", "PORTB", ExportFormat::Progmem, "PORTB_");
    row("capitals in plain C", "LOGO", c, "LOGO");
    row("an AVR vector", "TIMER1_OVF_vect", ExportFormat::Progmem, "TIMER1_OVF_vect_");
    row("an inttypes.h macro", "PRIx8", ExportFormat::Progmem, "PRIx8_");
    row("underscore and digit kept", "_3d", c, "_3d");
    // Assembler and BASIC words, in any case, only where they mean something.
    row("PIC16 instruction", "movlw", ExportFormat::Pic16Assembler, "movlw_");
    row("PIC18 instruction, capitals", "TBLRD", ExportFormat::Pic18Assembler, "TBLRD_");
    row("directive", "Org", ExportFormat::Pic16Assembler, "Org_");
    row("register the routine uses", "PCLATH", ExportFormat::Pic16Assembler, "PCLATH_");
    row("instruction in C", "movlw", c, "movlw");
    row("BASIC keyword", "Print", ExportFormat::Basic, "Print_");
    row("BASIC keyword in assembler", "print", ExportFormat::Pic18Assembler, "print");
}

void TestExport::identifiers() {
    QFETCH(QString, name);
    QFETCH(ExportFormat, format);
    QFETCH(QString, identifier);
    QCOMPARE(exportName(name, format), identifier);
    QCOMPARE(exportName(identifier, format), identifier); // made once, it stays
    if (format == ExportFormat::C)
        QCOMPARE(cIdentifier(name), identifier);
}

void TestExport::formatNamesInListOrder() {
    const QStringList labels{"C array",
                             "C array (Arduino PROGMEM)",
                             "PIC18 assembler (db)",
                             "PIC16 assembler (dt, retlw)",
                             "BASIC (DATA)",
                             "Binary file"};
    const QStringList keys{"c", "progmem", "pic18asm", "pic16asm", "basic", "binary"};
    const QStringList extensions{".h", ".h", ".inc", ".inc", ".bas", ".bin"};
    QCOMPARE(ExportFormatCount, int(labels.size()));
    for (int i = 0; i < ExportFormatCount; ++i) {
        const auto format = static_cast<ExportFormat>(i);
        QCOMPARE(exportFormatLabel(format), labels[i]);
        QCOMPARE(exportFormatKey(format), keys[i]);
        QCOMPARE(exportExtension(format), extensions[i]);
    }
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
    QCOMPARE(exportExtension(ExportFormat::Pic18Assembler), QStringLiteral(".inc"));
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

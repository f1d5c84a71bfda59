// The 1-bit BMP writer and the row reader of the horizontal capture, including files written by
// another program and a fuzz run over damaged files.
#include "canvas/Bmp.h"
#include "support/TestGroup.h"

#include "support/BmpFixtures.h"

#include <QtTest>
#include <random>

class TestBmp : public QObject {
    Q_OBJECT
private slots:
    void savedHeader_data();
    void savedHeader();
    void rowLength_data();
    void rowLength();
    void onlyPureBlackIsZero_data();
    void onlyPureBlackIsZero();
    void savedFileReadsBackPixelExact_data();
    void savedFileReadsBackPixelExact();
    void rowsComeFromDeclaredOffsetInEitherOrder_data();
    void rowsComeFromDeclaredOffsetInEitherOrder();
    void filesFromAnotherProgram_data();
    void filesFromAnotherProgram();
    void paletteOrderDoesNotChangeThePicture_data();
    void paletteOrderDoesNotChangeThePicture();
    void refusals_data();
    void refusals();
    void damagedFilesNeverReadOutside();
};

void TestBmp::savedHeader_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<int>("rowLength");
    QTest::newRow("240x64") << 240 << 64 << 2110 << 32;
    QTest::newRow("128x64") << 128 << 64 << 1086 << 16;
    QTest::newRow("128x32") << 128 << 32 << 574 << 16;
    QTest::newRow("256x128") << 256 << 128 << 4158 << 32;
    QTest::newRow("320x200") << 320 << 200 << 8062 << 40;
}

void TestBmp::savedHeader() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, fileSize);
    QFETCH(int, rowLength);
    const QByteArray file = writeMonochromeBmp(whiteImage(width, height));
    QCOMPARE(file.size(), fileSize);
    QCOMPARE(file.left(2), QByteArray("BM"));
    const int dataSize = rowLength * height;
    // offset: value, as the table of the file layout gives it
    const QList<QPair<int, quint32>> fields = {{2, quint32(fileSize)},
                                               {6, 0},
                                               {10, 62},
                                               {14, 40},
                                               {18, quint32(width)},
                                               {22, quint32(height)},
                                               {30, 0},
                                               {34, quint32(dataSize)},
                                               {38, 0},
                                               {42, 0},
                                               {46, 0},
                                               {50, 0},
                                               {54, 0x00000000},
                                               {58, 0x00FFFFFF}};
    for (const auto& [offset, value] : fields)
        QCOMPARE(le32(file, offset), value);
    QCOMPARE(le16(file, 26), 1u);
    QCOMPARE(le16(file, 28), 1u);
}

void TestBmp::rowLength_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("bytes");
    // Narrow and odd widths come from loaded pictures of any size.
    for (const auto& [w, r] : {std::pair{1, 4},
                               {2, 4},
                               {9, 4},
                               {32, 4},
                               {33, 8},
                               {128, 16},
                               {240, 32},
                               {256, 32},
                               {320, 40},
                               {321, 44}})
        QTest::addRow("%d", w) << w << r;
}

void TestBmp::rowLength() {
    QFETCH(int, width);
    QFETCH(int, bytes);
    QCOMPARE(bmpRowLength(width), bytes);
    QCOMPARE(writeMonochromeBmp(whiteImage(width, 3)).size(), 62 + 3 * bytes);
}

void TestBmp::onlyPureBlackIsZero_data() {
    QTest::addColumn<uint>("colour");
    QTest::addColumn<char>("pixelByte");
    QTest::newRow("white") << 0xFFFFFFu << char(0xFF);
    QTest::newRow("black") << 0x000000u << char(0x00);
    QTest::newRow("grey") << 0x808080u << char(0xFF);
    QTest::newRow("blue 1") << 0x000001u << char(0xFF);
    QTest::newRow("red 1") << 0x010000u << char(0xFF);
}

void TestBmp::onlyPureBlackIsZero() {
    QFETCH(uint, colour);
    QFETCH(char, pixelByte);
    QImage image(240, 64, QImage::Format_RGB32);
    image.fill(colour);
    const QByteArray file = writeMonochromeBmp(image);
    for (int row = 0; row < 64; ++row) {
        const QByteArray stored = file.mid(62 + row * 32, 32);
        QCOMPARE(stored.left(30), QByteArray(30, pixelByte));
        QCOMPARE(stored.right(2), QByteArray(2, '\0'));
    }
}

void TestBmp::savedFileReadsBackPixelExact_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    for (const auto& [w, h] : {std::pair{240, 64}, {128, 64}, {320, 200}, {13, 5}})
        QTest::addRow("%dx%d", w, h) << w << h;
}

void TestBmp::savedFileReadsBackPixelExact() {
    QFETCH(int, width);
    QFETCH(int, height);
    const QImage picture = patternImage(width, height, 7);
    const QImage back = QImage::fromData(writeMonochromeBmp(picture), "BMP");
    QCOMPARE(back.size(), picture.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            QCOMPARE(back.pixel(x, y) & 0xFFFFFFu, picture.pixel(x, y) & 0xFFFFFFu);
    }
}

void TestBmp::rowsComeFromDeclaredOffsetInEitherOrder_data() {
    QTest::addColumn<int>("gap");
    QTest::addColumn<bool>("topDown");
    QTest::newRow("62-byte header") << 0 << false;
    QTest::newRow("larger header") << 76 << false;
    QTest::newRow("top-down") << 0 << true;
    QTest::newRow("top-down, larger header") << 68 << true;
}

void TestBmp::rowsComeFromDeclaredOffsetInEitherOrder() {
    QFETCH(int, gap);
    QFETCH(bool, topDown);
    const QImage picture = patternImage(240, 64, 3);
    QByteArray file = writeMonochromeBmp(picture);
    if (topDown) {
        QByteArray rows;
        for (int r = 63; r >= 0; --r)
            rows += file.mid(62 + r * 32, 32);
        file = file.left(62) + rows;
        setLe32(file, 22, quint32(-64));
    }
    // Bytes of a longer information header or a gap before the pixels: none of it is pixel data.
    file.insert(62, QByteArray(gap, char(0xA5)));
    setLe32(file, 10, quint32(62 + gap));
    const BmpRows rows = readMonochromeBmpRows(file, 240, 64);
    QVERIFY2(rows.ok(), qPrintable(rows.failure));
    QCOMPARE(rows.bytes, expectedRows(picture, 1));
}

void TestBmp::filesFromAnotherProgram_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("pixelOffset");
    QTest::newRow("BMP3, 62-byte header") << "BMP3" << 62;
    QTest::newRow("BMP4 header") << "BMP" << -1;
    QTest::newRow("BMP2 16-bit header") << "BMP2" << 32;
}

void TestBmp::filesFromAnotherProgram() {
    QFETCH(QString, format);
    QFETCH(int, pixelOffset);
    QTemporaryDir dir;
    const QImage picture = patternImage(128, 64, 11);
    QString failure;
    const QByteArray file = imageMagickBilevel(picture, dir.path(), format, &failure);
    if (file.isEmpty())
        QSKIP(qPrintable(failure));
    if (pixelOffset > 0)
        QCOMPARE(int(le32(file, 10)), pixelOffset);
    else
        QVERIFY(le32(file, 10) > 62);
    const BmpRows rows = readMonochromeBmpRows(file, 128, 64);
    QVERIFY2(rows.ok(), qPrintable(rows.failure));
    // Whichever palette order the tool chose, a 1 bit is white.
    QCOMPARE(rows.bytes, expectedRows(picture, 1));
    QCOMPARE(rows.paletteReversed, paletteIndexOfWhite(file) == 0);
}

namespace {
// The same picture with the two palette entries swapped and every pixel bit flipped to match:
// what a program that puts white first writes.
QByteArray reversedPalette(QByteArray file, int entry, int width, int height) {
    const qsizetype palette = 14 + le32(file, 14);
    const QByteArray first = file.mid(palette, entry);
    file.replace(palette, entry, file.mid(palette + entry, entry));
    file.replace(palette + entry, entry, first);
    const int rowLength = bmpRowLength(width);
    const qsizetype offset = le32(file, 10);
    for (qsizetype i = 0; i < qsizetype(rowLength) * height; ++i)
        file[offset + i] = char(~file[offset + i]);
    return file;
}
} // namespace

void TestBmp::paletteOrderDoesNotChangeThePicture_data() {
    QTest::addColumn<QByteArray>("usual");
    QTest::addColumn<QByteArray>("other");
    QTest::addColumn<bool>("reversed");
    const QImage picture = patternImage(128, 64, 9);
    const QByteArray saved = writeMonochromeBmp(picture);
    QTest::newRow("white first") << saved << reversedPalette(saved, 4, 128, 64) << true;
    const QByteArray core = coreHeaderCopy(saved);
    QTest::newRow("white first, 12-byte header")
        << core << reversedPalette(core, 3, 128, 64) << true;
    // Any two colours: the lighter one is the 1 bit.
    QByteArray navyYellow = saved;
    navyYellow.replace(54, 8,
                       QByteArray::fromHex("40000000"
                                           "00ffff00"));
    QByteArray yellowNavy = reversedPalette(navyYellow, 4, 128, 64);
    QTest::newRow("yellow before navy") << navyYellow << yellowNavy << true;
    // A palette declared as one colour has nothing to compare; it is taken as it stands.
    QByteArray oneColour = saved;
    setLe32(oneColour, 46, 1);
    oneColour.replace(54, 8,
                      QByteArray::fromHex("ffffff00"
                                          "00000000"));
    QTest::newRow("one colour declared") << saved << oneColour << false;
}

void TestBmp::paletteOrderDoesNotChangeThePicture() {
    QFETCH(QByteArray, usual);
    QFETCH(QByteArray, other);
    QFETCH(bool, reversed);
    const BmpRows a = readMonochromeBmpRows(usual, 128, 64);
    const BmpRows b = readMonochromeBmpRows(other, 128, 64);
    QVERIFY2(a.ok() && b.ok(), qPrintable(a.failure + b.failure));
    QVERIFY(!a.paletteReversed);
    QCOMPARE(b.paletteReversed, reversed);
    if (reversed)
        QCOMPARE(b.bytes, a.bytes);
    // Qt shows both files as the same picture too, so the canvas and the capture agree.
    if (reversed)
        QCOMPARE(QImage::fromData(other, "BMP").convertToFormat(QImage::Format_RGB32),
                 QImage::fromData(usual, "BMP").convertToFormat(QImage::Format_RGB32));
}

void TestBmp::refusals_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("failure");
    const QString expected = QStringLiteral("expected a 1-bit BMP of 128x64 pixels, found ");
    const QByteArray good = writeMonochromeBmp(whiteImage(128, 64));
    QByteArray compressed = good;
    setLe32(compressed, 30, 1);
    QByteArray offsetPastEnd = good;
    setLe32(offsetPastEnd, 10, 0xFFFFFFF0u);
    QTest::newRow("text") << QByteArray("ff,00,ff\r\n") << expected + "a file that is not a BMP";
    QTest::newRow("empty") << QByteArray() << expected + "a file that is not a BMP";
    QTest::newRow("signature only")
        << QByteArray("BM") << expected + "a BMP whose headers are cut short";
    QTest::newRow("24-bit") << encoded(whiteImage(300, 200), "BMP") << expected + "24-bit 300x200";
    QTest::newRow("wrong size") << writeMonochromeBmp(whiteImage(240, 64))
                                << expected + "1-bit 240x64";
    QTest::newRow("compressed") << compressed << expected + "1-bit 128x64 compressed (method 1)";
    QTest::newRow("truncated") << good.left(1000)
                               << expected + "1-bit 128x64 cut short: 1000 bytes, its pixel rows "
                                             "end at byte 1086";
    QTest::newRow("offset past the end")
        << offsetPastEnd
        << expected + "1-bit 128x64 cut short: 1086 bytes, its pixel rows end at byte 4294968304";
}

void TestBmp::refusals() {
    QFETCH(QByteArray, file);
    QFETCH(QString, failure);
    const BmpRows rows = readMonochromeBmpRows(file, 128, 64);
    QCOMPARE(rows.failure, failure);
    QVERIFY(rows.bytes.isEmpty());
}

void TestBmp::damagedFilesNeverReadOutside() {
    // Damaged copies of good files, each read into a buffer of exactly its own length, so that the
    // sanitizer build sees any read past the end.
    std::mt19937 random(20240611u);
    QByteArray topDown = writeMonochromeBmp(patternImage(128, 64, 5));
    setLe32(topDown, 22, quint32(-64));
    const QList<QByteArray> originals = {writeMonochromeBmp(patternImage(128, 64, 5)), topDown,
                                         coreHeaderCopy(writeMonochromeBmp(whiteImage(128, 64)))};
    const quint32 awkward[] = {0,   1,          12,         40,         62,
                               124, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFC0};
    int accepted = 0;
    for (int i = 0; i < 4000; ++i) {
        QByteArray file = originals[i % originals.size()];
        switch (random() % 3) {
        case 0: // cut short anywhere
            file.truncate(qsizetype(random() % (file.size() + 1)));
            break;
        case 1: // stray bytes, mostly in the headers
            for (int n = 1 + random() % 6; n > 0; --n) {
                const auto at = random() % 2 ? random() % 62 : random() % file.size();
                file[qsizetype(at)] = char(random());
            }
            break;
        default: // a header field set to an awkward value
            setLe32(file, 2 + 4 * qsizetype(random() % 13), awkward[random() % std::size(awkward)]);
            break;
        }
        const std::vector<char> exact(file.cbegin(), file.cend()); // a block of exactly this length
        const BmpRows rows = readMonochromeBmpRows(
            QByteArray::fromRawData(exact.data(), qsizetype(exact.size())), 128, 64);
        if (rows.ok()) {
            ++accepted;
            QCOMPARE(rows.bytes.size(), 16 * 64);
        } else {
            QVERIFY(rows.failure.startsWith("expected a 1-bit BMP of 128x64 pixels, found "));
        }
    }
    QVERIFY(accepted > 0); // the mutations leave some files whole, so both paths ran
}

QUORVEL_TEST_GUILESS_MAIN(TestBmp)
#include "test_bmp.moc"

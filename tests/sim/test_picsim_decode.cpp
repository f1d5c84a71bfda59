// Header fields, LCD decoding for every panel, and the EEPROM's store and show.

#include "command_header.h"
#include "lcd_decoder.h"
#include "picsim_test_run.h"
#include "picsim_test_streams.h"

#include <QPoint>
#include <QSize>
#include <QTest>

class PicsimDecodeTest : public QObject {
    Q_OBJECT
private slots:
    void headerFields_data();
    void headerFields();
    void headerRejected_data();
    void headerRejected();
    void everyPanelDecodes_data();
    void everyPanelDecodes();
    void bitPlacement_data();
    void bitPlacement();
    void byteCountNamesThePanel_data();
    void byteCountNamesThePanel();
    void panelShowsBytesItsOwnWay_data();
    void panelShowsBytesItsOwnWay();
    void invertedHorizontalIsTheNegative();
    void eepromStoreAndShow_data();
    void eepromStoreAndShow();
    void eepromStopsAtItsEnd();
};

void PicsimDecodeTest::headerFields_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("buffer");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("delay");
    const char* delays[] = {"5", "a", "f", "14", "19", "1e", "23", "28", "2d", "32", "64"};
    const int delayMs[] = {5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 100};
    for (int i = 0; i < 11; ++i)
        QTest::addRow("delay 0%s", delays[i])
            << header("3", "20", "0000", delays[i]) << int('3') << 32 << 0 << delayMs[i];
    QTest::newRow("show EEPROM") << QByteArray("*22000000a") << int('2') << 32 << 0 << 10;
    QTest::newRow("load") << header("1", "ff", "1f40", "64") << int('1') << 255 << 0x1f40 << 100;
    QTest::newRow("mode 0") << header("0", "08", "abcd", "f") << int('0') << 8 << 0xabcd << 15;
}

void PicsimDecodeTest::headerFields() {
    QFETCH(QByteArray, text);
    const HeaderParse parsed = parseCommandHeader(text);
    QVERIFY2(parsed.header, qPrintable(parsed.error));
    QFETCH(int, mode);
    QFETCH(int, buffer);
    QFETCH(int, address);
    QFETCH(int, delay);
    QCOMPARE(int(parsed.header->mode), mode);
    QCOMPARE(parsed.header->bufferSize, buffer);
    QCOMPARE(parsed.header->address, address);
    QCOMPARE(parsed.header->delayMs, delay);
}

void PicsimDecodeTest::headerRejected_data() {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("answer");
    QTest::newRow("mode 7") << QByteArray("*72000000a]00") << "ERROR mode 7";
    QTest::newRow("upper case") << QByteArray("*32000000A]00") << "ERROR header *32000000";
    QTest::newRow("no 0 before delay") << QByteArray("*32000001a]00") << "ERROR header *32000001a";
    QTest::newRow("address 3 digits") << QByteArray("*3200000a]00") << "ERROR header *3200000a";
    QTest::newRow("delay 3 digits") << QByteArray("*320000000a5]0") << "ERROR header *320000000a";
    QTest::newRow("lone star") << QByteArray("*") << "ERROR header *";
    QTest::newRow("star, wait") << QByteArray("*]00") << "ERROR header *";
}

void PicsimDecodeTest::headerRejected() {
    QFETCH(QByteArray, stream);
    QFETCH(QString, answer);
    PicSimulator simulator;
    simulator.takeAnswers();
    QCOMPARE(runTransfer(simulator, stream), QStringList{answer});
    QCOMPARE(simulator.imageCount(), 0);
}

void PicsimDecodeTest::everyPanelDecodes_data() {
    QTest::addColumn<QString>("controller"); // the chip that takes the stream's layout
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    // Written out rather than taken from the simulator's own table, so a size moved to the
    // wrong mode there shows here.
    const struct {
        const char* mode;
        int width, height;
    } sizes[] = {{"0", 240, 64}, {"0", 256, 64},  {"0", 256, 128}, {"0", 320, 200},
                 {"3", 128, 64}, {"3", 240, 128}, {"4", 128, 32},  {"4", 128, 128}};
    for (const auto& size : sizes) {
        const char* mode = size.mode;
        const QByteArray vertical = encodeVertical(size.width, size.height);
        const QByteArray horizontal = encodeHorizontal(size.width, size.height);
        QTest::addRow("%dx%d V", size.width, size.height)
            << "ks0108" << header(mode, "20", "0000", "64") + framed(vertical, 32)
            << QStringLiteral("LCD %1x%2 V %3 bytes")
                   .arg(size.width)
                   .arg(size.height)
                   .arg(vertical.size())
            << size.width << size.height;
        QTest::addRow("%dx%d H", size.width, size.height)
            << "t6963c" << header(mode, "40", "0000", "5") + framed(horizontal, 64)
            << QStringLiteral("LCD %1x%2 H %3 bytes")
                   .arg(size.width)
                   .arg(size.height)
                   .arg(horizontal.size())
            << size.width << size.height;
    }
}

void PicsimDecodeTest::everyPanelDecodes() {
    QFETCH(QString, controller);
    QFETCH(QByteArray, stream);
    QFETCH(QString, answer);
    QFETCH(int, width);
    QFETCH(int, height);
    PicSimulator simulator(withController(controller));
    simulator.takeAnswers();
    QCOMPARE(runTransfer(simulator, stream), QStringList{answer});
    QCOMPARE(simulator.lcd().size(), QSize(width, height));
    QCOMPARE(pixelsOff(simulator.lcd(), patternPixel), 0);
}

// Hand-placed single bits: the test encoder above cannot share a mistake with these.
void PicsimDecodeTest::bitPlacement_data() {
    QTest::addColumn<QString>("controller");
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("value");
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("V bit 0 top left")
        << "ks0108" << QByteArray("3") << 1024 << 0 << 0x01 << QPoint(0, 0);
    QTest::newRow("V bit 7 row 7")
        << "ks0108" << QByteArray("3") << 1024 << 0 << 0x80 << QPoint(0, 7);
    QTest::newRow("V next column")
        << "ks0108" << QByteArray("3") << 1024 << 1 << 0x02 << QPoint(1, 1);
    QTest::newRow("V page 1") << "ks0108" << QByteArray("3") << 1024 << 128 << 0x01 << QPoint(0, 8);
    QTest::newRow("V 320x200 last")
        << "ks0108" << QByteArray("0") << 8000 << 7999 << 0x80 << QPoint(319, 199);
    QTest::newRow("H bit 7 left") << "t6963c" << QByteArray("3") << 1025 << 0 << 0x80
                                  << QPoint(0, 0);
    QTest::newRow("H bit 0") << "t6963c" << QByteArray("3") << 1025 << 0 << 0x01 << QPoint(7, 0);
    QTest::newRow("H row 1") << "t6963c" << QByteArray("3") << 1025 << 16 << 0x80 << QPoint(0, 1);
    QTest::newRow("H 240 wide") << "t6963c" << QByteArray("3") << 3841 << 31 << 0x40
                                << QPoint(9, 1);
}

void PicsimDecodeTest::bitPlacement() {
    QFETCH(QString, controller);
    QFETCH(QByteArray, mode);
    QFETCH(int, index);
    QFETCH(QPoint, pixel);
    QFETCH(int, count);
    QFETCH(int, value);
    QByteArray bytes(count, '\0');
    bytes[index] = char(value);
    PicSimulator simulator(withController(controller));
    runTransfer(simulator, header(mode, "20", "0000") + framed(bytes, 32));
    QCOMPARE(pixelsOff(simulator.lcd(), [&](int x, int y) { return QPoint(x, y) == pixel; }), 0);
}

void PicsimDecodeTest::byteCountNamesThePanel_data() {
    QTest::addColumn<QString>("controller");
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("answers");
    const auto zeros = [](int count) { return QByteArray(count, '\0'); };
    QTest::newRow("fits no size") << "auto" << QByteArray("3") << zeros(1000)
                                  << QStringList{"ERROR size 1000 mode 3"};
    QTest::newRow("other mode's size")
        << "auto" << QByteArray("0") << zeros(1024) << QStringList{"ERROR size 1024 mode 0"};
    QTest::newRow("no data") << "auto" << QByteArray("4") << zeros(0)
                             << QStringList{"ERROR size 0 mode 4"};
    QTest::newRow("2049 in mode 0")
        << "auto" << QByteArray("0") << zeros(2049) << QStringList{"LCD 256x64 H 2049 bytes"};
    QTest::newRow("2049 in mode 4")
        << "t6963c" << QByteArray("4") << zeros(2049) << QStringList{"LCD 128x128 H 2049 bytes"};
    QTest::newRow("2048 in mode 4")
        << "auto" << QByteArray("4") << zeros(2048) << QStringList{"LCD 128x128 V 2048 bytes"};
    QTest::newRow("closing byte not 00")
        << "t6963c" << QByteArray("3") << zeros(1024) + "\x5a"
        << QStringList{"ERROR closing byte 5a", "LCD 128x64 H 1025 bytes"};
    // A chip given the other layout has no closing byte to check: the layout is the fault.
    QTest::newRow("closing byte on a KS0108")
        << "auto" << QByteArray("3") << zeros(1024) + "\x5a"
        << QStringList{"ERROR layout Horizontal: this 128x64 KS0108 takes Vertical KS0108 bytes",
                       "LCD 128x64 V 1025 bytes"};
}

void PicsimDecodeTest::byteCountNamesThePanel() {
    QFETCH(QString, controller);
    QFETCH(QByteArray, mode);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, answers);
    PicSimulator simulator(withController(controller));
    simulator.takeAnswers();
    QCOMPARE(runTransfer(simulator, header(mode, "20", "0000") + framed(bytes, 32)), answers);
}

namespace {
// What a chip puts on its glass from the bytes it is given, written from each chip's addressing
// rather than from the simulator's decoder.
bool ks0108Pixel(const QByteArray& bytes, int width, int x, int y) {
    const int index = (y / 8) * width + x;
    return index < bytes.size() && (static_cast<unsigned char>(bytes[index]) >> (y % 8)) & 1;
}
bool t6963cPixel(const QByteArray& bytes, int width, int x, int y) {
    const int index = y * (width / 8) + x / 8;
    return index < bytes.size() && (static_cast<unsigned char>(bytes[index]) << (x % 8)) & 0x80;
}
} // namespace

// Each chip lays out any stream its own way: the right layout shows the picture, the other one
// a scramble, answered with the Byte Matrix to choose.
void PicsimDecodeTest::panelShowsBytesItsOwnWay_data() {
    QTest::addColumn<QString>("controller");
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("horizontalSent");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("hint");
    QTest::newRow("KS0108 given horizontal 128x64")
        << "auto" << QByteArray("3") << QSize(128, 64) << true
        << QStringList{"ERROR layout Horizontal: this 128x64 KS0108 takes Vertical KS0108 bytes",
                       "LCD 128x64 V 1025 bytes"}
        << "this 128x64 KS0108 takes Vertical KS0108 bytes";
    QTest::newRow("T6963C given vertical 240x64")
        << "auto" << QByteArray("0") << QSize(240, 64) << false
        << QStringList{"ERROR layout Vertical KS0108: this 240x64 T6963C takes Horizontal bytes",
                       "LCD 240x64 H 1920 bytes"}
        << "this 240x64 T6963C takes Horizontal bytes";
    QTest::newRow("T6963C given vertical 320x200")
        << "auto" << QByteArray("0") << QSize(320, 200) << false
        << QStringList{"ERROR layout Vertical KS0108: this 320x200 T6963C takes Horizontal bytes",
                       "LCD 320x200 H 8000 bytes"}
        << "this 320x200 T6963C takes Horizontal bytes";
    QTest::newRow("KS0108 by choice, given horizontal 128x128")
        << "ks0108" << QByteArray("4") << QSize(128, 128) << true
        << QStringList{"ERROR layout Horizontal: this 128x128 KS0108 takes Vertical KS0108 bytes",
                       "LCD 128x128 V 2049 bytes"}
        << "this 128x128 KS0108 takes Vertical KS0108 bytes";
    QTest::newRow("T6963C by choice, given vertical 128x64")
        << "t6963c" << QByteArray("3") << QSize(128, 64) << false
        << QStringList{"ERROR layout Vertical KS0108: this 128x64 T6963C takes Horizontal bytes",
                       "LCD 128x64 H 1024 bytes"}
        << "this 128x64 T6963C takes Horizontal bytes";
    QTest::newRow("KS0108 given vertical 128x32")
        << "auto" << QByteArray("4") << QSize(128, 32) << false
        << QStringList{"LCD 128x32 V 512 bytes"} << "";
    QTest::newRow("T6963C given horizontal 240x128")
        << "auto" << QByteArray("3") << QSize(240, 128) << true
        << QStringList{"LCD 240x128 H 3841 bytes"} << "";
}

void PicsimDecodeTest::panelShowsBytesItsOwnWay() {
    QFETCH(QString, controller);
    QFETCH(QByteArray, mode);
    QFETCH(QSize, size);
    QFETCH(bool, horizontalSent);
    QFETCH(QStringList, answers);
    QFETCH(QString, hint);
    const int width = size.width();
    const QByteArray bytes = horizontalSent ? encodeHorizontal(width, size.height())
                                            : encodeVertical(width, size.height());
    PicSimulator simulator(withController(controller));
    simulator.takeAnswers();
    QCOMPARE(runTransfer(simulator, header(mode, "20", "0000") + framed(bytes, 32)), answers);
    QCOMPARE(simulator.layoutHint(), hint);
    QCOMPARE(simulator.lcd().size(), size);
    const bool vertical = answers.last().contains(QLatin1String(" V "));
    QCOMPARE(pixelsOff(simulator.lcd(),
                       [&](int x, int y) {
                           return vertical ? ks0108Pixel(bytes, width, x, y)
                                           : t6963cPixel(bytes, width, x, y);
                       }),
             0);
    // The wrong layout really is a scramble of the picture, not the picture.
    const int off = pixelsOff(simulator.lcd(), patternPixel);
    QVERIFY2(hint.isEmpty() ? off == 0 : off > width * size.height() / 20,
             qPrintable(QString::number(off)));

    // The next picture in the panel's own layout clears the hint.
    const QByteArray right =
        vertical ? encodeVertical(width, size.height()) : encodeHorizontal(width, size.height());
    runTransfer(simulator, header(mode, "20", "0000") + framed(right, 32), 1 << 30);
    QCOMPARE(simulator.layoutHint(), QString());
    QCOMPARE(pixelsOff(simulator.lcd(), patternPixel), 0);
}

void PicsimDecodeTest::invertedHorizontalIsTheNegative() {
    SimConfig inverted = withController("t6963c");
    inverted.horizontalOneIsDark = false;
    PicSimulator simulator(inverted);
    runTransfer(simulator, header("3", "20", "0000") + framed(encodeHorizontal(128, 64), 32));
    QCOMPARE(pixelsOff(simulator.lcd(), [](int x, int y) { return !patternPixel(x, y); }), 0);
}

void PicsimDecodeTest::eepromStoreAndShow_data() {
    QTest::addColumn<QString>("panel"); // "" = default, "auto" = guessed from the last load
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("showsPattern"); // false: address 0 was left erased (all dark)
    QTest::newRow("default 128x64 V")
        << QString() << QByteArray("0000") << encodeVertical(128, 64)
        << QStringList{"EEPROM 1024 bytes at 0000", "LCD 128x64 V from EEPROM"} << true;
    QTest::newRow("auto 240x128 H")
        << "auto" << QByteArray("0000") << encodeHorizontal(240, 128)
        << QStringList{"EEPROM 3841 bytes at 0000", "LCD 240x128 H from EEPROM"} << true;
    QTest::newRow("given 128x32") << "128x32" << QByteArray("0000") << encodeVertical(128, 32)
                                  << QStringList{"EEPROM 512 bytes at 0000",
                                                 "LCD 128x32 V from EEPROM"}
                                  << true;
    QTest::newRow("loaded elsewhere")
        << QString() << QByteArray("1f00") << encodeVertical(128, 64)
        << QStringList{"EEPROM 1024 bytes at 1F00", "LCD 128x64 V from EEPROM"} << false;
}

void PicsimDecodeTest::eepromStoreAndShow() {
    QFETCH(QString, panel);
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, answers);
    QFETCH(bool, showsPattern);
    const QStringList expected = answers;
    SimConfig config;
    if (panel == QLatin1String("auto"))
        config.eepromPanel.reset();
    else if (!panel.isEmpty())
        config.eepromPanel = parsePanelText(panel);
    PicSimulator simulator(config);
    simulator.takeAnswers();
    // A long EEPROM pause between chunks, as the host makes, must not end the transfer.
    simulator.feed(header("1", "20", address), 0);
    const QByteArray data = framed(bytes, 32);
    for (int i = 0, at = 0; i < data.size(); i += 33, at += 100)
        simulator.feed(data.mid(i, 33), ms(at));
    answers = runTransfer(simulator, QByteArray(), 1000000);
    answers += runTransfer(simulator, "*22000000a", 2000000);
    QCOMPARE(answers, expected);
    QCOMPARE(pixelsOff(simulator.lcd(),
                       [&](int x, int y) { return showsPattern ? patternPixel(x, y) : true; }),
             0);
}

void PicsimDecodeTest::eepromStopsAtItsEnd() {
    PicSimulator simulator;
    simulator.takeAnswers();
    const QStringList answers =
        runTransfer(simulator, header("1", "20", "fff0") + framed(QByteArray(32, '\x11'), 32));
    QCOMPARE(answers, (QStringList{"ERROR EEPROM full: 16 lost", "EEPROM 16 bytes at FFF0"}));
    QCOMPARE(simulator.eeprom().read(0xfff0, 100), QByteArray(16, '\x11'));
    QCOMPARE(simulator.eeprom().read(0, 16), QByteArray(16, '\xff')); // no wrap to the start
}

QTEST_GUILESS_MAIN(PicsimDecodeTest)
#include "test_picsim_decode.moc"

// The PIC exports assembled by gpasm into small programs that read every byte of every table and
// write it to a port, run in gpsim: the port writes are the picture's bytes. PIC18 tables are read
// with TBLRD*+ after <name>_start and by index with <name>_read; PIC16 tables by calling
// <name>_read for every index, across all the program memory pages they span.
#include "ExportProof.h"
#include "support/GpsimRun.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace proof;

Q_DECLARE_METATYPE(ExportFormat)

namespace {
// A table in a test program: its identifier, the bytes it must give, and its export.
struct PicTable {
    QString id;
    QByteArray expected;
    QByteArray text;
};

// Written after the last table, so that a run cut short shows.
constexpr int DoneMark = 0xA5;

QByteArray decimal(qsizetype value) {
    return "D'" + QByteArray::number(value) + '\'';
}

// PIC18F4520: each table read whole with TBLRD*+ from <name>_start (sequential), or byte by byte
// with <name>_read (by index). The index registers of every table share two access RAM bytes.
QByteArray pic18Program(const QList<PicTable>& tables, bool byIndex) {
    QByteArray out = "    include <p18f4520.inc>\n"
                     "    CONFIG OSC = HS, WDT = OFF, LVP = OFF, PBADEN = OFF, XINST = OFF\n"
                     "count_l equ 0x00\ncount_h equ 0x01\n";
    for (const PicTable& t : tables) {
        const QByteArray id = t.id.toLatin1();
        out += id + "_index_l equ 0x02\n" + id + "_index_h equ 0x03\n";
    }
    out += "    org 0\n    clrf TRISB\n    clrf TRISC\n";
    for (qsizetype k = 0; k < tables.size(); ++k) {
        const QByteArray id = tables[k].id.toLatin1();
        const QByteArray loop = "loop" + QByteArray::number(k);
        const QByteArray count = decimal(tables[k].expected.size());
        if (byIndex) {
            out += "    clrf 0x02\n    clrf 0x03\n" + loop + ":\n    call " + id +
                   "_read\n    movwf LATB\n    infsnz 0x02, f\n    incf 0x03, f\n"
                   "    movlw low " +
                   count + "\n    xorwf 0x02, w\n    bnz " + loop + "\n    movlw high " + count +
                   "\n    xorwf 0x03, w\n    bnz " + loop + "\n";
        } else {
            out += "    call " + id + "_start\n    movlw low " + count +
                   "\n    movwf count_l\n    movlw high " + count + "\n    movwf count_h\n" + loop +
                   ":\n    tblrd*+\n    movff TABLAT, LATB\n    decf count_l, f\n"
                   "    btfss STATUS, C\n    decf count_h, f\n    movf count_l, w\n"
                   "    iorwf count_h, w\n    bnz " +
                   loop + "\n";
        }
    }
    out += "    movlw " + decimal(DoneMark) + "\n    movwf LATC\ndone:\n    bra done\n";
    for (qsizetype k = 0; k < tables.size(); ++k)
        out += "    include \"t" + QByteArray::number(k) + ".inc\"\n";
    return out + "    end\n";
}

// PIC16F877A: <name>_read called for every index, PCLATH set for the routine before each call and
// for the loop after it, as the export's opening comment says.
QByteArray pic16Program(const QList<PicTable>& tables) {
    QByteArray out = "    include <p16f877a.inc>\n"
                     "    __config _HS_OSC & _WDT_OFF & _LVP_OFF & _PWRTE_OFF\n";
    for (const PicTable& t : tables) {
        const QByteArray id = t.id.toLatin1();
        out += id + "_index_l equ 0x70\n" + id + "_index_h equ 0x71\n";
    }
    out += "    org 0\n    banksel TRISB\n    clrf TRISB\n    clrf TRISC\n    banksel PORTB\n";
    for (qsizetype k = 0; k < tables.size(); ++k) {
        const QByteArray id = tables[k].id.toLatin1();
        const QByteArray loop = "loop" + QByteArray::number(k);
        const QByteArray count = decimal(tables[k].expected.size());
        out += "    clrf 0x70\n    clrf 0x71\n" + loop + ":\n    pagesel " + id +
               "_read\n    call " + id + "_read\n    pagesel " + loop +
               "\n    movwf PORTB\n    incf 0x70, f\n    btfsc STATUS, Z\n    incf 0x71, f\n"
               "    movlw low " +
               count + "\n    xorwf 0x70, w\n    btfss STATUS, Z\n    goto " + loop +
               "\n    movlw high " + count + "\n    xorwf 0x71, w\n    btfss STATUS, Z\n    goto " +
               loop + "\n";
    }
    out += "    movlw " + decimal(DoneMark) + "\n    movwf PORTC\n    pagesel done\ndone:\n" +
           "    goto done\n";
    for (qsizetype k = 0; k < tables.size(); ++k)
        out += "    include \"t" + QByteArray::number(k) + ".inc\"\n";
    return out + "    end\n";
}

struct Outcome {
    QString failure; // empty when every table gave its bytes
    double seconds = 0;
};

// Assembles the program with its tables, runs it until every byte must have been written, and
// compares the port writes with the tables' bytes, table after table.
Outcome runProgram(const QByteArray& program, const QList<PicTable>& tables,
                   const QString& processor, const QString& port, const QString& donePort,
                   qint64 cyclesPerByte, const QStringList& defines = {}) {
    Outcome outcome;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        outcome.failure = QStringLiteral("no temporary folder");
        return outcome;
    }
    QByteArray expected;
    for (qsizetype k = 0; k < tables.size(); ++k) {
        writeFile(dir.filePath(QStringLiteral("t%1.inc").arg(k)), tables[k].text);
        expected += tables[k].expected;
    }
    const QString source = dir.filePath(QStringLiteral("main.asm"));
    writeFile(source, program);
    const gpsim::Assembled built = gpsim::assemble(
        source, processor, dir.filePath(QStringLiteral("main")), defines, {dir.path()});
    // The tables assemble without a word from gpasm beyond the test program's own notes.
    if (!built.ok || built.messages.contains(QLatin1String("Warning")) ||
        built.messages.contains(QLatin1String("Error"))) {
        outcome.failure = QStringLiteral("gpasm:\n") + built.messages.left(3000);
        return outcome;
    }
    gpsim::RunSetup setup;
    setup.codPath = built.codPath;
    setup.cycles = expected.size() * cyclesPerByte + 20000;
    setup.logWrites = QStringList{port, donePort};
    const gpsim::RunResult run = gpsim::run(setup);
    outcome.seconds = run.wallSeconds;
    if (!run.ok) {
        outcome.failure = run.error + QLatin1Char('\n') + run.console.right(2000);
        return outcome;
    }
    QByteArray written;
    bool done = false;
    for (const gpsim::RegisterWrite& write : run.writes) {
        if (write.reg == port)
            written += char(write.value);
        else if (write.reg == donePort && write.value == DoneMark)
            done = true;
    }
    if (!done)
        outcome.failure =
            QStringLiteral("the program did not finish in %1 cycles; ").arg(setup.cycles);
    const QString wrong = difference(written, expected);
    if (!wrong.isEmpty()) {
        // Which table the first wrong byte belongs to.
        qsizetype at = 0;
        while (at < written.size() && at < expected.size() && written[at] == expected[at])
            ++at;
        for (const PicTable& t : tables) {
            if (at < t.expected.size()) {
                outcome.failure += t.id + QStringLiteral(", byte %1: ").arg(at);
                break;
            }
            at -= t.expected.size();
        }
        outcome.failure += wrong;
    }
    return outcome;
}

PicTable panelTable(const PanelTable& panel, ExportFormat format, int bytesPerLine) {
    ExportOptions options;
    options.name =
        (format == ExportFormat::Pic18Assembler ? QStringLiteral("p18 ") : QStringLiteral("p16 ")) +
        panel.tag;
    options.bytesPerLine = bytesPerLine;
    return {exportName(options.name, format), panel.expected,
            exportTable(panel.table, panel.width, panel.height, panel.horizontal, format, options)};
}

QList<PicTable> hostileTables(ExportFormat format) {
    QList<PicTable> tables;
    for (const QString& id : distinctIdentifiers(hostileNames(), format))
        tables << PicTable{id, smallTable(),
                           exportTable(smallTable(), 16, 8, false, format, {id, 5})};
    return tables;
}
} // namespace

class TestExportPic : public QObject {
    Q_OBJECT
private slots:
    void init();
    void pic18ReadsEveryPanelWithTblrd_data();
    void pic18ReadsEveryPanelWithTblrd();
    void pic16ReadsEveryPanelThroughItsRoutine_data();
    void pic16ReadsEveryPanelThroughItsRoutine();
    void hostileNamesAssembleAndRead_data();
    void hostileNamesAssembleAndRead();
};

void TestExportPic::init() {
    const QString absent = gpsim::missingToolsMessage();
    if (!absent.isEmpty())
        QSKIP(qPrintable(absent));
}

void TestExportPic::pic18ReadsEveryPanelWithTblrd_data() {
    QTest::addColumn<bool>("horizontal");
    // The eight panels of one layout fill most of the 18F4520's 32 KiB.
    QTest::newRow("vertical") << false;
    QTest::newRow("horizontal") << true;
}

void TestExportPic::pic18ReadsEveryPanelWithTblrd() {
    QFETCH(bool, horizontal);
    QList<PicTable> tables;
    int perLine = 1; // odd counts a line among them: db would pad each such line
    for (const PanelTable& panel : panelTables())
        if (panel.horizontal == horizontal)
            tables << panelTable(panel, ExportFormat::Pic18Assembler, perLine += 7);
    // The routines behind their switch, turned on the way the opening comment says.
    QByteArray program;
    for (const PicTable& t : tables)
        program += "#define " + t.id.toLatin1() + "_routines\n";
    program += pic18Program(tables, false);
    const Outcome outcome = runProgram(program, tables, QStringLiteral("p18f4520"),
                                       QStringLiteral("latb"), QStringLiteral("latc"), 14);
    QVERIFY2(outcome.failure.isEmpty(), qPrintable(outcome.failure));
}

void TestExportPic::pic16ReadsEveryPanelThroughItsRoutine_data() {
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QStringList>("panels");
    // As many tables as the 16F877A's 8K words hold at once; 320x200 alone is 8000 words over
    // four 2K pages and 32 PCLATH pages of 256 words.
    const QList<QStringList> groups{
        {"320x200"}, {"256x128", "240x128"}, {"240x64", "128x64", "128x32", "128x128", "256x64"}};
    for (const bool horizontal : {false, true})
        for (const QStringList& group : groups)
            QTest::addRow("%s, %s", horizontal ? "horizontal" : "vertical",
                          qPrintable(group.join(QLatin1Char(' '))))
                << horizontal << group;
}

void TestExportPic::pic16ReadsEveryPanelThroughItsRoutine() {
    QFETCH(bool, horizontal);
    QFETCH(QStringList, panels);
    QList<PicTable> tables;
    int perLine = 3;
    for (const PanelTable& panel : panelTables())
        if (panel.horizontal == horizontal && panels.contains(panel.tag.section(' ', 0, 0)))
            tables << panelTable(panel, ExportFormat::Pic16Assembler, perLine += 9);
    QCOMPARE(tables.size(), panels.size());
    const Outcome outcome = runProgram(pic16Program(tables), tables, QStringLiteral("p16f877a"),
                                       QStringLiteral("portb"), QStringLiteral("portc"), 32);
    QVERIFY2(outcome.failure.isEmpty(), qPrintable(outcome.failure));
}

void TestExportPic::hostileNamesAssembleAndRead_data() {
    QTest::addColumn<ExportFormat>("format");
    QTest::newRow("PIC18") << ExportFormat::Pic18Assembler;
    QTest::newRow("PIC16") << ExportFormat::Pic16Assembler;
}

void TestExportPic::hostileNamesAssembleAndRead() {
    QFETCH(ExportFormat, format);
    const QList<PicTable> tables = hostileTables(format);
    QVERIFY(tables.size() >= 100);
    Outcome outcome;
    if (format == ExportFormat::Pic18Assembler) {
        // The switch given on gpasm's command line this time.
        QStringList defines;
        for (const PicTable& t : tables)
            defines << t.id + QStringLiteral("_routines");
        outcome = runProgram(pic18Program(tables, true), tables, QStringLiteral("p18f4520"),
                             QStringLiteral("latb"), QStringLiteral("latc"), 40, defines);
    } else {
        outcome = runProgram(pic16Program(tables), tables, QStringLiteral("p16f877a"),
                             QStringLiteral("portb"), QStringLiteral("portc"), 32);
    }
    QVERIFY2(outcome.failure.isEmpty(), qPrintable(outcome.failure));
}

QTEST_GUILESS_MAIN(TestExportPic)
#include "test_export_pic.moc"

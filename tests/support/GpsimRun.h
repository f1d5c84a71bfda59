#pragma once

// Runs PIC programs in gpsim, the cycle-accurate PIC simulator, without a window: assembles a
// source with gpasm, runs the .cod for a number of instruction cycles with a scripted set-up
// (a level file on a pin, an I2C EEPROM on two pins with their pull-ups), and reads back every
// write to the registers asked for, with its cycle, and what the EEPROM holds afterwards.
//
// gpsim's command parser cuts some quoted paths short (one containing "e2e" was), so every run
// happens in a short, plain temporary folder of its own with plain file names.
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace gpsim {

// Where the two programs are; empty when a program is not on the PATH.
struct Tools {
    QString gpasm;
    QString gpsim;
    bool found() const { return !gpasm.isEmpty() && !gpsim.isEmpty(); }
};
Tools findTools();

// Why a test that needs the tools cannot run, naming the Debian packages; empty when both are
// there.
QString missingToolsMessage(const Tools& tools = findTools());

// gpasm's result: the .cod (and .hex) written next to `outputBase`, or the assembler's messages.
struct Assembled {
    bool ok = false;
    QString codPath;
    QString hexPath;
    QString messages; // what gpasm printed (warnings, errors)
};

// Assembles `source` for `processor` (gpasm's name, e.g. "p18f4520" or "16f877a") into
// `outputBase`.cod and .hex; `defines` become -D options (e.g. "MUTANT_X=1").
Assembled assemble(const QString& source, const QString& processor, const QString& outputBase,
                   const QStringList& defines = {}, const QStringList& includeDirs = {});

// One write to a logged register, at the instruction cycle of the instruction that made it.
struct RegisterWrite {
    qint64 cycle = 0;
    QString reg; // gpsim's lower-case name: "latb", "txreg", ...
    int value = 0;
    int was = 0; // the register's value before the write
};

// The I2C EEPROM of the 24xx256 kind (32 KiB, 64-byte pages), SCL and SDA pulled up.
struct EepromSetup {
    QString sclPin = QStringLiteral("portc3");
    QString sdaPin = QStringLiteral("portc4");
    QByteArray preset; // written from address 0 before the run (empty: gpsim's zeros)
    bool dump = true;  // read all 32 KiB back after the run
};

struct RunSetup {
    QString codPath;
    qint64 cycles = 0;     // instruction cycles to run
    QStringList logWrites; // registers whose every write is logged ("latb", "txreg", ...)
    QString stimulusPin;   // pin driven by `stimulus` (e.g. "portc7"); empty: none
    QByteArray stimulus;   // FileStimulus lines "<cycle> <volts>", as rxStimulus() writes
    std::optional<EepromSetup> eeprom;
    int timeoutMs = 300000; // wall time allowed to gpsim
};

struct RunResult {
    bool ok = false;
    QString error;                     // why the run failed (tool missing, crash, timeout)
    std::vector<RegisterWrite> writes; // in cycle order
    QByteArray eeprom;                 // 32768 bytes when dumped
    QString console;                   // gpsim's own output, for a failure message
    double wallSeconds = 0;
};

// The script run() gives gpsim (exposed so that a failure can show it).
QByteArray runScript(const RunSetup& setup, const QString& logFile, const QString& stimulusFile);

RunResult run(const RunSetup& setup);

// The writes to `registers` in a log written by `log on` + `log w <reg>` (all registers when
// `registers` is empty).
std::vector<RegisterWrite> parseLog(const QString& log, const QStringList& registers = {});

// The bytes of an `EE.eeData[a:b]` listing, placed at their addresses in a 32 KiB image.
QByteArray parseEepromDump(const QString& console);

} // namespace gpsim

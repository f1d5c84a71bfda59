#pragma once

// The reference firmware run in gpsim on a schedule of characters, and everything it did read
// back: the panel, the EEPROM, the I2C traffic, the reply lines.
#include "FirmwareWire.h"
#include "I2cMonitor.h"
#include "Ks0108Model.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace firmware {

// Where the build put the firmware and its faulty variants.
QString firmwareCod();
QString mutantCod(const QString& name);

// A reply line and the cycle its last character went into TXREG.
struct TxLine {
    qint64 cycle;
    QString text;
};
// The lines written to TXREG, split at CR LF; a last line without its end is kept too.
std::vector<TxLine> txLines(const std::vector<gpsim::RegisterWrite>& writes);

struct FirmwareSetup {
    QString codPath = firmwareCod();
    Schedule schedule;
    // Run this long past the last character (the replies come up to 1.5 s after it).
    qint64 tailNs = 1'000'000'000;
    qint64 minimumNs = 0; // run at least this long
    bool eeprom = false;
    QByteArray eepromPreset;
    bool logI2c = false;
};

struct FirmwareOutcome {
    gpsim::RunResult run;
    Ks0108Model lcd;
    I2cMonitor i2c;
    std::vector<TxLine> lines;
    qint64 cycles = 0; // how long it ran

    QStringList replies() const;
    // The first reply starting with `word`, if any.
    std::optional<TxLine> reply(const QString& word) const;
    bool has(const QString& word) const { return reply(word).has_value(); }
    // A short account for failure messages.
    QString summary() const;
};

FirmwareOutcome runFirmware(const FirmwareSetup& setup);

// The character schedule starts after the firmware has had this long to come up: READY is
// due within 100 ms of reset.
constexpr qint64 BootNs = 120'000'000;

} // namespace firmware

#include "FirmwareRun.h"

#include <QDir>

namespace firmware {

QString firmwareCod() {
    return QStringLiteral(QUORVEL_FIRMWARE_DIR "/quorvel-pic.cod");
}

QString mutantCod(const QString& name) {
    return QStringLiteral(QUORVEL_FIRMWARE_DIR "/mutants/quorvel-pic-%1.cod").arg(name);
}

std::vector<TxLine> txLines(const std::vector<gpsim::RegisterWrite>& writes) {
    std::vector<TxLine> lines;
    QString current;
    qint64 last = 0;
    for (const gpsim::RegisterWrite& w : writes) {
        if (w.reg != QLatin1String("txreg"))
            continue;
        last = w.cycle;
        if (w.value == '\n' && current.endsWith(QLatin1Char('\r'))) {
            current.chop(1);
            lines.push_back({w.cycle, current});
            current.clear();
        } else {
            current += QChar::fromLatin1(char(w.value));
        }
    }
    if (!current.isEmpty())
        lines.push_back({last, current});
    return lines;
}

QStringList FirmwareOutcome::replies() const {
    QStringList texts;
    for (const TxLine& l : lines)
        texts << l.text;
    return texts;
}

std::optional<TxLine> FirmwareOutcome::reply(const QString& word) const {
    for (const TxLine& l : lines)
        if (l.text.startsWith(word))
            return l;
    return std::nullopt;
}

QString FirmwareOutcome::summary() const {
    QString s = QStringLiteral("replies [%1]").arg(replies().join(QStringLiteral(" | ")));
    if (!run.ok)
        s += QStringLiteral("; gpsim: %1").arg(run.error);
    if (lcd.violationCount() > 0)
        s += QStringLiteral("; %1 bus timing faults, first: %2")
                 .arg(lcd.violationCount())
                 .arg(lcd.violations().join(QStringLiteral("; ")));
    return s;
}

FirmwareOutcome runFirmware(const FirmwareSetup& setup) {
    FirmwareOutcome out;
    const qint64 lastNs = setup.schedule.empty() ? 0 : characterEndNs(setup.schedule.back());
    out.cycles = nsToCycles(std::max(lastNs + setup.tailNs, setup.minimumNs));

    gpsim::RunSetup run;
    run.codPath = setup.codPath;
    run.cycles = out.cycles;
    run.logWrites = ks0108Registers() << QStringLiteral("txreg");
    if (setup.logI2c || setup.eeprom)
        run.logWrites << i2cRegisters();
    run.stimulusPin = QStringLiteral("portc7");
    run.stimulus = rxStimulus(setup.schedule);
    if (setup.eeprom) {
        gpsim::EepromSetup ee;
        ee.preset = setup.eepromPreset;
        run.eeprom = ee;
    }
    out.run = gpsim::run(run);
    out.lcd.feed(out.run.writes);
    out.i2c.feed(out.run.writes);
    out.lines = txLines(out.run.writes);
    return out;
}

} // namespace firmware

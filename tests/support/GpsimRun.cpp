#include "support/GpsimRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

namespace gpsim {

namespace {

// A folder for one run whose path gpsim's parser reads whole: short, letters and digits only.
std::unique_ptr<QTemporaryDir> plainFolder() {
    const QString base =
        QFileInfo(QStringLiteral("/tmp")).isWritable() ? QStringLiteral("/tmp") : QDir::tempPath();
    auto dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/gpsimXXXXXX"));
    if (!dir->isValid())
        return nullptr;
    return dir;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// gpsim never needs a display headless; with one set it may try to open its windows.
QProcessEnvironment headless() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

QByteArray hex(qint64 v) {
    return "0x" + QByteArray::number(v, 16);
}

} // namespace

Tools findTools() {
    return {QStandardPaths::findExecutable(QStringLiteral("gpasm")),
            QStandardPaths::findExecutable(QStringLiteral("gpsim"))};
}

QString missingToolsMessage(const Tools& tools) {
    QStringList missing;
    if (tools.gpasm.isEmpty())
        missing << QStringLiteral("gpasm (Debian package gputils)");
    if (tools.gpsim.isEmpty())
        missing << QStringLiteral("gpsim (Debian package gpsim)");
    if (missing.isEmpty())
        return QString();
    return QStringLiteral("not installed: ") + missing.join(QStringLiteral(", "));
}

Assembled assemble(const QString& source, const QString& processor, const QString& outputBase,
                   const QStringList& defines, const QStringList& includeDirs) {
    Assembled result;
    const Tools tools = findTools();
    if (tools.gpasm.isEmpty()) {
        result.messages = missingToolsMessage(tools);
        return result;
    }
    QStringList args{QStringLiteral("-p"), processor, QStringLiteral("-o"),
                     outputBase + QStringLiteral(".hex")};
    for (const QString& d : defines)
        args << QStringLiteral("-D") << d;
    for (const QString& i : includeDirs)
        args << QStringLiteral("-I") << i;
    args << source;
    QProcess gpasm;
    gpasm.setProcessChannelMode(QProcess::MergedChannels);
    gpasm.start(tools.gpasm, args);
    gpasm.closeWriteChannel();
    if (!gpasm.waitForFinished(60000)) {
        gpasm.kill();
        gpasm.waitForFinished();
        result.messages = QStringLiteral("gpasm did not finish");
        return result;
    }
    result.messages = QString::fromLocal8Bit(gpasm.readAll());
    result.codPath = outputBase + QStringLiteral(".cod");
    result.hexPath = outputBase + QStringLiteral(".hex");
    result.ok = gpasm.exitStatus() == QProcess::NormalExit && gpasm.exitCode() == 0 &&
                QFileInfo::exists(result.codPath);
    return result;
}

QByteArray runScript(const RunSetup& setup, const QString& logFile, const QString& stimulusFile) {
    QByteArray s;
    s += "load \"" + QFileInfo(setup.codPath).fileName().toLocal8Bit() + "\"\n";
    const bool modules = !setup.stimulusPin.isEmpty() || setup.eeprom;
    if (modules)
        s += "module library libgpsim_modules\n";
    if (!setup.stimulusPin.isEmpty()) {
        // The level file drives the pin; gpsim reads it as the run goes, so its length costs
        // no parsing up front.
        s += "module load FileStimulus stim\n"
             "node stimn\n"
             "attach stimn stim.pin " +
             setup.stimulusPin.toLatin1() +
             "\n"
             "stim.file = \"" +
             stimulusFile.toLocal8Bit() + "\"\n";
    }
    if (setup.eeprom) {
        // The bus is open drain: without pull-ups no line ever goes high again.
        s += "module load I2C-EEPROM256k EE\n"
             "module load pullup pscl\n"
             "module load pullup psda\n"
             "node scl\n"
             "node sda\n"
             "attach scl " +
             setup.eeprom->sclPin.toLatin1() +
             " EE.SCL pscl.pin\n"
             "attach sda " +
             setup.eeprom->sdaPin.toLatin1() + " EE.SDA psda.pin\n";
        const QByteArray& preset = setup.eeprom->preset;
        for (int a = 0; a < std::min<int>(preset.size(), 0x8000); ++a)
            s += "EE.eeData[" + hex(a) + "] = " + hex(quint8(preset[a])) + "\n";
    }
    if (!setup.logWrites.isEmpty()) {
        s += "log on \"" + logFile.toLocal8Bit() + "\"\n";
        for (const QString& reg : setup.logWrites)
            s += "log w " + reg.toLatin1() + "\n";
    }
    s += "break c " + hex(setup.cycles) + "\nrun\n";
    if (!setup.logWrites.isEmpty())
        s += "log off\n";
    if (setup.eeprom && setup.eeprom->dump)
        s += "EE.eeData[0:0x7FFF]\n";
    s += "quit\n";
    return s;
}

RunResult run(const RunSetup& setup) {
    RunResult result;
    const Tools tools = findTools();
    if (tools.gpsim.isEmpty()) {
        result.error = missingToolsMessage(tools);
        return result;
    }
    const auto dir = plainFolder();
    if (!dir) {
        result.error = QStringLiteral("no temporary folder for gpsim");
        return result;
    }
    const QString cod = QStringLiteral("prog.cod");
    if (!QFile::copy(setup.codPath, dir->filePath(cod))) {
        result.error = QStringLiteral("cannot copy %1").arg(setup.codPath);
        return result;
    }
    RunSetup local = setup;
    local.codPath = cod;
    const QString logFile = QStringLiteral("log.txt");
    const QString stimulusFile = QStringLiteral("stim.txt");
    if (!setup.stimulusPin.isEmpty() && !writeAll(dir->filePath(stimulusFile), setup.stimulus)) {
        result.error = QStringLiteral("cannot write the stimulus file");
        return result;
    }
    if (!writeAll(dir->filePath(QStringLiteral("run.stc")),
                  runScript(local, logFile, stimulusFile))) {
        result.error = QStringLiteral("cannot write the script");
        return result;
    }

    QElapsedTimer clock;
    clock.start();
    QProcess sim;
    sim.setProcessEnvironment(headless());
    sim.setWorkingDirectory(dir->path());
    sim.setProcessChannelMode(QProcess::MergedChannels);
    sim.start(tools.gpsim, {QStringLiteral("-i"), QStringLiteral("-S"), QStringLiteral("disable"),
                            QStringLiteral("-c"), QStringLiteral("run.stc")});
    sim.closeWriteChannel();
    QByteArray console;
    // Read as it comes: an EEPROM listing is larger than a pipe holds.
    while (!sim.waitForFinished(50)) {
        console += sim.readAll();
        if (sim.state() == QProcess::NotRunning)
            break;
        if (clock.elapsed() > setup.timeoutMs) {
            sim.kill();
            sim.waitForFinished();
            result.error = QStringLiteral("gpsim ran longer than %1 ms").arg(setup.timeoutMs);
            result.console = QString::fromLocal8Bit(console + sim.readAll());
            return result;
        }
    }
    console += sim.readAll();
    result.wallSeconds = double(clock.nsecsElapsed()) / 1e9;
    result.console = QString::fromLocal8Bit(console);
    if (sim.exitStatus() != QProcess::NormalExit) {
        result.error = QStringLiteral("gpsim crashed");
        return result;
    }
    if (!setup.logWrites.isEmpty())
        result.writes =
            parseLog(QString::fromLatin1(readAll(dir->filePath(logFile))), setup.logWrites);
    if (setup.eeprom && setup.eeprom->dump)
        result.eeprom = parseEepromDump(result.console);
    if (!result.console.contains(QLatin1String("cycle break"))) {
        result.error = QStringLiteral("gpsim stopped before the cycle break");
        return result;
    }
    result.ok = true;
    return result;
}

std::vector<RegisterWrite> parseLog(const QString& log, const QStringList& registers) {
    // An instruction line "0x<16 hex digits cycle> <cpu> <pc> <opcode> <disassembly>" is
    // followed by its effects, "Wrote: 0x0055 to latb(0x0F8A) was 0x0000", one a line, the
    // first sometimes after a line number.
    static const QRegularExpression instruction(QStringLiteral("^0x([0-9A-Fa-f]{16}) "));
    static const QRegularExpression wrote(QStringLiteral(
        "Wrote: 0x([0-9A-Fa-f]+) to (\\w+)\\(0x[0-9A-Fa-f]+\\) was 0x([0-9A-Fa-f]+)"));
    std::vector<RegisterWrite> writes;
    qint64 cycle = 0;
    for (const QString& line : log.split(QLatin1Char('\n'))) {
        const auto at = instruction.match(line);
        if (at.hasMatch()) {
            cycle = at.capturedView(1).toLongLong(nullptr, 16);
            continue;
        }
        const auto w = wrote.match(line);
        if (!w.hasMatch())
            continue;
        const QString reg = w.captured(2).toLower();
        if (!registers.isEmpty() && !registers.contains(reg))
            continue;
        writes.push_back({cycle, reg, w.capturedView(1).toInt(nullptr, 16),
                          w.capturedView(3).toInt(nullptr, 16)});
    }
    std::stable_sort(
        writes.begin(), writes.end(),
        [](const RegisterWrite& a, const RegisterWrite& b) { return a.cycle < b.cycle; });
    return writes;
}

QByteArray parseEepromDump(const QString& console) {
    static const QRegularExpression cell(
        QStringLiteral("eeData\\[\\$([0-9a-fA-F]+)\\] = \\$([0-9a-fA-F]+)"));
    QByteArray image(0x8000, '\0');
    auto it = cell.globalMatch(console);
    while (it.hasNext()) {
        const auto m = it.next();
        const int address = m.capturedView(1).toInt(nullptr, 16);
        if (address >= 0 && address < image.size())
            image[address] = char(m.capturedView(2).toInt(nullptr, 16));
    }
    return image;
}

} // namespace gpsim

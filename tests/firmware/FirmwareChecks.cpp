#include "FirmwareChecks.h"

#include "support/TestPictures.h"

#include <QRandomGenerator>
#include <cctype>

namespace firmware {

namespace {
// What every run can get wrong whatever it was sent: gpsim failing, or a reply character
// written over one the UART had not taken yet.
QStringList runFaults(const FirmwareOutcome& out) {
    QStringList faults;
    if (!out.run.ok)
        faults << QStringLiteral("gpsim: %1").arg(out.run.error);
    if (out.txOverwrites > 0)
        faults << QStringLiteral("%1 TXREG writes over a waiting character").arg(out.txOverwrites);
    return faults;
}

// A reply no good send gets, each one a fault; and when anything went wrong, all the replies,
// so that a failing case shows what the firmware said.
QStringList closedWithReplies(QStringList faults, const FirmwareOutcome& out,
                              const QStringList& unwanted) {
    for (const QString& bad : unwanted)
        if (out.has(bad))
            faults << QStringLiteral("replied %1").arg(out.reply(bad)->text);
    if (!faults.isEmpty())
        faults << QStringLiteral("replies: %1").arg(repliesOf(out));
    return faults;
}
} // namespace

QString repliesOf(const FirmwareOutcome& out) {
    QStringList l;
    for (const TxLine& t : out.lines)
        l << QStringLiteral("%1 ms %2").arg(cyclesToMs(t.cycle), 0, 'f', 1).arg(t.text);
    return l.join(QStringLiteral(" | "));
}

QStringList pictureFaults(const FirmwareOutcome& out, const QImage& canvas, qint64 fromCycle) {
    QStringList faults = runFaults(out);
    if (!out.lcd.displayOn())
        faults << QStringLiteral("display off");
    const int off = pixelsOff(out.lcd.picture(),
                              [&canvas](int x, int y) { return qGray(canvas.pixel(x, y)) < 128; });
    if (off != 0)
        faults << QStringLiteral("LCD differs from the canvas in %1 pixels").arg(off);
    if (out.lcd.violationCount() > 0)
        faults << QStringLiteral("bus timing: %1 faults, first %2")
                      .arg(out.lcd.violationCount())
                      .arg(out.lcd.violations().first());
    int picture = 0;
    for (const auto& w : out.lcd.dataWrites())
        picture += w.cycle >= fromCycle;
    if (picture != 1024)
        faults << QStringLiteral("%1 data writes for 1024 bytes").arg(picture);
    return faults;
}

QStringList checkPictureSend(const QString& cod, const PictureSend& send,
                             FirmwareOutcome* outcome) {
    const QImage canvas = randomPicture(send.seed);
    SendPlan plan;
    plan.xmitText = pictureTransmitText(canvas, lcdHeader(send.picBuffer, send.picDelay));
    plan.xmitDelayMs = send.xmitDelayMs;
    FirmwareSetup setup;
    setup.codPath = cod;
    setup.schedule = sendSchedule(plan, BootNs);
    const FirmwareOutcome out = runFirmware(setup);
    if (outcome)
        *outcome = out;

    const Schedule& s = setup.schedule;
    const qint64 first = nsToCycles(s.front().startNs);
    QStringList faults = pictureFaults(out, canvas, first);

    // The bytes in stream order, once each.
    std::vector<qint64> byteCycle;
    const QByteArray bytes = pictureBytes(canvas);
    for (const auto& w : out.lcd.dataWrites()) {
        if (w.cycle < first)
            continue;
        const int k = int(byteCycle.size());
        if (k < 1024 && (w.column != k % 128 || w.page != k / 128 || char(w.value) != bytes[k])) {
            faults << QStringLiteral("byte %1 written to column %2 page %3")
                          .arg(k)
                          .arg(w.column)
                          .arg(w.page);
            break;
        }
        byteCycle.push_back(w.cycle);
    }
    // Every chunk on the LCD before the next wait character starts.
    if (byteCycle.size() >= 1024) {
        int digits = -1; // the header is not data
        int late = 0;
        QString firstLate;
        for (const WireChar& w : s) {
            if (w.c == ']' && digits > 0) {
                const int done = digits / 2; // bytes complete before this wait character
                const qint64 at = byteCycle[size_t(done - 1)];
                if (at >= nsToCycles(w.startNs) && late++ == 0)
                    firstLate =
                        QStringLiteral("byte %1 on the LCD %2 us after the next wait "
                                       "character started")
                            .arg(done - 1)
                            .arg(double(at - nsToCycles(w.startNs)) * CycleNs / 1000.0, 0, 'f', 1);
            }
            if (w.c == ']' && digits < 0)
                digits = 0;
            else if (digits >= 0 && std::isxdigit(uchar(w.c)))
                ++digits;
        }
        if (late > 0)
            faults << QStringLiteral("%1 chunks late, first: %2").arg(late).arg(firstLate);
    }
    const auto lcd = out.reply(QStringLiteral("LCD 1024 bytes"));
    const qint64 lastChar = nsToCycles(characterEndNs(s.back()));
    if (!lcd)
        faults << QStringLiteral("no \"LCD 1024 bytes\"");
    else if (byteCycle.size() >= 1024 && lcd->cycle < byteCycle[1023])
        faults << QStringLiteral("\"LCD 1024 bytes\" before the last byte was on the LCD");
    else if (lcd->cycle > lastChar + nsToCycles(1'500'000'000))
        faults << QStringLiteral("\"LCD 1024 bytes\" later than 1.5 s after the last character");
    return closedWithReplies(faults, out, {QStringLiteral("OVERRUN"), QStringLiteral("ERROR")});
}

QStringList checkEepromLoad(const QString& cod, const EepromSend& send, FirmwareOutcome* outcome) {
    const QImage canvas = randomPicture(send.seed);
    const QByteArray bytes = pictureBytes(canvas);

    SendPlan load;
    load.xmitText =
        pictureTransmitText(canvas, eepromHeader(send.address, send.picBuffer, send.picDelay));
    load.xmitDelayMs = send.xmitDelayMs;
    Schedule s = sendSchedule(load, BootNs);
    if (send.thenShow) {
        // The user loads again at 0, then presses "&Disp Eprom": each a send of its own, a
        // second apart (the load's reply comes after 400 ms of quiet).
        SendPlan again = load;
        again.xmitText =
            pictureTransmitText(canvas, eepromHeader(0, send.picBuffer, send.picDelay));
        s = followedBy(s, sendSchedule(again, 0), 1'000'000'000);
        SendPlan show;
        show.xmitText = displayEepromCommand;
        s = followedBy(s, sendSchedule(show, 0), 1'000'000'000);
    }

    // A used part: every cell holds something, so a stray write shows.
    QByteArray preset(0x800, '\0');
    QRandomGenerator random(send.seed + 100);
    for (char& b : preset)
        b = char(random.bounded(256));
    QByteArray expected = preset + QByteArray(0x8000 - preset.size(), '\0');
    expected.replace(send.address, bytes.size(), bytes);
    if (send.thenShow)
        expected.replace(0, bytes.size(), bytes);

    FirmwareSetup setup;
    setup.codPath = cod;
    setup.schedule = s;
    setup.eeprom = true;
    setup.eepromPreset = preset;
    setup.tailNs = 1'600'000'000;
    const FirmwareOutcome out = runFirmware(setup);
    if (outcome)
        *outcome = out;

    QStringList faults = runFaults(out);
    if (out.run.eeprom != expected) {
        int differ = 0;
        int firstAt = -1;
        for (int a = 0; a < expected.size() && a < out.run.eeprom.size(); ++a)
            if (expected[a] != out.run.eeprom[a]) {
                ++differ;
                if (firstAt < 0)
                    firstAt = a;
            }
        faults << QStringLiteral("EEPROM differs in %1 bytes, first at %2")
                      .arg(differ)
                      .arg(firstAt, 4, 16, QLatin1Char('0'));
    }
    if (out.i2c.applyWrites(preset + QByteArray(0x8000 - preset.size(), '\0')) != out.run.eeprom)
        faults << QStringLiteral("the I2C traffic read does not explain the EEPROM's contents");
    for (const QString& f : out.i2c.pageCrossings())
        faults << f;
    const QStringList busy = out.i2c.busyAccesses();
    if (!busy.isEmpty())
        faults << QStringLiteral("%1 accesses in a write cycle, first %2")
                      .arg(busy.size())
                      .arg(busy.first());
    const QString at = QStringLiteral("%1").arg(send.address, 4, 16, QLatin1Char('0')).toUpper();
    if (!out.has(QStringLiteral("EEPROM 1024 bytes at ") + at))
        faults << QStringLiteral("no \"EEPROM 1024 bytes at %1\"").arg(at);
    if (send.thenShow) {
        if (!out.has(QStringLiteral("EEPROM 1024 bytes at 0000")))
            faults << QStringLiteral("no \"EEPROM 1024 bytes at 0000\"");
        if (!out.has(QStringLiteral("LCD from EEPROM 0000")))
            faults << QStringLiteral("no \"LCD from EEPROM 0000\"");
        const qint64 showAt = nsToCycles(s.back().startNs);
        faults << pictureFaults(out, canvas, showAt);
    }
    return closedWithReplies(faults, out, {QStringLiteral("OVERRUN"), QStringLiteral("ERROR")});
}

QStringList checkBadThenGood(const QString& cod, const QByteArray& bad, const QString& errorWords,
                             FirmwareOutcome* outcome) {
    const QImage canvas = randomPicture(11);
    SendPlan good;
    good.xmitText = pictureTransmitText(canvas, lcdHeader());
    const Schedule s = followedBy(backToBack(bad, BootNs), sendSchedule(good, 0), 600'000'000);
    const qint64 goodStart = nsToCycles(s[size_t(bad.size())].startNs);
    FirmwareSetup setup;
    setup.codPath = cod;
    setup.schedule = s;
    const FirmwareOutcome out = runFirmware(setup);
    if (outcome)
        *outcome = out;

    QStringList faults = pictureFaults(out, canvas, goodStart);
    std::optional<TxLine> error;
    for (const TxLine& l : out.lines)
        if (l.text.startsWith(QLatin1String("ERROR")) && !error)
            error = l;
    std::optional<TxLine> shown;
    for (const TxLine& l : out.lines)
        if (l.text == QLatin1String("LCD 1024 bytes") && l.cycle > goodStart)
            shown = l;
    if (!error)
        faults << QStringLiteral("no ERROR line");
    else if (!errorWords.isEmpty() && !error->text.contains(errorWords))
        faults << QStringLiteral("the ERROR line does not say \"%1\"").arg(errorWords);
    if (!shown)
        faults << QStringLiteral("no \"LCD 1024 bytes\" for the good picture");
    else if (error && error->cycle > shown->cycle)
        faults << QStringLiteral("the ERROR line came after the good picture");
    return closedWithReplies(faults, out, {QStringLiteral("OVERRUN")});
}

QStringList checkOverrunReported(const QString& cod, FirmwareOutcome* outcome) {
    // Page writes of 100 ms each against a line that never pauses: the ring fills up.
    SendPlan load;
    load.xmitText = pictureTransmitText(randomPicture(5), eepromHeader(0, 128, 100));
    load.xmitDelayMs = 0;
    FirmwareSetup setup;
    setup.codPath = cod;
    setup.schedule = sendSchedule(load, BootNs);
    setup.eeprom = true;
    setup.tailNs = 2'500'000'000;
    const FirmwareOutcome out = runFirmware(setup);
    if (outcome)
        *outcome = out;
    QStringList faults;
    if (!out.run.ok)
        faults << QStringLiteral("gpsim: %1").arg(out.run.error);
    if (!out.has(QStringLiteral("OVERRUN")))
        faults << QStringLiteral("no OVERRUN; replies: %1").arg(repliesOf(out));
    return faults;
}

} // namespace firmware

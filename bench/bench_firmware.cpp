// The reference firmware in gpsim (simulated time, so the figures do not depend on the
// machine): how close a 128x64 picture comes to the wire's own limit, and the smallest Xmit
// Delay with which nothing is lost, for each mode and PIC Buffer.
#include "Benches.h"
#include "Harness.h"

#include "FirmwareChecks.h"

#include <QFileInfo>
#include <functional>

using namespace firmware;

namespace {

// Faults that mean something was lost or wrong; a chunk that lands on the LCD after the next
// wait character has started is only late.
bool nothingLost(const QStringList& faults) {
    for (const QString& f : faults)
        if (!f.startsWith(QLatin1String("replies:")) && !f.contains(QLatin1String("chunks late")))
            return false;
    return true;
}

// The smallest whole Xmit Delay in 0..limit for which `works` holds, found by halving (more
// delay never hurts: the firmware only gets more time); -1 when even `limit` fails.
int smallestDelay(const std::function<bool(int)>& works, int limit) {
    if (works(0))
        return 0;
    int bad = 0;
    int good = 1;
    while (!works(good)) {
        bad = good;
        if (good >= limit)
            return -1;
        good = std::min(limit, good * 2);
    }
    while (good - bad > 1) {
        const int middle = (bad + good) / 2;
        (works(middle) ? good : bad) = middle;
    }
    return good;
}

QString delayCell(int ms) {
    return ms < 0 ? QStringLiteral("> 400 ms") : QStringLiteral("%1 ms").arg(ms);
}

void pictureAgainstTheWire() {
    Table table("Firmware in gpsim: 128x64 picture, buffer 32, first character to last LCD write",
                {QStringLiteral("Xmit Delay"), QStringLiteral("characters"),
                 QStringLiteral("wire alone"), QStringLiteral("to last LCD write"),
                 QStringLiteral("ratio"), QStringLiteral("every chunk in time"),
                 QStringLiteral("lost"), QStringLiteral("gpsim wall")});
    for (const int delay : {5, 0}) {
        PictureSend send;
        send.xmitDelayMs = delay;
        FirmwareOutcome out;
        const QStringList faults = checkPictureSend(firmwareCod(), send, &out);
        SendPlan plan;
        plan.xmitText = pictureTransmitText(randomPicture(send.seed), lcdHeader());
        const qint64 chars = plan.xmitText.size();
        const double wireMs = double(chars) * 10 * bitNs() / 1e6;
        const double firstMs = double(BootNs) / 1e6;
        const double lastMs =
            out.lcd.dataWrites().empty() ? 0 : cyclesToMs(out.lcd.dataWrites().back().cycle);
        bool late = false;
        for (const QString& f : faults)
            late = late || f.contains(QLatin1String("chunks late"));
        table.row({QStringLiteral("%1 ms").arg(delay), QString::number(chars), millis(wireMs),
                   millis(lastMs - firstMs), ratio((lastMs - firstMs) / wireMs),
                   late ? QStringLiteral("no") : QStringLiteral("yes"),
                   nothingLost(faults) ? QStringLiteral("nothing") : faults.first(),
                   QStringLiteral("%1 s").arg(out.run.wallSeconds, 0, 'f', 2)});
    }
    table.print();
    printNote(QStringLiteral(
        "The wire alone is 10 bits a character at 19200 baud with no pause; the goal at Xmit "
        "Delay 0 is at most 1.05x with nothing lost."));
}

void smallestDelays() {
    Table table("Firmware in gpsim: smallest Xmit Delay with nothing lost (128x64, 1024 bytes)",
                {QStringLiteral("PIC Buffer"), QStringLiteral("LCD"),
                 QStringLiteral("LCD, every chunk in time"), QStringLiteral("EEPROM, PIC Delay 10"),
                 QStringLiteral("EEPROM, PIC Delay 100")});
    for (const int buffer : {2, 4, 8, 16, 32, 64, 128}) {
        const auto lcd = [buffer](bool inTime) {
            return [buffer, inTime](int delay) {
                PictureSend send;
                send.picBuffer = buffer;
                send.xmitDelayMs = delay;
                const QStringList faults = checkPictureSend(firmwareCod(), send);
                return inTime ? faults.isEmpty() : nothingLost(faults);
            };
        };
        const auto eeprom = [buffer](int picDelay) {
            return [buffer, picDelay](int delay) {
                EepromSend send;
                send.address = 0;
                send.picBuffer = buffer;
                send.picDelay = picDelay;
                send.xmitDelayMs = delay;
                send.thenShow = false;
                return checkEepromLoad(firmwareCod(), send).isEmpty();
            };
        };
        table.row({QString::number(buffer), delayCell(smallestDelay(lcd(false), 400)),
                   delayCell(smallestDelay(lcd(true), 400)),
                   delayCell(smallestDelay(eeprom(10), 400)),
                   delayCell(smallestDelay(eeprom(100), 400))});
    }
    table.print();
    printNote(QStringLiteral(
        "Nothing lost: the LCD (or the EEPROM) holds every byte and the firmware replied "
        "neither OVERRUN nor ERROR. Every chunk in time: each chunk's bytes are on the LCD "
        "before the next wait character starts."));
}

} // namespace

void benchFirmware() {
    const gpsim::Tools tools = gpsim::findTools();
    if (!tools.found() || !QFileInfo::exists(firmwareCod())) {
        printNote(QStringLiteral("Firmware in gpsim: skipped (%1)")
                      .arg(tools.found() ? firmwareCod() + QStringLiteral(" not built")
                                         : gpsim::missingToolsMessage(tools)));
        return;
    }
    pictureAgainstTheWire();
    smallestDelays();
}

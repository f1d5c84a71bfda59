#include "link/CommandHeader.h"

#include "link/NumberText.h"

namespace {
QString hex(long long value) {
    return QString::number(value, 16).toUpper();
}

// LCD sizes in window order: 240x64, 128x64, 128x32, 256x128, 240x128, 128x128, 256x64,
// 320x200.
const char* lcdModeDigit(int lcdSizeIndex) {
    static const char* const digits[] = {"0", "3", "4", "0", "3", "4", "0", "0"};
    return lcdSizeIndex >= 0 && lcdSizeIndex < 8 ? digits[lcdSizeIndex] : nullptr;
}

CommandHeader failed(const QString& built, const QString& failure) {
    return CommandHeader{built, failure};
}
} // namespace

CommandHeader buildCommandHeader(const HeaderParameters& p) {
    QString header;
    if (p.eepromMode) {
        header = QStringLiteral("1");
    } else if (const char* digit = lcdModeDigit(p.lcdSizeIndex)) {
        header = QLatin1String(digit);
    } else {
        return failed(
            header,
            QStringLiteral("LCD size %1 is not one of the eight panel sizes").arg(p.lcdSizeIndex));
    }

    // Two hexadecimal digits and no more: a wider field would shift every field after it.
    if (p.picBuffer < 1 || p.picBuffer > 0xFF)
        return failed(header,
                      QStringLiteral("PIC Buffer must be from 1 to 255, not %1").arg(p.picBuffer));
    header += hex(p.picBuffer).rightJustified(2, QLatin1Char('0'));

    // The PIC counts the address in exactly four digits; an address it cannot hold must stop
    // the header rather than leave its field out and let the delay be read as the address.
    const auto address = readRounded(p.startAddress, 0, 0xFFFF);
    if (!address) {
        const QString typed = p.startAddress.trimmed().isEmpty()
                                  ? QStringLiteral("it is empty")
                                  : QStringLiteral("it reads \"%1\"").arg(p.startAddress);
        return failed(
            header,
            QStringLiteral("Start Addr must be a whole number from 0 to 65535 (%1)").arg(typed));
    }
    header += hex(*address).rightJustified(4, QLatin1Char('0'));

    if (p.picDelay < 0 || p.picDelay > 0xFF)
        return failed(header,
                      QStringLiteral("PIC Delay must be from 0 to 255 ms, not %1").arg(p.picDelay));
    header += QLatin1Char('0') + hex(p.picDelay);

    return CommandHeader{QLatin1Char('*') + header, QString()};
}

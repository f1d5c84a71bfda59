#include "wire_format.h"

#include <termios.h>

namespace {

qint64 baudOf(speed_t speed) {
    static const struct {
        speed_t code;
        qint64 baud;
    } rates[] = {
        {B50, 50},           {B75, 75},           {B110, 110},         {B134, 134},
        {B150, 150},         {B200, 200},         {B300, 300},         {B600, 600},
        {B1200, 1200},       {B1800, 1800},       {B2400, 2400},       {B4800, 4800},
        {B9600, 9600},       {B19200, 19200},     {B38400, 38400},     {B57600, 57600},
        {B115200, 115200},   {B230400, 230400},   {B460800, 460800},   {B500000, 500000},
        {B576000, 576000},   {B921600, 921600},   {B1000000, 1000000}, {B1152000, 1152000},
        {B1500000, 1500000}, {B2000000, 2000000}, {B2500000, 2500000}, {B3000000, 3000000},
        {B3500000, 3500000}, {B4000000, 4000000},
    };
    for (const auto& rate : rates)
        if (rate.code == speed)
            return rate.baud;
    return 0;
}

} // namespace

qint64 WireFormat::characterNs() const {
    if (baud <= 0)
        return 0;
    const int bits = 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits;
    return (qint64(bits) * 1000000000 + baud - 1) / baud;
}

QString WireFormat::describe() const {
    const QString format =
        QStringLiteral("%1%2%3").arg(dataBits).arg(QLatin1Char(parity)).arg(stopBits);
    return baud > 0 ? QStringLiteral("%1 %2").arg(baud).arg(format)
                    : QStringLiteral("unknown speed %1").arg(format);
}

WireFormat wireFormatFromTermios(const termios& settings) {
    WireFormat format;
    format.baud = baudOf(cfgetospeed(&settings));
    switch (settings.c_cflag & CSIZE) {
    case CS5:
        format.dataBits = 5;
        break;
    case CS6:
        format.dataBits = 6;
        break;
    case CS7:
        format.dataBits = 7;
        break;
    default:
        format.dataBits = 8;
        break;
    }
    if (settings.c_cflag & PARENB) {
        const bool odd = settings.c_cflag & PARODD;
#ifdef CMSPAR
        if (settings.c_cflag & CMSPAR)
            format.parity = odd ? 'M' : 'S';
        else
#endif
            format.parity = odd ? 'O' : 'E';
    }
    format.stopBits = (settings.c_cflag & CSTOPB) ? 2 : 1;
    return format;
}

#include "link/LineTiming.h"

#include <algorithm>

std::optional<qint64> characterWireNs(const LineSettings& line) {
    int dataBits = static_cast<int>(line.dataBits);
    if (line.baud <= 0 || dataBits < 5 || dataBits > 8)
        return std::nullopt;
    // Counted in half bits, for the 1.5 stop bits.
    int halfBits = 2 * (1 + dataBits);
    if (line.parity != QSerialPort::NoParity)
        halfBits += 2;
    switch (line.stopBits) {
    case QSerialPort::OneStop:
        halfBits += 2;
        break;
    case QSerialPort::OneAndHalfStop:
        halfBits += 3;
        break;
    case QSerialPort::TwoStop:
        halfBits += 4;
        break;
    default:
        return std::nullopt;
    }
    // Rounded up: a model that is a little slow never lets a pause start early.
    const qint64 numerator = qint64(halfBits) * 500000000;
    return (numerator + line.baud - 1) / line.baud;
}

void WireClock::written(qint64 nowNs, qint64 characters) {
    if (!m_characterNs || characters <= 0)
        return;
    m_idleAtNs = std::max(m_idleAtNs, nowNs) + characters * *m_characterNs;
}

qint64 WireClock::nsUntilIdle(qint64 nowNs) const {
    return m_characterNs ? std::max<qint64>(0, m_idleAtNs - nowNs) : 0;
}

qint64 WireClock::inFlight(qint64 nowNs) const {
    const qint64 left = nsUntilIdle(nowNs);
    return left > 0 ? (left + *m_characterNs - 1) / *m_characterNs : 0;
}

qint64 WireClock::nsUntilFewerThan(qint64 count, qint64 nowNs) const {
    if (!m_characterNs || count < 1)
        return 0;
    return std::max<qint64>(0, m_idleAtNs - (count - 1) * *m_characterNs - nowNs);
}

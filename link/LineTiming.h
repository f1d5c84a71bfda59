#pragma once

#include <QSerialPort>
#include <QtGlobal>
#include <optional>

// The line settings of a "19200,n,8,1" text.
struct LineSettings {
    qint32 baud = 19200;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// Nanoseconds one character takes on the wire: a start bit, the data bits, a parity bit unless
// the parity is none, and the stop bits (1, 1.5 or 2), at the baud rate. Nothing when the rate
// or a field cannot be used, so that a caller never divides by zero.
std::optional<qint64> characterWireNs(const LineSettings& line);

// When the characters handed to the driver have left the line. A UART shifts them out one after
// the other: each starts when the one before it has gone, or when it is written if the line is
// idle by then. Times are nanoseconds on any steady clock the caller chooses.
class WireClock {
public:
    // Nothing: the timing of the line is not known, and the clock reports an idle line.
    void setCharacterNs(std::optional<qint64> ns) { m_characterNs = ns; }
    std::optional<qint64> characterNs() const { return m_characterNs; }

    void written(qint64 nowNs, qint64 characters);
    // 0 once the last character written has left.
    qint64 nsUntilIdle(qint64 nowNs) const;
    // Characters written and still within their wire time (one being shifted out counts).
    qint64 inFlight(qint64 nowNs) const;
    // How long until fewer than `count` characters are in flight.
    qint64 nsUntilFewerThan(qint64 count, qint64 nowNs) const;
    void reset() { m_idleAtNs = 0; }

private:
    std::optional<qint64> m_characterNs;
    qint64 m_idleAtNs = 0;
};

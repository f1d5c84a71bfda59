#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

struct termios;

// The speed and character format the host set on the line, as the PIC's UART would have to be
// set to receive it.
struct WireFormat {
    qint64 baud = 0; // 0: the speed could not be read
    int dataBits = 8;
    char parity = 'N'; // N, E, O, M or S
    int stopBits = 1;

    // Start bit, data bits, parity bit unless N, stop bits, at the baud rate; 0 when the speed
    // is not known (the characters are then taken as they arrive).
    qint64 characterNs() const;
    // "19200 8N1", or "unknown speed 8N1".
    QString describe() const;
};

WireFormat wireFormatFromTermios(const termios& settings);

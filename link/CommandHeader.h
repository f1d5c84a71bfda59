#pragma once

#include <QString>

// The short header that tells the PIC how to take the data that follows it: "*", the mode
// digit, the buffer size in two hexadecimal digits, the EEPROM start address in four, then "0"
// and the PIC delay in hexadecimal. Digits are upper case here; the transmit text lower-cases
// them together with the data.

struct HeaderParameters {
    bool eepromMode = false;
    int lcdSizeIndex = 0; // 0..7, the LCD size options in window order
    int picBuffer = 32;   // characters per chunk, 1..255
    int picDelay = 10;    // milliseconds, 0..255
    QString startAddress; // the Start Addr box as typed, in decimal
};

struct CommandHeader {
    // The whole header. After a failure: the fields built before the failing one, without the
    // start mark, which goes in front last.
    QString text;
    QString failure; // empty when the header is complete
    bool ok() const { return failure.isEmpty(); }
};

CommandHeader buildCommandHeader(const HeaderParameters& parameters);

// Makes the PIC show what the EEPROM holds. Sent on its own, already in lower case.
inline const QString displayEepromCommand = QStringLiteral("*22000000a");

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The header that opens every transfer: '*', mode digit, buffer size (2 hex digits), EEPROM
// address (4 hex digits), then '0' and the PIC delay in hex (1 or 2 digits: "05" .. "064").
struct CommandHeader {
    char mode = 0; // '0', '3', '4': LCD modes; '1': load EEPROM; '2': show the EEPROM on the LCD
    int bufferSize = 0;
    int address = 0;
    int delayMs = 0;
};

struct HeaderParse {
    std::optional<CommandHeader> header;
    QString error; // the status line to answer with when header is empty
};

// The longest header text there is ("*3200000064" is 11 characters).
constexpr int kMaxHeaderLength = 11;

// text is the '*' and the lower-case hex digits that followed it, up to the first other
// character (the first wait character) or the end of the transfer.
HeaderParse parseCommandHeader(const QByteArray& text);

// Lower-case only: the host sends lower case, and an upper-case digit is a fault worth seeing.
inline int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

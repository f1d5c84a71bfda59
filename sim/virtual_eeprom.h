#pragma once

#include <QByteArray>

// The PIC's 64 KiB serial EEPROM. A fresh part reads 0xff everywhere. Writes do not wrap: bytes
// that would go past the last cell are dropped, so a too-long load never overwrites its own start.
class VirtualEeprom {
public:
    static constexpr int kSize = 0x10000;

    VirtualEeprom();

    // Stores bytes from address on; returns how many fitted.
    int write(int address, const QByteArray& bytes);
    // Reads up to count bytes from address; fewer when the end of the part comes first.
    QByteArray read(int address, int count) const;

private:
    QByteArray cells_;
};

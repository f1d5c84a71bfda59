#include "virtual_eeprom.h"

#include <algorithm>

VirtualEeprom::VirtualEeprom() : cells_(kSize, char(0xff)) {}

int VirtualEeprom::write(int address, const QByteArray& bytes) {
    if (address < 0 || address >= kSize)
        return 0;
    const int fitted = std::min<int>(bytes.size(), kSize - address);
    std::copy_n(bytes.constData(), fitted, cells_.data() + address);
    return fitted;
}

QByteArray VirtualEeprom::read(int address, int count) const {
    if (address < 0 || address >= kSize || count <= 0)
        return {};
    return cells_.mid(address, std::min(count, kSize - address));
}

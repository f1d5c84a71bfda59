#include "command_header.h"

namespace {

// Value of count hex digits from text[from]; -1 when any of them is not one.
int hexField(const QByteArray& text, int from, int count) {
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const int digit = hexDigitValue(text.at(i));
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

HeaderParse failure(const QString& error) {
    return HeaderParse{std::nullopt, error};
}

} // namespace

HeaderParse parseCommandHeader(const QByteArray& text) {
    const QString malformed = QStringLiteral("ERROR header");
    // '*' mode buffer(2) address(4) '0' delay(1..2)
    if (text.size() < 10 || text.size() > kMaxHeaderLength || text.at(0) != '*')
        return failure(malformed);

    const char mode = text.at(1);
    if (mode < '0' || mode > '4') {
        const bool printable = mode > ' ' && mode < 127;
        return failure(printable ? QStringLiteral("ERROR mode %1").arg(QLatin1Char(mode))
                                 : malformed);
    }

    CommandHeader header;
    header.mode = mode;
    header.bufferSize = hexField(text, 2, 2);
    header.address = hexField(text, 4, 4);
    header.delayMs = hexField(text, 9, text.size() - 9);
    if (header.bufferSize < 0 || header.address < 0 || text.at(8) != '0' || header.delayMs < 0)
        return failure(malformed);
    return HeaderParse{header, QString()};
}

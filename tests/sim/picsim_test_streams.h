#pragma once

// Test-side encoder and framing, written from the wire format alone so that a decoder fault
// cannot be mirrored here.

#include <QByteArray>

// No symmetry along either axis or diagonal, so flipped rows, columns or bits all show.
inline bool patternPixel(int x, int y) {
    return (x * 3 + y * 5) % 11 == 0 || x == 2 * y + 1;
}

inline QByteArray encodeVertical(int width, int height) {
    QByteArray bytes;
    for (int page = 0; page < height / 8; ++page)
        for (int x = 0; x < width; ++x) {
            int byte = 0;
            for (int k = 0; k < 8; ++k)
                byte |= patternPixel(x, page * 8 + k) ? 1 << k : 0;
            bytes.append(char(byte));
        }
    return bytes;
}

inline QByteArray encodeHorizontal(int width, int height) {
    QByteArray bytes;
    for (int y = 0; y < height; ++y)
        for (int left = 0; left < width; left += 8) {
            int byte = 0;
            for (int k = 0; k < 8; ++k)
                byte |= patternPixel(left + k, y) ? 0x80 >> k : 0;
            bytes.append(char(byte));
        }
    return bytes + QByteArray(1, '\0'); // closing byte
}

// "*" mode, buffer, address, "0" + delay: header("3", "20", "0000", "a").
inline QByteArray header(const char* mode, const char* buffer, const char* address,
                         const char* delay = "a") {
    return QByteArray("*") + mode + buffer + address + "0" + delay;
}

// The data as the host sends it: wait text, then up to chunk hex characters, and again.
inline QByteArray framed(const QByteArray& bytes, int chunk, const QByteArray& wait = "]") {
    const QByteArray hex = bytes.toHex();
    QByteArray out;
    for (int i = 0; i < hex.size(); i += chunk)
        out += wait + hex.mid(i, chunk);
    return out;
}

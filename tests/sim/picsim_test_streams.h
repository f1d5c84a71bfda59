#pragma once

// Test-side encoder and framing, written from the wire format alone so that a decoder fault
// cannot be mirrored here.

#include "support/TestPictures.h"

#include <QByteArray>

// The shared test pattern as the host sends it; a horizontal stream ends in its closing byte.
inline QByteArray encodeVertical(int width, int height) {
    return verticalBytesOf(width, height, patternPixel);
}

inline QByteArray encodeHorizontal(int width, int height) {
    return horizontalBytesOf(width, height, patternPixel) + QByteArray(1, '\0');
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

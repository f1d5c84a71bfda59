#pragma once

#include "pic_simulator.h"
#include "support/TestPictures.h" // pixelsOff

#include <QStringList>

// The simulator's clock counts nanoseconds.
constexpr qint64 ms(qint64 milliseconds) {
    return milliseconds * 1000000;
}

// Sends stream in one go at nowMs, lets the line go quiet, returns the answers.
inline QStringList runTransfer(PicSimulator& simulator, const QByteArray& stream,
                               qint64 nowMs = 1000) {
    simulator.feed(stream, ms(nowMs));
    simulator.tick(ms(nowMs + 1000000));
    return simulator.takeAnswers();
}

#pragma once

#include "pic_simulator.h"
#include "support/TestPictures.h" // pixelsOff

#include <QString>
#include <QStringList>

// The simulator's clock counts nanoseconds.
constexpr qint64 ms(qint64 milliseconds) {
    return milliseconds * 1000000;
}

// A simulator with the panel's chip given ("ks0108", "t6963c") or taken from the width ("auto").
inline SimConfig withController(const QString& chip) {
    SimConfig config;
    if (chip == QLatin1String("ks0108"))
        config.controller = Controller::Ks0108;
    else if (chip == QLatin1String("t6963c"))
        config.controller = Controller::T6963c;
    return config;
}

// Sends stream in one go at nowMs, lets the line go quiet, returns the answers.
inline QStringList runTransfer(PicSimulator& simulator, const QByteArray& stream,
                               qint64 nowMs = 1000) {
    simulator.feed(stream, ms(nowMs));
    simulator.tick(ms(nowMs + 1000000));
    return simulator.takeAnswers();
}

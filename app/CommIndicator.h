#pragma once

#include "app/Main.h"

#include <QLabel>

// The port-state label `comm`: "OFF" on red while closed, "ON" on green while open, "Busy" on
// orange while a send runs. Caption and colour change in the order the handlers need.
namespace comm_indicator {
inline const QColor offRed(192, 0, 0);
inline const QColor onGreen(0, 192, 0);
inline const QColor busyOrange(255, 128, 0);

inline void showOff(QLabel* comm) {
    comm->setText(QStringLiteral("OFF"));
    Main::setBackColour(comm, offRed);
}

inline void showOn(QLabel* comm) {
    comm->setText(QStringLiteral("ON"));
    Main::setBackColour(comm, onGreen);
}

inline void showBusy(QLabel* comm) {
    Main::setBackColour(comm, busyOrange);
    comm->setText(QStringLiteral("Busy"));
}
} // namespace comm_indicator

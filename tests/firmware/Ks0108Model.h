#pragma once

// A KS0108 128x64 panel as the firmware's port writes drive it: two controllers of 64 columns,
// each with a page register (0-7), a column counter that steps on every data write and wraps
// at 64, display on/off and a start line. Wiring: D0-D7 on port D, RB0 D/I, RB1 R/W, RB2 E,
// RB3 CS1 (columns 0-63), RB4 CS2 (columns 64-127), chip selects high active, RB5 /RST.
//
// The controller latches on E's falling edge; it also checks the bus timing the data sheet
// asks for and reports every breach.
#include "support/GpsimRun.h"

#include <QImage>
#include <QStringList>
#include <array>
#include <vector>

namespace firmware {

// The data sheet's bus timing, in nanoseconds.
struct Ks0108Timing {
    qint64 eHighNs = 450;        // E high pulse width
    qint64 eCycleNs = 1000;      // E cycle (rising edge to rising edge)
    qint64 addressSetupNs = 140; // D/I, R/W, CS stable before E rises
    qint64 dataSetupNs = 200;    // data stable before E falls
};

class Ks0108Model {
public:
    explicit Ks0108Model(Ks0108Timing timing = {}) : m_timing(timing) {}

    // Feeds the logged writes (latb, portb, latd, portd, trisd; others are ignored), in order.
    void feed(const std::vector<gpsim::RegisterWrite>& writes);

    // What the panel shows: display off shows nothing, the start line rolls the rows.
    QImage picture() const;
    // The controllers' memory as vertical bytes in stream order (page 0 columns 0-127, ...).
    QByteArray ram() const;
    bool displayOn() const { return m_chip[0].on && m_chip[1].on; }

    // Each data byte written, in order: the column (0-127) and page it landed on, and when.
    struct DataWrite {
        qint64 cycle;
        int column;
        int page;
        quint8 value;
    };
    const std::vector<DataWrite>& dataWrites() const { return m_dataWrites; }
    int instructions() const { return m_instructions; }
    // The breaches of the bus timing, and writes the panel cannot take (both chips selected
    // for a read, data before reset ended), one line each; at most the first 20 are kept in
    // full, the rest counted.
    const QStringList& violations() const { return m_violations; }
    int violationCount() const { return m_violationCount; }

private:
    struct Chip {
        std::array<quint8, 8 * 64> ram{};
        int page = 0;
        int column = 0;
        int startLine = 0;
        bool on = false;
    };
    void setPort(qint64 cycle, int b, int d);
    void fallingEdge(qint64 cycle);
    void violation(qint64 cycle, const QString& what);

    Ks0108Timing m_timing;
    std::array<Chip, 2> m_chip;
    int m_portB = 0;
    int m_portD = 0;
    int m_trisD = 0xFF;
    qint64 m_controlChanged = -1'000'000; // last change of D/I, R/W, CS1, CS2
    qint64 m_dataChanged = -1'000'000;
    qint64 m_eRose = -1;
    qint64 m_lastRise = -1'000'000;
    std::vector<DataWrite> m_dataWrites;
    int m_instructions = 0;
    QStringList m_violations;
    int m_violationCount = 0;
};

// The registers to log for the model.
QStringList ks0108Registers();

} // namespace firmware

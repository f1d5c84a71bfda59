#pragma once

// The I2C traffic between the PIC's MSSP (master) and a 24LC256, read from the writes the
// firmware makes to SSPCON2 (start, repeated start, stop, receive, acknowledge) and SSPBUF (each
// byte sent). gpsim's EEPROM model acknowledges even during its write cycle, so the wait after
// a page write is checked here, from the times: after the stop of a write the part is busy for
// its write cycle, and the only access it answers meanwhile is an acknowledge poll (start and
// the control byte, nothing else).
#include "support/GpsimRun.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

namespace firmware {

struct I2cTransaction {
    qint64 startCycle = 0;
    qint64 stopCycle = -1; // -1: never stopped
    QByteArray sent;       // bytes written to SSPBUF, control byte(s) included
    int restarts = 0;
    int received = 0; // bytes clocked in
};

struct PageWrite {
    qint64 stopCycle;
    int address;
    QByteArray bytes;
};

class I2cMonitor {
public:
    explicit I2cMonitor(qint64 writeCycleNs = 5'000'000) : m_writeCycleNs(writeCycleNs) {}
    void feed(const std::vector<gpsim::RegisterWrite>& writes);

    const std::vector<I2cTransaction>& transactions() const { return m_transactions; }
    // Every write transaction with data: where it began and what it wrote.
    std::vector<PageWrite> pageWrites() const;
    // What the writes leave in a 32 KiB part that held `before`. Within one page write the
    // address counter wraps inside its 64-byte page, as the part does.
    QByteArray applyWrites(QByteArray before) const;
    // Page writes that run over a 64-byte boundary, and accesses during a write cycle.
    QStringList pageCrossings() const;
    QStringList busyAccesses() const;

private:
    qint64 m_writeCycleNs;
    std::vector<I2cTransaction> m_transactions;
    bool m_open = false;
};

QStringList i2cRegisters();

} // namespace firmware

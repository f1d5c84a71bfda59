#include "I2cMonitor.h"

#include "FirmwareWire.h"

namespace firmware {

namespace {
constexpr int SEN = 1 << 0;
constexpr int RSEN = 1 << 1;
constexpr int PEN = 1 << 2;
constexpr int RCEN = 1 << 3;

QString at(qint64 cycle) {
    return QStringLiteral("%1 ms").arg(cyclesToMs(cycle), 0, 'f', 3);
}
} // namespace

QStringList i2cRegisters() {
    return {QStringLiteral("sspcon2"), QStringLiteral("sspbuf")};
}

void I2cMonitor::feed(const std::vector<gpsim::RegisterWrite>& writes) {
    for (const gpsim::RegisterWrite& w : writes) {
        if (w.reg == QLatin1String("sspbuf")) {
            if (m_open)
                m_transactions.back().sent += char(w.value);
            continue;
        }
        if (w.reg != QLatin1String("sspcon2"))
            continue;
        // The hardware clears these bits when done; only a bit the firmware sets starts
        // something.
        const int set = w.value & ~w.was;
        if (set & SEN) {
            I2cTransaction t;
            t.startCycle = w.cycle;
            m_transactions.push_back(t);
            m_open = true;
        }
        if (!m_open)
            continue;
        I2cTransaction& t = m_transactions.back();
        if (set & RSEN)
            ++t.restarts;
        if (set & RCEN)
            ++t.received;
        if (set & PEN) {
            t.stopCycle = w.cycle;
            m_open = false;
        }
    }
}

std::vector<PageWrite> I2cMonitor::pageWrites() const {
    std::vector<PageWrite> pages;
    for (const I2cTransaction& t : m_transactions) {
        // Control byte 0xA0 (write), two address bytes, data; no restart (a restart turns
        // it into a random read).
        if (t.restarts > 0 || t.sent.size() < 4 || quint8(t.sent[0]) != 0xA0)
            continue;
        const int address = (quint8(t.sent[1]) << 8 | quint8(t.sent[2])) & 0x7FFF;
        pages.push_back({t.stopCycle, address, t.sent.mid(3)});
    }
    return pages;
}

QByteArray I2cMonitor::applyWrites(QByteArray image) const {
    for (const PageWrite& p : pageWrites()) {
        if (p.stopCycle < 0)
            continue; // never stopped: the part writes nothing
        const int page = p.address & ~63;
        for (int i = 0; i < p.bytes.size(); ++i)
            image[page + ((p.address + i) & 63)] = p.bytes[i];
    }
    return image;
}

QStringList I2cMonitor::pageCrossings() const {
    QStringList found;
    for (const PageWrite& p : pageWrites())
        if ((p.address & 63) + p.bytes.size() > 64)
            found << QStringLiteral("%1 bytes at %2 cross a page (stop at %3)")
                         .arg(p.bytes.size())
                         .arg(p.address, 4, 16, QLatin1Char('0'))
                         .arg(at(p.stopCycle));
    return found;
}

QStringList I2cMonitor::busyAccesses() const {
    QStringList found;
    qint64 busyUntil = -1;
    for (const I2cTransaction& t : m_transactions) {
        const bool poll = t.sent.size() <= 1 && t.received == 0;
        if (t.startCycle < busyUntil && !poll)
            found << QStringLiteral("access at %1, %2 us into the write cycle")
                         .arg(at(t.startCycle))
                         .arg(double(t.startCycle - (busyUntil - m_writeCycleNs / CycleNs)) *
                                  CycleNs / 1000.0,
                              0, 'f', 1);
        const bool writes = t.restarts == 0 && t.sent.size() >= 4 && quint8(t.sent[0]) == 0xA0;
        if (writes && t.stopCycle >= 0)
            busyUntil = t.stopCycle + m_writeCycleNs / CycleNs;
    }
    return found;
}

} // namespace firmware

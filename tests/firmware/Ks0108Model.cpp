#include "Ks0108Model.h"

#include "FirmwareWire.h"

namespace firmware {

namespace {
constexpr int DI = 1 << 0;
constexpr int RW = 1 << 1;
constexpr int E = 1 << 2;
constexpr int CS1 = 1 << 3;
constexpr int CS2 = 1 << 4;
constexpr int RST = 1 << 5;
constexpr int Control = DI | RW | CS1 | CS2;
} // namespace

QStringList ks0108Registers() {
    return {QStringLiteral("latb"), QStringLiteral("portb"), QStringLiteral("latd"),
            QStringLiteral("portd"), QStringLiteral("trisd")};
}

void Ks0108Model::violation(qint64 cycle, const QString& what) {
    ++m_violationCount;
    if (m_violations.size() < 20)
        m_violations << QStringLiteral("%1 ms: %2").arg(cyclesToMs(cycle), 0, 'f', 4).arg(what);
}

void Ks0108Model::feed(const std::vector<gpsim::RegisterWrite>& writes) {
    for (const gpsim::RegisterWrite& w : writes) {
        if (w.reg == QLatin1String("latb") || w.reg == QLatin1String("portb"))
            setPort(w.cycle, w.value & 0xFF, m_portD);
        else if (w.reg == QLatin1String("latd") || w.reg == QLatin1String("portd"))
            setPort(w.cycle, m_portB, w.value & 0xFF);
        else if (w.reg == QLatin1String("trisd")) {
            if ((m_trisD != 0) != ((w.value & 0xFF) != 0))
                m_dataChanged = w.cycle;
            m_trisD = w.value & 0xFF;
        }
    }
}

void Ks0108Model::setPort(qint64 cycle, int b, int d) {
    const int changedB = b ^ m_portB;
    if (d != m_portD)
        m_dataChanged = cycle;
    if (changedB & Control) {
        m_controlChanged = cycle;
        if (m_portB & E)
            violation(cycle, QStringLiteral("D/I, R/W or CS changed while E is high"));
    }
    m_portD = d;
    const int before = m_portB;
    m_portB = b;
    if ((changedB & RST) && !(b & RST)) {
        // Reset: display off, start line 0; the RAM keeps its contents.
        for (Chip& c : m_chip) {
            c.on = false;
            c.startLine = 0;
        }
    }
    if ((changedB & E) && (b & E)) {
        if ((cycle - m_lastRise) * CycleNs < m_timing.eCycleNs)
            violation(cycle, QStringLiteral("E cycle %1 ns < %2 ns")
                                 .arg((cycle - m_lastRise) * CycleNs)
                                 .arg(m_timing.eCycleNs));
        if ((cycle - m_controlChanged) * CycleNs < m_timing.addressSetupNs)
            violation(cycle, QStringLiteral("D/I, R/W or CS set %1 ns before E rises (< %2 ns)")
                                 .arg((cycle - m_controlChanged) * CycleNs)
                                 .arg(m_timing.addressSetupNs));
        m_lastRise = cycle;
        m_eRose = cycle;
    }
    if ((changedB & E) && (before & E) && !(b & E))
        fallingEdge(cycle);
}

void Ks0108Model::fallingEdge(qint64 cycle) {
    if (m_eRose >= 0 && (cycle - m_eRose) * CycleNs < m_timing.eHighNs)
        violation(cycle, QStringLiteral("E high %1 ns < %2 ns")
                             .arg((cycle - m_eRose) * CycleNs)
                             .arg(m_timing.eHighNs));
    m_eRose = -1;
    if (!(m_portB & RST)) {
        violation(cycle, QStringLiteral("E pulse while /RST is low"));
        return;
    }
    if (m_portB & RW)
        return; // a read (status or data): the controller drives the bus, nothing is latched
    if (m_trisD != 0) {
        violation(cycle, QStringLiteral("write with D0-D7 not driven (TRISD %1)")
                             .arg(m_trisD, 2, 16, QLatin1Char('0')));
        return;
    }
    if ((cycle - m_dataChanged) * CycleNs < m_timing.dataSetupNs)
        violation(cycle, QStringLiteral("data set %1 ns before E falls (< %2 ns)")
                             .arg((cycle - m_dataChanged) * CycleNs)
                             .arg(m_timing.dataSetupNs));
    const quint8 value = quint8(m_portD);
    for (int half = 0; half < 2; ++half) {
        if (!(m_portB & (half == 0 ? CS1 : CS2)))
            continue;
        Chip& c = m_chip[half];
        if (m_portB & DI) {
            c.ram[c.page * 64 + c.column] = value;
            m_dataWrites.push_back({cycle, half * 64 + c.column, c.page, value});
            c.column = (c.column + 1) % 64;
        } else {
            ++m_instructions;
            if ((value & 0xFE) == 0x3E)
                c.on = value & 1;
            else if ((value & 0xC0) == 0x40)
                c.column = value & 0x3F;
            else if ((value & 0xF8) == 0xB8)
                c.page = value & 0x07;
            else if ((value & 0xC0) == 0xC0)
                c.startLine = value & 0x3F;
            else
                violation(
                    cycle,
                    QStringLiteral("unknown instruction %1").arg(value, 2, 16, QLatin1Char('0')));
        }
    }
}

QByteArray Ks0108Model::ram() const {
    QByteArray bytes;
    for (int page = 0; page < 8; ++page)
        for (int x = 0; x < 128; ++x)
            bytes += char(m_chip[x / 64].ram[page * 64 + x % 64]);
    return bytes;
}

QImage Ks0108Model::picture() const {
    QImage lcd(128, 64, QImage::Format_RGB32);
    lcd.fill(0xFFFFFFFFu);
    for (int x = 0; x < 128; ++x) {
        const Chip& c = m_chip[x / 64];
        if (!c.on)
            continue;
        for (int row = 0; row < 64; ++row) {
            // Row `row` of the glass shows RAM line (row + start line) mod 64.
            const int line = (row + c.startLine) % 64;
            if (c.ram[(line / 8) * 64 + x % 64] & (1 << (line % 8)))
                lcd.setPixel(x, row, 0xFF000000u);
        }
    }
    return lcd;
}

} // namespace firmware

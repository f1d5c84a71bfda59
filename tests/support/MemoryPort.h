#pragma once

// A serial port that lives in memory: it keeps every write apart, so a test sees the writes one
// by one, and it can be told to stop taking data after a number of writes, like a line whose
// far end goes away. Given line settings it also plays the wire on a clock of its own, which
// the test moves on: characters leave at the line's pace, a full transmit buffer makes a write
// wait (the clock moves on by the wait), and a stalled line never empties.
#include "link/LineTiming.h"
#include "link/SerialPort.h"

#include <QStringList>
#include <algorithm>

class MemoryPort : public SerialPort {
public:
    MemoryPort() = default;
    MemoryPort(const LineSettings& line, int bufferSize) : bufferSize(bufferSize) {
        wire.setCharacterNs(characterWireNs(line));
    }

    bool PortOpen() const override { return m_open; }
    bool setPortOpen(bool open) override {
        m_open = open;
        return true;
    }
    int CommPort() const override { return 1; }
    void setCommPort(int) override {}
    QString Settings() const override { return QStringLiteral("19200,n,8,1"); }
    bool setSettings(const QString&) override { return true; }
    int Handshaking() const override { return 0; }
    bool setHandshaking(int) override { return true; }
    int OutBufferSize() const override { return bufferSize; }
    bool setOutBufferSize(int) override { return true; }
    bool Output(const QString& text) override {
        if (!m_open || (failAfter >= 0 && writes.size() >= failAfter))
            return false;
        nowNs += wire.nsUntilFewerThan(bufferSize, nowNs);
        wire.written(nowNs, text.size());
        writes << text;
        return true;
    }
    std::optional<qint64> nsUntilSent() override {
        ++linesAsked;
        if (stalled)
            return std::nullopt;
        return wire.nsUntilIdle(nowNs);
    }
    QString Input() override { return QString(); }
    QString errorString() const override { return QStringLiteral("Input/output error"); }

    QString written() const { return writes.join(QString()); }

    QStringList writes;
    int failAfter = -1; // writes taken before every further write fails; -1 never fails
    bool stalled = false;
    int bufferSize = 512;
    WireClock wire; // no line settings: the wire takes everything at once
    qint64 nowNs = 0;
    int linesAsked = 0;

private:
    bool m_open = true;
};

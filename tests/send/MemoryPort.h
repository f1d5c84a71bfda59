#pragma once

// A serial port that lives in memory: it keeps every write apart, so a test sees the writes one
// by one, and it can be told to stop taking data after a number of writes, like a line whose
// far end goes away.
#include "link/SerialPort.h"

#include <QStringList>

class MemoryPort : public SerialPort {
public:
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
    int OutBufferSize() const override { return 512; }
    bool setOutBufferSize(int) override { return true; }
    bool Output(const QString& text) override {
        if (!m_open || (failAfter >= 0 && writes.size() >= failAfter))
            return false;
        writes << text;
        return true;
    }
    QString Input() override { return QString(); }
    QString errorString() const override { return QStringLiteral("Input/output error"); }

    QString written() const { return writes.join(QString()); }

    QStringList writes;
    int failAfter = -1; // writes taken before every further write fails; -1 never fails

private:
    bool m_open = true;
};

#pragma once

#include "link/SerialPort.h"

#include <QSerialPort>

// Port number to device: QUORVEL_COM1 / QUORVEL_COM2 when set, else the first (second) port the
// system lists, sorted by location. Empty when there is no such port.
QString deviceForCommPort(int port);

// The serial port on QSerialPort.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QObject* parent = nullptr);

    bool PortOpen() const override;
    bool setPortOpen(bool open) override;
    int CommPort() const override { return m_commPort; }
    void setCommPort(int port) override { m_commPort = port; }
    QString Settings() const override { return m_settings; }
    bool setSettings(const QString& settings) override;
    bool setHandshaking(int handshake) override;
    bool setOutBufferSize(int bytes) override;
    bool Output(const QString& text) override;
    QString Input() override;
    QString errorString() const override { return m_error; }

private:
    bool fail(const QString& description);

    QSerialPort m_port;
    int m_commPort = 1;
    QString m_settings;
    int m_handshake = 0;
    int m_outBufferSize = 512;
    QString m_error;
};

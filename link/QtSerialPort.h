#pragma once

#include "link/SerialPort.h"

#include <QByteArray>
#include <QSerialPort>
#include <optional>

// Port number to device: QUORVEL_COM1 / QUORVEL_COM2 when set, else the first (second) port the
// system lists, sorted by location. Empty when there is no such port.
QString deviceForCommPort(int port);

// The line settings of a "19200,n,8,1" text.
struct LineSettings {
    qint32 baud = 19200;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// Reads "baud,parity,data bits,stop bits" (blanks around the fields and the case of the parity
// letter do not matter). Fails with a description naming the field that cannot be read.
std::optional<LineSettings> parseLineSettings(const QString& text, QString* failure = nullptr);
// The settings as the program shows them: "19200,n,8,1", "4800,e,7,1.5".
QString lineSettingsText(const LineSettings& settings);

// One byte per character. A character outside Latin-1 (also one written with a surrogate pair)
// goes out as a single '?', so the count of bytes always matches the count of characters typed.
QByteArray latin1Bytes(const QString& text);

// The serial port on QSerialPort.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QObject* parent = nullptr);

    bool PortOpen() const override;
    bool setPortOpen(bool open) override;
    int CommPort() const override { return m_commPort; }
    void setCommPort(int port) override { m_commPort = port; }
    QString Settings() const override { return lineSettingsText(m_line); }
    bool setSettings(const QString& settings) override;
    int Handshaking() const override { return m_handshake; }
    bool setHandshaking(int handshake) override;
    int OutBufferSize() const override { return m_outBufferSize; }
    bool setOutBufferSize(int bytes) override;
    bool Output(const QString& text) override;
    QString Input() override;
    bool inputFailed() const override { return m_inputFailed; }
    QString errorString() const override { return m_error; }

private:
    bool pushToDriver();
    bool dropUnsent(const QString& description);
    bool fail(const QString& description);
    bool applyLine(const LineSettings& line);
    bool applyHandshake();

    QSerialPort m_port;
    int m_commPort = 1;
    LineSettings m_line;
    int m_handshake = 0;
    int m_outBufferSize = 512;
    QString m_error;
    bool m_inputFailed = false;
};

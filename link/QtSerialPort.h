#pragma once

#include "link/LineTiming.h"
#include "link/SerialDriver.h"
#include "link/SerialPort.h"

#include <QByteArray>
#include <QSerialPort>
#include <memory>
#include <optional>

// Port number to device: QUORVEL_COM1 / QUORVEL_COM2 when set, else the first (second) port the
// system lists, sorted by location. Empty when there is no such port.
QString deviceForCommPort(int port);

// Reads "baud,parity,data bits,stop bits" (blanks around the fields and the case of the parity
// letter do not matter). Fails with a description naming the field that cannot be read.
std::optional<LineSettings> parseLineSettings(const QString& text, QString* failure = nullptr);
// The settings as the program shows them: "19200,n,8,1", "4800,e,7,1.5".
QString lineSettingsText(const LineSettings& settings);

// One byte per character. A character outside Latin-1 (also one written with a surrogate pair)
// goes out as a single '?', so the count of bytes always matches the count of characters typed.
QByteArray latin1Bytes(const QString& text);

// The serial port on QSerialPort. Reading goes through QSerialPort; writing goes one byte at a
// time through a SerialDriver: on POSIX systems to the handle itself, so that the program knows
// exactly which characters the driver has taken; elsewhere through QSerialPort's own queue,
// which then stands for the driver's. Either way at most OutBufferSize() characters are on their
// way at once and the wire clock keeps the pauses true on the line.
// A line that is gone (unplugged adapter, hung-up far end) is let go at once: the handle is
// closed, so that nothing keeps watching it, while PortOpen() stays true until the program
// closes the port.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    // On the first form serialDriverKinds() lists.
    explicit QtSerialPort(QObject* parent = nullptr);
    explicit QtSerialPort(SerialDriver::Kind driver, QObject* parent = nullptr);
    ~QtSerialPort() override;

    SerialDriver::Kind driverKind() const;

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
    std::optional<qint64> nsUntilSent() override;
    QString Input() override;
    bool inputFailed() const override { return m_inputFailed; }
    QString errorString() const override { return m_error; }

    // How long the line may take nothing before a write or a wait for it fails; 5 s by default.
    void setStallTimeoutMs(int milliseconds) { m_stallTimeoutMs = milliseconds; }

private:
    bool waitForRoom();
    bool waitWritable();
    bool writeByte(char byte);
    qint64 driverQueued();
    bool stalled(qint64 nowNs) const;
    bool stallFailure();
    bool lineGone(const QString& description);
    bool fail(const QString& description);
    bool applyLine(const LineSettings& line);
    bool applyHandshake();

    QSerialPort m_port;
    std::unique_ptr<SerialDriver> m_driver; // writes through m_port, declared after it
    int m_commPort = 1;
    LineSettings m_line;
    int m_handshake = 0;
    int m_outBufferSize = 512;
    int m_openBufferSize = 512; // the size in force since the last open
    int m_stallTimeoutMs = 5000;
    WireClock m_wire;
    qint64 m_lastQueued = 0;   // the driver's queue when last asked
    qint64 m_progressAtNs = 0; // when the line last took something (or had nothing to take)
    bool m_gone = false;
    QString m_error;
    bool m_inputFailed = false;
};

#include "link/QtSerialPort.h"

#include <QSerialPortInfo>
#include <algorithm>

QString deviceForCommPort(int port) {
    const QByteArray fromEnvironment = qgetenv(port == 1 ? "QUORVEL_COM1" : "QUORVEL_COM2");
    if (!fromEnvironment.isEmpty())
        return QString::fromLocal8Bit(fromEnvironment);
    QStringList locations;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        locations << info.systemLocation();
    std::sort(locations.begin(), locations.end());
    return port >= 1 && port <= locations.size() ? locations.at(port - 1) : QString();
}

QtSerialPort::QtSerialPort(QObject* parent) : SerialPort(parent) {}

bool QtSerialPort::fail(const QString& description) {
    m_error = description;
    return false;
}

bool QtSerialPort::PortOpen() const {
    return m_port.isOpen();
}

bool QtSerialPort::setPortOpen(bool open) {
    if (!open) {
        m_port.close();
        return true;
    }
    if (m_port.isOpen())
        return fail(tr("Port already open"));
    const QString device = deviceForCommPort(m_commPort);
    if (device.isEmpty())
        return fail(tr("No serial port %1 on this machine").arg(m_commPort));
    m_port.setPortName(device);
    if (!m_port.open(QIODevice::ReadWrite))
        return fail(m_port.errorString());
    if (!setSettings(m_settings)) {
        m_port.close();
        return false;
    }
    return true;
}

bool QtSerialPort::setSettings(const QString& settings) {
    m_settings = settings;
    if (!m_port.isOpen())
        return true;
    const QStringList parts = settings.split(QLatin1Char(','));
    bool ok = parts.size() == 4;
    const int baud = ok ? parts[0].toInt(&ok) : 0;
    if (!ok || !m_port.setBaudRate(baud))
        return fail(tr("Invalid settings \"%1\"").arg(settings));
    m_port.setParity(QSerialPort::NoParity);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setStopBits(QSerialPort::OneStop);
    return true;
}

bool QtSerialPort::setHandshaking(int handshake) {
    m_handshake = handshake;
    return true;
}

bool QtSerialPort::setOutBufferSize(int bytes) {
    m_outBufferSize = bytes;
    return true;
}

bool QtSerialPort::Output(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    if (m_port.write(bytes) != bytes.size())
        return fail(m_port.errorString());
    m_port.flush();
    return true;
}

QString QtSerialPort::Input() {
    m_port.waitForReadyRead(0);
    return QString::fromLatin1(m_port.readAll());
}

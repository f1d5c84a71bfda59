#include "link/QtSerialPort.h"

#include <QSerialPortInfo>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <poll.h>

QString deviceForCommPort(int port) {
    if (port != 1 && port != 2)
        return QString();
    const QByteArray fromEnvironment = qgetenv(port == 1 ? "QUORVEL_COM1" : "QUORVEL_COM2");
    if (!fromEnvironment.isEmpty())
        return QString::fromLocal8Bit(fromEnvironment);
    QStringList locations;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        locations << info.systemLocation();
    std::sort(locations.begin(), locations.end());
    return port <= locations.size() ? locations.at(port - 1) : QString();
}

namespace {
bool setFailure(QString* failure, const QString& description) {
    if (failure)
        *failure = description;
    return false;
}
} // namespace

std::optional<LineSettings> parseLineSettings(const QString& text, QString* failure) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) {
        setFailure(failure, QStringLiteral("Settings \"%1\" must be baud rate, parity, data bits "
                                           "and stop bits, such as 19200,n,8,1")
                                .arg(text));
        return std::nullopt;
    }
    const QString baud = parts[0].trimmed();
    const QString parity = parts[1].trimmed().toLower();
    const QString dataBits = parts[2].trimmed();
    const QString stopBits = parts[3].trimmed();
    LineSettings line;

    bool ok = !baud.isEmpty() &&
              std::all_of(baud.begin(), baud.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    line.baud = ok ? baud.toInt(&ok) : 0;
    if (!ok || line.baud <= 0) {
        setFailure(failure, QStringLiteral("Settings \"%1\": the baud rate \"%2\" is not a "
                                           "positive whole number")
                                .arg(text, baud));
        return std::nullopt;
    }

    static const std::pair<const char*, QSerialPort::Parity> parities[] = {
        {"n", QSerialPort::NoParity},    {"e", QSerialPort::EvenParity},
        {"o", QSerialPort::OddParity},   {"m", QSerialPort::MarkParity},
        {"s", QSerialPort::SpaceParity},
    };
    const auto parityEntry = std::find_if(std::begin(parities), std::end(parities),
                                          [&](const auto& p) { return parity == p.first; });
    if (parityEntry == std::end(parities)) {
        setFailure(failure, QStringLiteral("Settings \"%1\": the parity \"%2\" is not one of "
                                           "n, e, o, m, s")
                                .arg(text, parts[1].trimmed()));
        return std::nullopt;
    }
    line.parity = parityEntry->second;

    static const QStringList dataBitTexts{"5", "6", "7", "8"};
    if (!dataBitTexts.contains(dataBits)) {
        setFailure(failure,
                   QStringLiteral("Settings \"%1\": the data bits \"%2\" must be 5, 6, 7 or 8")
                       .arg(text, dataBits));
        return std::nullopt;
    }
    line.dataBits = static_cast<QSerialPort::DataBits>(dataBits.toInt());

    if (stopBits == QLatin1String("1"))
        line.stopBits = QSerialPort::OneStop;
    else if (stopBits == QLatin1String("1.5"))
        line.stopBits = QSerialPort::OneAndHalfStop;
    else if (stopBits == QLatin1String("2"))
        line.stopBits = QSerialPort::TwoStop;
    else {
        setFailure(failure,
                   QStringLiteral("Settings \"%1\": the stop bits \"%2\" must be 1, 1.5 or 2")
                       .arg(text, stopBits));
        return std::nullopt;
    }
    return line;
}

QString lineSettingsText(const LineSettings& line) {
    QChar parity = u'n';
    switch (line.parity) {
    case QSerialPort::EvenParity:
        parity = u'e';
        break;
    case QSerialPort::OddParity:
        parity = u'o';
        break;
    case QSerialPort::MarkParity:
        parity = u'm';
        break;
    case QSerialPort::SpaceParity:
        parity = u's';
        break;
    default:
        break;
    }
    const QString stops = line.stopBits == QSerialPort::OneAndHalfStop ? QStringLiteral("1.5")
                          : line.stopBits == QSerialPort::TwoStop      ? QStringLiteral("2")
                                                                       : QStringLiteral("1");
    return QStringLiteral("%1,%2,%3,%4")
        .arg(line.baud)
        .arg(parity)
        .arg(static_cast<int>(line.dataBits))
        .arg(stops);
}

QByteArray latin1Bytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() <= 0xFF) {
            bytes.append(static_cast<char>(c.unicode()));
            continue;
        }
        bytes.append('?');
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    return bytes;
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
        return fail(tr("Port %1 is already open").arg(m_commPort));
    const QString device = deviceForCommPort(m_commPort);
    if (device.isEmpty())
        return fail(tr("There is no serial port %1 on this machine").arg(m_commPort));
    m_port.setPortName(device);
    m_port.clearError();
    if (!m_port.open(QIODevice::ReadWrite))
        return fail(tr("%1: %2").arg(device, m_port.errorString()));
    if (!applyLine(m_line) || !applyHandshake()) {
        m_port.close();
        return false;
    }
    return true;
}

bool QtSerialPort::applyLine(const LineSettings& line) {
    m_port.clearError();
    const QString text = lineSettingsText(line);
    if (!m_port.setBaudRate(line.baud))
        return fail(tr("The port refuses %1 baud: %2").arg(line.baud).arg(m_port.errorString()));
    if (!m_port.setParity(line.parity) || !m_port.setDataBits(line.dataBits))
        return fail(tr("The port refuses the settings %1: %2").arg(text, m_port.errorString()));
    if (!m_port.setStopBits(line.stopBits))
        return fail(tr("The port refuses the stop bits of %1: %2").arg(text, m_port.errorString()));
    return true;
}

bool QtSerialPort::setSettings(const QString& settings) {
    QString failure;
    const std::optional<LineSettings> line = parseLineSettings(settings, &failure);
    if (!line)
        return fail(failure);
    if (m_port.isOpen() && !applyLine(*line)) {
        // Put the line back the way it was so that what Settings() reads stays in force.
        const QString refused = m_error;
        applyLine(m_line);
        return fail(refused);
    }
    m_line = *line;
    return true;
}

bool QtSerialPort::applyHandshake() {
    // QSerialPort offers RTS/CTS or XON/XOFF but not both at once: 3 becomes RTS/CTS alone,
    // which still holds the sender back whenever the PIC drops CTS.
    static const QSerialPort::FlowControl flows[] = {
        QSerialPort::NoFlowControl,
        QSerialPort::SoftwareControl,
        QSerialPort::HardwareControl,
        QSerialPort::HardwareControl,
    };
    m_port.clearError();
    if (!m_port.setFlowControl(flows[m_handshake]))
        return fail(
            tr("The port refuses handshake %1: %2").arg(m_handshake).arg(m_port.errorString()));
    return true;
}

bool QtSerialPort::setHandshaking(int handshake) {
    if (handshake < 0 || handshake > 3)
        return fail(tr("Handshake %1 is not one of 0 (none), 1 (XON/XOFF), 2 (RTS/CTS), "
                       "3 (RTS/CTS with XON/XOFF)")
                        .arg(handshake));
    m_handshake = handshake;
    return true;
}

bool QtSerialPort::setOutBufferSize(int bytes) {
    // QSerialPort has no transmit buffer of a chosen size: the driver's own buffer is fixed and
    // QSerialPort queues without limit in front of it (setReadBufferSize is the receive side).
    // The size is kept for the program to read back and has no effect on the line.
    if (bytes < 1)
        return fail(tr("The transmit buffer size %1 is not a positive number of bytes").arg(bytes));
    m_outBufferSize = bytes;
    return true;
}

bool QtSerialPort::Output(const QString& text) {
    if (!m_port.isOpen())
        return fail(tr("The port is not open"));
    m_port.clearError();
    const QByteArray bytes = latin1Bytes(text);
    if (m_port.write(bytes) != bytes.size())
        return fail(tr("Writing to the port failed: %1").arg(m_port.errorString()));
    return pushToDriver();
}

// Hands the queued bytes to the driver without waiting for them to leave the wire. When the
// driver's buffer is full (a slow line, or a handshake holding the line), wait for room rather
// than report a failure: the sender's pacing only means something once the bytes are with the
// driver. A line that takes nothing for a long time, or hangs up, is a failure.
bool QtSerialPort::pushToDriver() {
    constexpr int roomTimeoutMs = 5000;
    while (m_port.bytesToWrite() > 0) {
        pollfd p{static_cast<int>(m_port.handle()), POLLOUT, 0};
        const int ready = ::poll(&p, 1, roomTimeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            return dropUnsent(tr("the line took nothing for %1 s").arg(roomTimeoutMs / 1000));
        if (ready < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return dropUnsent(tr("the line is gone"));
        const qint64 before = m_port.bytesToWrite();
        m_port.clearError();
        m_port.flush();
        if (m_port.error() != QSerialPort::NoError && m_port.bytesToWrite() == before)
            return dropUnsent(m_port.errorString()); // writable, yet nothing went: a real fault
    }
    return true;
}

bool QtSerialPort::dropUnsent(const QString& description) {
    m_port.clear(QSerialPort::Output); // what the far end will never take must not pile up
    m_port.clearError();
    return fail(tr("Writing to the port failed: %1").arg(description));
}

QString QtSerialPort::Input() {
    if (!m_port.isOpen())
        return QString();
    // Takes in whatever the driver holds without running the event loop: the send loop and the
    // timer poll both call this from inside a handler.
    m_inputFailed = false;
    if (!m_port.waitForReadyRead(0)) {
        // Nothing there is a time-out; a read error means the line itself is gone.
        const QSerialPort::SerialPortError error = m_port.error();
        if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError) {
            m_inputFailed = true;
            fail(tr("Reading from the port failed: the line is gone (unplugged, or the far end "
                    "hung up)"));
        }
    }
    m_port.clearError();
    return QString::fromLatin1(m_port.readAll());
}

#include "link/QtSerialPort.h"

#include <QSerialPortInfo>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <thread>

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
qint64 steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void sleepNs(qint64 ns) {
    std::this_thread::sleep_for(std::chrono::nanoseconds(ns));
}

// Waits of the driver's report are asked again this often when the wire time is not known.
constexpr qint64 driverPollNs = 1000000;

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

QtSerialPort::QtSerialPort(QObject* parent) : QtSerialPort(serialDriverKinds().first(), parent) {}

QtSerialPort::QtSerialPort(SerialDriver::Kind driver, QObject* parent)
    : SerialPort(parent), m_driver(makeSerialDriver(driver, m_port)) {
    if (!m_driver)
        m_driver = makePortableSerialDriver(m_port);
}

QtSerialPort::~QtSerialPort() = default;

SerialDriver::Kind QtSerialPort::driverKind() const {
    return m_driver->kind();
}

bool QtSerialPort::fail(const QString& description) {
    m_error = description;
    return false;
}

bool QtSerialPort::PortOpen() const {
    return m_port.isOpen() || m_gone;
}

bool QtSerialPort::setPortOpen(bool open) {
    if (!open) {
        if (m_port.isOpen() && !m_gone)
            m_driver->drain(m_stallTimeoutMs);
        m_port.close();
        m_gone = false;
        m_inputFailed = false;
        return true;
    }
    if (PortOpen())
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
    m_openBufferSize = m_outBufferSize;
    m_wire.reset();
    m_wire.setCharacterNs(characterWireNs(m_line));
    m_lastQueued = 0;
    m_progressAtNs = steadyNs();
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
    // Characters written from here on go at the new pace; those before keep the time they had.
    m_wire.setCharacterNs(characterWireNs(line));
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
    if (bytes < 1)
        return fail(tr("The transmit buffer size %1 is not a positive number of bytes").arg(bytes));
    m_outBufferSize = bytes;
    return true;
}

// The bytes the driver holds and has not sent; the wire clock covers what it cannot see.
qint64 QtSerialPort::driverQueued() {
    const qint64 queued = m_port.isOpen() ? m_driver->queued() : 0;
    const qint64 now = steadyNs();
    if (queued == 0 || queued < m_lastQueued)
        m_progressAtNs = now;
    m_lastQueued = queued;
    return queued;
}

bool QtSerialPort::stalled(qint64 nowNs) const {
    return nowNs - m_progressAtNs >= qint64(m_stallTimeoutMs) * 1000000;
}

bool QtSerialPort::stallFailure() {
    return fail(tr("Writing to the port failed: the line took nothing for %1 s")
                    .arg(QString::number(m_stallTimeoutMs / 1000.0)));
}

bool QtSerialPort::lineGone(const QString& description) {
    // Stop watching a handle that reports a hang-up for ever; Close and Open start afresh.
    m_gone = true;
    m_port.close();
    return fail(description);
}

// Waits until fewer than the transmit buffer's size of characters are on their way: in the
// driver's queue, or written so recently that they cannot have left the wire yet.
bool QtSerialPort::waitForRoom() {
    for (;;) {
        const qint64 queued = driverQueued();
        const qint64 now = steadyNs();
        if (std::max(queued, m_wire.inFlight(now)) < m_openBufferSize)
            return true;
        if (queued >= m_openBufferSize && stalled(now))
            return stallFailure();
        if (m_driver->hungUp())
            return lineGone(tr("Writing to the port failed: the line is gone"));
        const qint64 wait = queued >= m_openBufferSize
                                ? m_wire.characterNs().value_or(driverPollNs)
                                : m_wire.nsUntilFewerThan(m_openBufferSize, now);
        sleepNs(std::max<qint64>(wait, 1000));
    }
}

// The driver's own buffer is full (a pseudo-terminal nobody reads, or a line held back).
bool QtSerialPort::waitWritable() {
    for (;;) {
        const qint64 left = qint64(m_stallTimeoutMs) - (steadyNs() - m_progressAtNs) / 1000000;
        if (left <= 0)
            return stallFailure();
        switch (m_driver->waitWritable(static_cast<int>(left))) {
        case SerialDriver::Wait::Ready:
            return true;
        case SerialDriver::Wait::Gone:
            return lineGone(tr("Writing to the port failed: the line is gone"));
        case SerialDriver::Wait::TimedOut:
            break;
        }
    }
}

bool QtSerialPort::writeByte(char byte) {
    for (bool taken = false; !taken;) {
        switch (m_driver->write(byte)) {
        case SerialDriver::Write::Taken:
            taken = true;
            break;
        case SerialDriver::Write::Full:
            if (!waitWritable())
                return false;
            break;
        case SerialDriver::Write::Gone: {
            const QString reason =
                m_driver->reason().isEmpty() ? tr("the driver took nothing") : m_driver->reason();
            return lineGone(tr("Writing to the port failed: the line is gone (%1)").arg(reason));
        }
        }
    }
    const qint64 now = steadyNs();
    m_wire.written(now, 1);
    m_progressAtNs = now;
    m_lastQueued = 0; // the next look at the queue measures progress from here
    return true;
}

bool QtSerialPort::Output(const QString& text) {
    if (m_gone)
        return fail(tr("Writing to the port failed: the line is gone"));
    if (!m_port.isOpen())
        return fail(tr("The port is not open"));
    const QByteArray bytes = latin1Bytes(text);
    for (const char byte : bytes) {
        if (!waitForRoom() || !writeByte(byte))
            return false;
    }
    return true;
}

std::optional<qint64> QtSerialPort::nsUntilSent() {
    if (m_gone) {
        fail(tr("Writing to the port failed: the line is gone"));
        return std::nullopt;
    }
    if (!m_port.isOpen()) {
        fail(tr("The port is not open"));
        return std::nullopt;
    }
    const qint64 queued = driverQueued();
    const qint64 now = steadyNs();
    if (queued > 0 && stalled(now)) {
        stallFailure();
        return std::nullopt;
    }
    const qint64 driver = queued > 0 ? queued * m_wire.characterNs().value_or(0) : 0;
    const qint64 left = std::max(m_wire.nsUntilIdle(now), driver);
    // The driver's count without a known pace: ask again shortly.
    return queued > 0 ? std::max(left, driverPollNs) : left;
}

QString QtSerialPort::Input() {
    if (m_gone) {
        m_inputFailed = true;
        fail(tr("Reading from the port failed: the line is gone (unplugged, or the far end "
                "hung up)"));
        return QString();
    }
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
            const QString received = QString::fromLatin1(m_port.readAll());
            lineGone(tr("Reading from the port failed: the line is gone (unplugged, or the far "
                        "end hung up)"));
            return received;
        }
    }
    m_port.clearError();
    return QString::fromLatin1(m_port.readAll());
}

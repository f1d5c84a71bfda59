#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// The PIC's end of the serial line: a pseudo-terminal in raw mode. The host program opens the
// slave device as its serial port; we read and write the master side.
class SerialPty : public QObject {
    Q_OBJECT
public:
    explicit SerialPty(QObject* parent = nullptr);
    ~SerialPty() override;

    bool open(QString* error);
    QString devicePath() const { return devicePath_; }
    // A symlink at path pointing at the device; replaces an older symlink, never a file.
    bool createLink(const QString& path, QString* error);
    void removeLink();

    // Never blocks: with nobody reading the slave, what does not fit is dropped.
    void write(const QByteArray& data);
    // Reads whatever is waiting right now (also emitted through received()).
    QByteArray readPending();

signals:
    void received(const QByteArray& data);

private:
    int master_ = -1;
    // Held open so the master never sees a hang-up while the host program has the port closed.
    int slave_ = -1;
    QString devicePath_;
    QString linkPath_;
    QSocketNotifier* notifier_ = nullptr;
};

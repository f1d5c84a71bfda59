#pragma once

#include "wire_format.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

class QSocketNotifier;

// The PIC's end of the serial line: a pseudo-terminal in raw mode. The host program opens the
// slave device as its serial port; we read and write the master side.
//
// A thread of its own reads the line and notes when each piece arrived, so that the times do
// not depend on how busy the window is; the pieces are handed over in the owner's thread.
class SerialPty : public QObject {
    Q_OBJECT
public:
    struct Piece {
        QByteArray data;
        qint64 arrivedNs; // steadyNs() when the read returned
    };

    explicit SerialPty(QObject* parent = nullptr);
    ~SerialPty() override;

    bool open(QString* error);
    QString devicePath() const { return devicePath_; }
    // A symlink at path pointing at the device; replaces an older symlink, never a file.
    bool createLink(const QString& path, QString* error);
    void removeLink();

    // Never blocks and never drops: what the host is not reading yet waits in a queue and goes
    // out as the line takes it.
    void write(const QByteArray& data);
    qsizetype queuedForHost() const { return outgoing_.size(); }
    // Everything read and not yet handed over, oldest first.
    std::vector<Piece> takePieces();
    // The speed and format the host set on the line, read now.
    WireFormat lineFormat() const;

    static qint64 steadyNs();

signals:
    // Pieces are waiting in takePieces().
    void received();

private:
    void readLoop();
    void flushOutgoing();

    int master_ = -1;
    // Held open so the master never sees a hang-up while the host program has the port closed.
    int slave_ = -1;
    QString devicePath_;
    QString linkPath_;
    QByteArray outgoing_;
    QSocketNotifier* writable_ = nullptr;

    std::thread reader_;
    std::atomic<bool> stopping_{false};
    std::mutex piecesMutex_;
    std::vector<Piece> pieces_;
    bool signalled_ = false; // a received() is on its way; guarded by piecesMutex_
};

#pragma once

#include "wire_format.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class QSocketNotifier;

// The PIC's end of the serial line: a pseudo-terminal in raw mode. The host program opens the
// slave device as its serial port; we read and write the master side.
//
// A thread of its own reads the line and notes when each piece arrived, so that the times do
// not depend on how busy the window is; the pieces are handed over in the owner's thread. That
// thread does nothing else, and it says how far it can vouch for a time: woken by data, it may
// still have waited for a CPU (the scheduler counts that wait, and the piece's earliest time
// allows for it), and data that had been waiting before it read (a full read buffer, or a full
// queue it had to wait on) may be older still.
class SerialPty : public QObject {
    Q_OBJECT
public:
    struct Piece {
        QByteArray data;
        qint64 arrivedNs;  // steadyNs() when the read returned
        qint64 earliestNs; // the soonest the data can have come
    };

    // Read but not yet taken: beyond this the reader stops reading until the owner catches up,
    // and the host's writes wait in the pseudo-terminal (as a real UART would hold the line).
    static constexpr qsizetype kMaxQueuedBytes = 64 * 1024;

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
    qsizetype queuedForHost() const { return outgoing_.size() - outgoingSent_; }
    // Takes the oldest piece read and not yet handed over; false when none is waiting. After a
    // false, the next piece read signals received() again.
    bool takePiece(Piece* piece);
    // The speed and format the host set on the line, read now.
    WireFormat lineFormat() const;

    static qint64 steadyNs();

signals:
    // Pieces are waiting in takePiece().
    void received();
    // The host read some of what was queued for it.
    void hostRead();

private:
    void readLoop();
    // Writes what the host has room for; true when anything went.
    bool flushOutgoing();

    int master_ = -1;
    // Held open so the master never sees a hang-up while the host program has the port closed.
    int slave_ = -1;
    QString devicePath_;
    QString linkPath_;
    QByteArray outgoing_;
    qsizetype outgoingSent_ = 0; // the front of outgoing_ that has gone out
    QSocketNotifier* writable_ = nullptr;

    std::thread reader_;
    int wakeReader_ = -1; // an eventfd that ends the reader's wait when it is to stop
    std::atomic<bool> stopping_{false};
    std::mutex piecesMutex_;
    std::condition_variable roomForPieces_;
    std::deque<Piece> pieces_;  // guarded by piecesMutex_
    qsizetype queuedBytes_ = 0; // guarded by piecesMutex_
    bool signalled_ = false;    // a received() is on its way; guarded by piecesMutex_
};

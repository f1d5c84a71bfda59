#include "sim_session.h"

#include "serial_pty.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <unistd.h>

SimSession::SimSession(const SimOptions& options, SerialPty* pty, QObject* parent)
    : QObject(parent), options_(options), pty_(pty), simulator_(options.config),
      startNs_(SerialPty::steadyNs()) {
    quietTimer_.setSingleShot(true);
    quietTimer_.setTimerType(Qt::PreciseTimer);
    connect(&quietTimer_, &QTimer::timeout, this, &SimSession::onQuiet);
    connect(pty_, &SerialPty::received, this, &SimSession::onReceived);
    connect(pty_, &SerialPty::hostRead, this,
            [this] { send(backlog_.release(pty_->queuedForHost())); });
}

void SimSession::start() {
    deliver();
}

qint64 SimSession::nowNs() const {
    return SerialPty::steadyNs() - startNs_;
}

void SimSession::onReceived() {
    if (!feedArrived())
        QMetaObject::invokeMethod(this, &SimSession::onReceived, Qt::QueuedConnection);
}

bool SimSession::feedArrived() {
    QElapsedTimer slice;
    slice.start();
    SerialPty::Piece piece;
    while (pty_->takePiece(&piece)) {
        // The format is read at every piece: the host may change the speed between transfers,
        // and a transfer keeps the one in force at its start.
        simulator_.setLine(pty_->lineFormat());
        simulator_.feed(piece.data, piece.arrivedNs - startNs_, piece.earliestNs - startNs_);
        deliver();
        if (slice.elapsed() >= kSliceMs)
            return false;
    }
    deliver();
    return true;
}

void SimSession::onQuiet() {
    // Characters may have arrived while we were busy elsewhere; they count as not quiet. Until
    // they are all in, the line is not quiet either.
    if (!feedArrived()) {
        QMetaObject::invokeMethod(this, &SimSession::onReceived, Qt::QueuedConnection);
        return;
    }
    simulator_.tick(nowNs());
    deliver();
}

void SimSession::deliver() {
    // The picture is on disk before its status line goes out: a test that waits for the line
    // may read the PNG straight away.
    if (simulator_.imageCount() != shownImages_) {
        shownImages_ = simulator_.imageCount();
        savePng();
        emit lcdChanged(simulator_.lcd());
        emit layoutHint(simulator_.layoutHint());
    }
    send(backlog_.pass(simulator_.takeAnswers(), pty_->queuedForHost()));
    if (simulator_.waitingForQuiet()) {
        const qint64 leftMs = (simulator_.quietDeadline() - nowNs()) / 1000000 + 1;
        quietTimer_.start(static_cast<int>(qBound(qint64(1), leftMs, qint64(600000))));
    } else {
        quietTimer_.stop();
    }
}

void SimSession::send(const QStringList& lines) {
    for (const QString& line : lines) {
        pty_->write(line.toLatin1() + "\r\n");
        logLine(line);
        emit statusLine(line);
    }
}

namespace {
// A caller that pipes stderr and never reads it must not stop the PIC: a line that would block
// is left out.
void toStderr(const QString& line) {
    const QByteArray text = "picsim: " + QFile::encodeName(line).left(512) + "\n";
    pollfd ready{STDERR_FILENO, POLLOUT, 0};
    if (::poll(&ready, 1, 0) == 1 && (ready.revents & POLLOUT)) {
        // A pipe with room for one more buffer takes a line this short whole.
        [[maybe_unused]] const ssize_t written =
            ::write(STDERR_FILENO, text.constData(), static_cast<size_t>(text.size()));
    }
}
} // namespace

// A copy of the status line for whoever started us, unless asked to be quiet.
void SimSession::logLine(const QString& line) {
    if (!options_.quiet)
        toStderr(line);
}

void SimSession::savePng() {
    if (options_.pngPath.isEmpty())
        return;
    // Written aside and renamed, so that a reader polling for the file never sees half of it.
    const QString partial = options_.pngPath + QStringLiteral(".part");
    if (!simulator_.lcd().save(partial, "PNG")) {
        toStderr(QStringLiteral("cannot write %1").arg(partial));
        return;
    }
    if (std::rename(QFile::encodeName(partial).constData(),
                    QFile::encodeName(options_.pngPath).constData()) != 0) {
        toStderr(QStringLiteral("cannot replace %1: %2")
                     .arg(options_.pngPath, QString::fromLocal8Bit(std::strerror(errno))));
        std::remove(QFile::encodeName(partial).constData());
    }
}

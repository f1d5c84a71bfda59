#include "sim_session.h"

#include "serial_pty.h"

#include <QFile>

#include <cstdio>

SimSession::SimSession(const SimOptions& options, SerialPty* pty, QObject* parent)
    : QObject(parent), options_(options), pty_(pty), simulator_(options.config) {
    clock_.start();
    quietTimer_.setSingleShot(true);
    quietTimer_.setTimerType(Qt::PreciseTimer);
    connect(&quietTimer_, &QTimer::timeout, this, &SimSession::onQuiet);
    connect(pty_, &SerialPty::received, this, &SimSession::onReceived);
}

void SimSession::start() {
    deliver();
}

void SimSession::onReceived(const QByteArray& data) {
    simulator_.feed(data, clock_.elapsed());
    deliver();
}

void SimSession::onQuiet() {
    // Characters may have arrived while we were busy elsewhere; they count as not quiet.
    const QByteArray late = pty_->readPending();
    if (!late.isEmpty())
        simulator_.feed(late, clock_.elapsed());
    else
        simulator_.tick(clock_.elapsed());
    deliver();
}

void SimSession::deliver() {
    // The picture is on disk before its status line goes out: a test that waits for the line
    // may read the PNG straight away.
    if (simulator_.imageCount() != shownImages_) {
        shownImages_ = simulator_.imageCount();
        savePng();
        emit lcdChanged(simulator_.lcd());
    }
    const QStringList lines = simulator_.takeAnswers();
    for (const QString& line : lines) {
        pty_->write(line.toLatin1() + "\r\n");
        std::fprintf(stderr, "picsim: %s\n", qPrintable(line));
        emit statusLine(line);
    }
    if (simulator_.waitingForQuiet()) {
        const qint64 left = simulator_.quietDeadline() - clock_.elapsed();
        quietTimer_.start(static_cast<int>(qMax<qint64>(left, 1)));
    } else {
        quietTimer_.stop();
    }
}

void SimSession::savePng() {
    if (options_.pngPath.isEmpty())
        return;
    // Written aside and renamed, so that a reader polling for the file never sees half of it.
    const QString partial = options_.pngPath + QStringLiteral(".part");
    if (!simulator_.lcd().save(partial, "PNG")) {
        std::fprintf(stderr, "picsim: cannot write %s\n", qPrintable(partial));
        return;
    }
    std::rename(QFile::encodeName(partial).constData(),
                QFile::encodeName(options_.pngPath).constData());
}

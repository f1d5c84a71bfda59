#pragma once

#include <QObject>

#include <initializer_list>

class QSocketNotifier;

// Turns Unix signals into a Qt signal through a self-pipe, so that SIGTERM can end the event
// loop normally and the destructors (pty, symlink) still run.
class UnixSignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit UnixSignalWatcher(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
    ~UnixSignalWatcher() override;

signals:
    void caught(int signalNumber);

private:
    QSocketNotifier* notifier_ = nullptr;
};

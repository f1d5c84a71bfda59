#pragma once

#include "answer_backlog.h"
#include "pic_simulator.h"
#include "sim_options.h"

#include <QImage>
#include <QObject>
#include <QTimer>

class SerialPty;

// Runs the simulated PIC on the pty: feeds it what arrives with its arrival time and the line
// format the host has set, ends transfers when the line goes quiet, sends the status lines back
// (CR LF each), copies them to stderr unless quiet, and saves the LCD picture.
//
// A flood is worked through a slice at a time, with the event loop running in between, so that
// answers keep going out and a signal to stop is seen within a slice.
class SimSession : public QObject {
    Q_OBJECT
public:
    SimSession(const SimOptions& options, SerialPty* pty, QObject* parent = nullptr);

    // Sends the greeting; call once the pty is open.
    void start();
    const QImage& lcd() const { return simulator_.lcd(); }
    // Writes the current picture to the --png file, if one was given.
    void savePng();

signals:
    void lcdChanged(const QImage& image);
    void statusLine(const QString& line);
    // After every picture: what it needs to be shown right, empty when it was.
    void layoutHint(const QString& hint);

private:
    // How long one slice of work may hold the event loop up.
    static constexpr int kSliceMs = 20;

    void onReceived();
    // Feeds what has arrived, for one slice at most; false when pieces are left for later.
    bool feedArrived();
    void onQuiet();
    void deliver();
    void send(const QStringList& lines);
    qint64 nowNs() const;
    void logLine(const QString& line);

    SimOptions options_;
    SerialPty* pty_;
    PicSimulator simulator_;
    qint64 startNs_ = 0;
    QTimer quietTimer_;
    AnswerBacklog backlog_;
    int shownImages_ = 0;
};

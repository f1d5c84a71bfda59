#pragma once

#include "pic_simulator.h"
#include "sim_options.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QTimer>

class SerialPty;

// Runs the simulated PIC on the pty: timestamps what arrives, ends transfers when the line goes
// quiet, sends the status lines back (CR LF each) and saves the LCD picture.
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

private:
    void onReceived(const QByteArray& data);
    void onQuiet();
    void deliver();

    SimOptions options_;
    SerialPty* pty_;
    PicSimulator simulator_;
    QElapsedTimer clock_;
    QTimer quietTimer_;
    int shownImages_ = 0;
};

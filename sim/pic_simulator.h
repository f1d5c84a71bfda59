#pragma once

#include "panel_geometry.h"
#include "transfer_reader.h"
#include "virtual_eeprom.h"
#include "wire_format.h"

#include <QImage>
#include <QStringList>

#include <memory>
#include <optional>

struct SimConfig {
    QByteArray wait = "]";
    int busyMs = 0;
    int idleMs = 400; // well above the host's longest pause (about 100 ms in EEPROM mode)
    bool horizontalOneIsDark = true;
    // The panel's chip; nullopt takes it from the panel's width (controllerForWidth).
    std::optional<Controller> controller;
    // Panel that "show the EEPROM" decodes; nullopt guesses it from the last EEPROM load's size.
    std::optional<PanelGeometry> eepromPanel = PanelGeometry{128, 64, ByteLayout::Vertical};
};

// The PIC firmware without its serial port: characters go in with the time they arrived,
// status lines and LCD pictures come out. Time (nanoseconds on any steady clock) is passed in
// so that tests can replay pauses.
//
// Given the line's format, what arrives is replayed on a virtual wire, as the PIC's UART would
// receive it: a character takes its bit time and cannot begin before the one before it has
// ended. A pseudo-terminal hands over everything at once, so only this shows whether the host
// left the PIC any time before a wait character.
//
// The LCD shows a stream the way its controller lays bytes out: a KS0108 as vertical pages, a
// T6963C as horizontal rows. A stream in the other layout is shown scrambled, as on the bench,
// and answered with an ERROR layout line that names the layout to send.
class PicSimulator {
public:
    // How long a pseudo-terminal may sit on data before the reader can see it, unseen by the
    // reader (its hand-over waits for a CPU like any thread): a couple of scheduler ticks.
    static constexpr qint64 kHandOverLagNs = 10000000;

    explicit PicSimulator(SimConfig config = {});
    ~PicSimulator();

    // The line's format from here on; a transfer keeps the one in force at its '*'. Without one
    // the characters take no wire time and no LINE line is answered.
    void setLine(const WireFormat& format) { line_ = format; }

    // data was read at nowNs and came at earliestNs at the soonest (the reader may have been
    // late); the silences before wait texts are judged within those bounds.
    void feed(const QByteArray& data, qint64 nowNs, qint64 earliestNs);
    // Read the moment it came.
    void feed(const QByteArray& data, qint64 nowNs) { feed(data, nowNs, nowNs); }
    // Ends the transfer once the line has been quiet for idleMs; call it from a timer.
    void tick(qint64 nowNs);
    // Ends the current transfer (or batch of stray characters) now.
    void endTransfer();

    // True while characters wait for the line to go quiet.
    bool waitingForQuiet() const;
    // When tick() will end the current transfer.
    qint64 quietDeadline() const { return lastEndNs_ + qint64(config_.idleMs) * 1000000; }

    // Status lines due, oldest first, without line ends; the first is "READY".
    QStringList takeAnswers();

    const QImage& lcd() const { return lcd_; }
    // Counts the pictures shown, so callers can tell when to repaint or save.
    int imageCount() const { return imageCount_; }
    // What the last picture needs to be shown right ("this 128x64 KS0108 takes Vertical KS0108
    // bytes"); empty when it came in the panel's own layout.
    const QString& layoutHint() const { return layoutHint_; }
    const VirtualEeprom& eeprom() const { return eeprom_; }

private:
    void reportStrayChars();
    void reportLine(const TransferReader& reader);
    void finishTransfer(const TransferReader& reader);
    void showStream(const CommandHeader& header, const QByteArray& bytes);
    void storeInEeprom(const CommandHeader& header, const QByteArray& bytes);
    void showEeprom(const CommandHeader& header, bool dataFollowed);
    void show(const QImage& image);

    SimConfig config_;
    QStringList answers_;
    std::unique_ptr<TransferReader> reader_;
    qint64 strayChars_ = 0;
    qint64 lastEndNs_ = 0;         // end of the last character on the wire
    qint64 lastEarliestEndNs_ = 0; // the soonest it can have ended
    qint64 previousReadNs_ = 0;    // when the piece before the current one came
    std::optional<WireFormat> line_;
    std::optional<WireFormat> transferLine_;
    VirtualEeprom eeprom_;
    int lastEepromLoadBytes_ = 0;
    QImage lcd_;
    int imageCount_ = 0;
    QString layoutHint_;
};

#pragma once

#include "command_header.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

// One transfer, from its '*' until the line goes quiet. Reads the header, splits the data into
// chunks at the wait text, checks every chunk against the PIC's receive buffer and busy time as
// it goes, and turns the hex text into bytes. Status lines go to the caller's list as they fall
// due, so overruns show on the line while the transfer is still running.
//
// Every character comes with the time its first bit began on the wire and the time its last bit
// ended (nanoseconds); the silence before a wait text is from the end of the character before it
// to the start of the wait text. Counts are 64-bit: a line can carry more than 2^31 characters.
class TransferReader {
public:
    struct Settings {
        QByteArray wait = "]"; // never empty, never a hex digit or '*'
        int busyMs = 0;        // 0: the PIC takes a chunk in no time
    };

    // Enough for a full EEPROM load; the biggest LCD stream (320x200 horizontal) is 8001 bytes.
    static constexpr int kMaxBytes = 0x10000;
    // Only the first few overruns/busy chunks get a line each; the rest a count at the end.
    static constexpr int kLinesPerProblem = 3;

    // Called with the '*' that opens the transfer already read.
    TransferReader(const Settings& settings, QStringList* answers, qint64 startNs, qint64 endNs);

    // Returns false for a '*' after the header: it opens the next transfer, so the caller ends
    // this one and starts another. Any other character is taken.
    bool take(char c, qint64 startNs, qint64 endNs);
    // The line went quiet: closes the header or the last chunk and reports what is left.
    void finish();

    const std::optional<CommandHeader>& header() const { return header_; }
    const QByteArray& bytes() const { return bytes_; }
    qint64 chunkCount() const { return chunkNumber_; }
    qint64 overrunCount() const { return overrunCount_; }
    qint64 busyCount() const { return busyCount_; }
    // Characters of the transfer, its '*' included, and the wire time from its first bit to the
    // end of its last character.
    qint64 characterCount() const { return characters_; }
    qint64 wireNs() const { return lastEndNs_ - firstStartNs_; }
    // The shortest silence before a wait text; -1 when none came.
    qint64 smallestGapNs() const { return smallestGapNs_; }

private:
    enum class State { Header, Data, Skip };

    bool takeInState(char c, qint64 startNs, qint64 endNs);
    void endHeader();
    bool takeData(char c, qint64 startNs, qint64 endNs);
    void takeHexDigit(int value);
    void openChunk();
    void closeChunk();

    Settings settings_;
    QStringList* answers_;
    State state_ = State::Header;
    QByteArray headerText_ = "*";
    std::optional<CommandHeader> header_;

    int waitMatched_ = 0;      // characters of a multi-character wait text seen so far
    qint64 waitStartNs_ = 0;   // first bit of the current wait text
    qint64 lastDataEndNs_ = 0; // end of the last character the PIC had to take in
    qint64 chunkNumber_ = 0;   // chunk k follows the k-th wait text
    qint64 chunkLength_ = 0;
    qint64 characters_ = 1; // the '*'
    qint64 firstStartNs_ = 0;
    qint64 lastEndNs_ = 0;
    qint64 smallestGapNs_ = -1;

    QByteArray bytes_;
    int pendingNibble_ = -1;
    bool tooLong_ = false;
    qint64 badChars_ = 0;
    qint64 overrunCount_ = 0;
    qint64 busyCount_ = 0;
    bool finished_ = false;
};

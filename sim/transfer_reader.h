#pragma once

#include "command_header.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

// One transfer, from its '*' until the line goes quiet. Reads the header, splits the data into
// chunks at the wait text, checks every chunk against the PIC's receive buffer and busy time as
// it goes, and turns the hex text into bytes. Status lines go to the caller's list as they fall
// due, so overruns show on the line while the transfer is still running.
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
    TransferReader(const Settings& settings, QStringList* answers, qint64 startMs);

    // Returns false for a '*' after the header: it opens the next transfer, so the caller ends
    // this one and starts another. Any other character is taken.
    bool take(char c, qint64 nowMs);
    // The line went quiet: closes the header or the last chunk and reports what is left.
    void finish();

    const std::optional<CommandHeader>& header() const { return header_; }
    const QByteArray& bytes() const { return bytes_; }
    int chunkCount() const { return chunkNumber_; }
    int overrunCount() const { return overrunCount_; }
    int busyCount() const { return busyCount_; }

private:
    enum class State { Header, Data, Skip };

    void endHeader();
    bool takeData(char c, qint64 nowMs);
    void takeHexDigit(int value);
    void openChunk();
    void closeChunk();

    Settings settings_;
    QStringList* answers_;
    State state_ = State::Header;
    QByteArray headerText_ = "*";
    std::optional<CommandHeader> header_;

    int waitMatched_ = 0;    // characters of a multi-character wait text seen so far
    qint64 waitStartMs_ = 0; // arrival of the first character of the current wait text
    qint64 lastDataMs_ = 0;  // last character the PIC had to take in (header or chunk)
    int chunkNumber_ = 0;    // chunk k follows the k-th wait text
    int chunkLength_ = 0;

    QByteArray bytes_;
    int pendingNibble_ = -1;
    bool tooLong_ = false;
    int badChars_ = 0;
    int overrunCount_ = 0;
    int busyCount_ = 0;
    bool finished_ = false;
};

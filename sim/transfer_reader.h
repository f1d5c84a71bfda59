#pragma once

#include "command_header.h"

#include <QByteArray>
#include <QStringList>

#include <array>
#include <limits>
#include <optional>

// A character on the virtual wire. It is placed from startNs to endNs, from the time it was
// read; but the reader may have read it late, so it can only be said to have come between
// earliestArrivalNs and arrivedNs, and to have ended no earlier than earliestEndNs.
struct WireCharacter {
    qint64 startNs = 0;
    qint64 endNs = 0;
    qint64 arrivedNs = 0;
    qint64 earliestArrivalNs = 0;
    qint64 earliestEndNs = 0;
    // It came in one read with characters before it, long enough after the read before that
    // the host may have paused between them without the PIC seeing it.
    bool pauseMayBeHidden = false;

    // Read the moment it came, and placed from then on.
    static WireCharacter exact(qint64 startNs, qint64 endNs) {
        return {startNs, endNs, startNs, startNs, endNs, false};
    }
};

// One transfer, from its '*' until the line goes quiet. Reads the header, splits the data into
// chunks at the wait text, checks every chunk against the PIC's receive buffer and busy time as
// it goes, and turns the hex text into bytes. Status lines go to the caller's list as they fall
// due, so overruns show on the line while the transfer is still running.
//
// Every character comes with the time its first bit began on the wire and the time its last bit
// ended (nanoseconds); the silence before a wait text is from the end of the character before it
// to the start of the wait text. Where the reader read late, a silence is only known to lie
// between two bounds; the one reported is the longest it can have been, so that it never claims
// less silence than the wire had. A silence whose bounds are further apart than kGapToleranceNs,
// or one too short for the PIC that a chunk coming late would explain (see openChunk), is
// counted as not measured instead of guessed: it shows neither as BUSY nor as the smallest gap.
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
    // How far apart the bounds of a silence may be for it to count as measured.
    static constexpr qint64 kGapToleranceNs = 1000000;
    static constexpr qint64 kUnknownGapNs = std::numeric_limits<qint64>::max() / 16;
    // Silences judged together when one is too short (see openChunk).
    static constexpr int kBusyWindow = 4;

    // Called with the '*' that opens the transfer already read.
    // silenceBeforeNs: the longest the line can have been quiet before the '*'.
    TransferReader(const Settings& settings, QStringList* answers, const WireCharacter& star,
                   qint64 silenceBeforeNs);

    // Returns false for a '*' after the header: it opens the next transfer, so the caller ends
    // this one and starts another. Any other character is taken.
    bool take(char c, const WireCharacter& at);
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
    // The shortest measured silence before a wait text (the longest it can have been); -1 when
    // none was measured.
    qint64 smallestGapNs() const { return smallestGapNs_; }
    // Wait texts whose silence before them could not be measured.
    qint64 unmeasuredGapCount() const { return unmeasuredGaps_; }

private:
    enum class State { Header, Data, Skip };

    bool takeInState(char c, const WireCharacter& at);
    void endHeader();
    bool takeData(char c, const WireCharacter& at);
    void takeHexDigit(int value);
    void openChunk();
    void closeChunk();

    Settings settings_;
    QStringList* answers_;
    State state_ = State::Header;
    QByteArray headerText_ = "*";
    std::optional<CommandHeader> header_;

    int waitMatched_ = 0;     // characters of a multi-character wait text seen so far
    WireCharacter waitStart_; // first character of the current wait text
    WireCharacter lastData_;  // the last character the PIC had to take in
    qint64 chunkNumber_ = 0;  // chunk k follows the k-th wait text
    qint64 chunkLength_ = 0;
    qint64 characters_ = 1; // the '*'
    qint64 firstStartNs_ = 0;
    qint64 lastEndNs_ = 0;
    // The longest the silences before the last wait texts can have been, oldest first; before
    // the first wait text, the silence before the '*'; -1 before that.
    std::array<qint64, kBusyWindow> recentGapsNs_;
    qint64 smallestGapNs_ = -1;
    qint64 unmeasuredGaps_ = 0;

    QByteArray bytes_;
    int pendingNibble_ = -1;
    bool tooLong_ = false;
    qint64 badChars_ = 0;
    qint64 overrunCount_ = 0;
    qint64 busyCount_ = 0;
    bool finished_ = false;
};

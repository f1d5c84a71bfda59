#include "transfer_reader.h"

#include <algorithm>

TransferReader::TransferReader(const Settings& settings, QStringList* answers,
                               const WireCharacter& star, qint64 silenceBeforeNs)
    : settings_(settings), answers_(answers), lastData_(star), firstStartNs_(star.startNs),
      lastEndNs_(star.endNs) {
    recentGapsNs_.fill(-1);
    recentGapsNs_.back() = silenceBeforeNs;
}

bool TransferReader::take(char c, const WireCharacter& at) {
    if (!takeInState(c, at))
        return false; // the next transfer's '*', not counted here
    ++characters_;
    lastEndNs_ = at.endNs;
    return true;
}

bool TransferReader::takeInState(char c, const WireCharacter& at) {
    switch (state_) {
    case State::Header:
        if (hexDigitValue(c) >= 0) {
            headerText_.append(c);
            lastData_ = at;
            if (headerText_.size() > kMaxHeaderLength)
                endHeader(); // cannot be a header any more; fails and skips the rest
            return true;
        }
        endHeader(); // the first wait character (or junk) ends the header
        return takeInState(c, at);
    case State::Data:
        return takeData(c, at);
    case State::Skip:
        return c != '*';
    }
    return true;
}

void TransferReader::endHeader() {
    const HeaderParse parsed = parseCommandHeader(headerText_);
    header_ = parsed.header;
    if (header_) {
        state_ = State::Data;
        return;
    }
    state_ = State::Skip;
    // Show what arrived so that a header of the wrong shape is easy to tell from line noise.
    if (parsed.error == QLatin1String("ERROR header"))
        answers_->append(parsed.error + QLatin1Char(' ') + headerText_.left(kMaxHeaderLength));
    else
        answers_->append(parsed.error);
}

bool TransferReader::takeData(char c, const WireCharacter& at) {
    if (c == '*')
        return false;
    const QByteArray& wait = settings_.wait;
    if (c == wait.at(waitMatched_)) {
        if (waitMatched_ == 0)
            waitStart_ = at;
        if (++waitMatched_ == wait.size()) {
            waitMatched_ = 0;
            openChunk();
        }
        return true;
    }
    if (waitMatched_ > 0) {
        badChars_ += waitMatched_; // a wait text cut short
        waitMatched_ = 0;
        return takeData(c, at);
    }
    const int digit = hexDigitValue(c);
    if (digit < 0) {
        ++badChars_;
        return true;
    }
    ++chunkLength_;
    lastData_ = at;
    takeHexDigit(digit);
    return true;
}

void TransferReader::takeHexDigit(int value) {
    if (pendingNibble_ < 0) {
        pendingNibble_ = value;
        return;
    }
    const char byte = static_cast<char>(pendingNibble_ * 16 + value);
    pendingNibble_ = -1;
    if (bytes_.size() < kMaxBytes)
        bytes_.append(byte);
    else
        tooLong_ = true;
}

void TransferReader::openChunk() {
    closeChunk();
    ++chunkNumber_;
    // The host waits before each wait character so that the PIC can take in what came before
    // it; a PIC still busy with that would miss this chunk's start. The silence is the wait
    // text's arrival less the end of the character before it, where the wire was not still
    // busy: at most from the latest arrival to the earliest end, at least from the earliest
    // arrival to the latest end.
    const qint64 longest = std::max<qint64>(0, waitStart_.arrivedNs - lastData_.earliestEndNs);
    const qint64 shortest = std::max<qint64>(0, waitStart_.earliestArrivalNs - lastData_.endNs);
    // A pause that may have come unseen inside one read leaves no bound at all.
    const qint64 gap = waitStart_.pauseMayBeHidden ? kUnknownGapNs : longest;
    std::rotate(recentGapsNs_.begin(), recentGapsNs_.begin() + 1, recentGapsNs_.end());
    recentGapsNs_.back() = gap;
    if (waitStart_.pauseMayBeHidden) {
        ++unmeasuredGaps_;
        return;
    }
    // A chunk handed over late (the pseudo-terminal's own hand-over can lag, unseen, by a
    // scheduler tick or two) moves silence from before it to after it: a short silence after
    // longer ones is what that looks like. Only when this silence and those just before it are
    // short on average as well did the host not wait.
    const qint64 needNs = qint64(settings_.busyMs) * 1000000;
    bool busy = longest < needNs;
    qint64 sum = 0;
    for (int back = 0; busy && back < kBusyWindow; ++back) {
        const qint64 earlier = recentGapsNs_[size_t(kBusyWindow - 1 - back)];
        if (earlier < 0)
            break; // nothing came before the transfer's '*'
        sum += earlier;
        busy = sum < (back + 1) * needNs;
    }
    if (!busy && (longest < needNs || longest - shortest > kGapToleranceNs)) {
        ++unmeasuredGaps_;
        return;
    }
    if (smallestGapNs_ < 0 || longest < smallestGapNs_)
        smallestGapNs_ = longest;
    if (busy && ++busyCount_ <= kLinesPerProblem)
        answers_->append(QStringLiteral("BUSY chunk %1: %2 ms before the wait character, "
                                        "the PIC needs %3 ms")
                             .arg(chunkNumber_)
                             .arg(longest / 1e6, 0, 'f', 1)
                             .arg(settings_.busyMs));
}

void TransferReader::closeChunk() {
    if (chunkNumber_ > 0 && chunkLength_ > header_->bufferSize) {
        if (++overrunCount_ <= kLinesPerProblem)
            answers_->append(QStringLiteral("OVERRUN chunk %1: %2 > %3")
                                 .arg(chunkNumber_)
                                 .arg(chunkLength_)
                                 .arg(header_->bufferSize));
    }
    chunkLength_ = 0;
}

void TransferReader::finish() {
    if (finished_)
        return;
    finished_ = true;
    if (state_ == State::Header)
        endHeader();
    if (state_ != State::Data)
        return;
    badChars_ += waitMatched_;
    closeChunk();
    if (overrunCount_ > kLinesPerProblem)
        answers_->append(QStringLiteral("OVERRUN %1 chunks").arg(overrunCount_));
    if (busyCount_ > kLinesPerProblem)
        answers_->append(QStringLiteral("BUSY %1 chunks").arg(busyCount_));
    if (pendingNibble_ >= 0)
        answers_->append(QStringLiteral("ERROR odd hex count"));
    if (badChars_ > 0)
        answers_->append(
            QStringLiteral("ERROR %1 bad char%2").arg(badChars_).arg(badChars_ == 1 ? "" : "s"));
    if (tooLong_)
        answers_->append(QStringLiteral("ERROR too long"));
}

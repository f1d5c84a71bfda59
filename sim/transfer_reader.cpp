#include "transfer_reader.h"

#include <algorithm>

TransferReader::TransferReader(const Settings& settings, QStringList* answers, qint64 startNs,
                               qint64 endNs)
    : settings_(settings), answers_(answers), lastDataEndNs_(endNs), firstStartNs_(startNs),
      lastEndNs_(endNs) {}

bool TransferReader::take(char c, qint64 startNs, qint64 endNs) {
    if (!takeInState(c, startNs, endNs))
        return false; // the next transfer's '*', not counted here
    ++characters_;
    lastEndNs_ = endNs;
    return true;
}

bool TransferReader::takeInState(char c, qint64 startNs, qint64 endNs) {
    switch (state_) {
    case State::Header:
        if (hexDigitValue(c) >= 0) {
            headerText_.append(c);
            lastDataEndNs_ = endNs;
            if (headerText_.size() > kMaxHeaderLength)
                endHeader(); // cannot be a header any more; fails and skips the rest
            return true;
        }
        endHeader(); // the first wait character (or junk) ends the header
        return takeInState(c, startNs, endNs);
    case State::Data:
        return takeData(c, startNs, endNs);
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

bool TransferReader::takeData(char c, qint64 startNs, qint64 endNs) {
    if (c == '*')
        return false;
    const QByteArray& wait = settings_.wait;
    if (c == wait.at(waitMatched_)) {
        if (waitMatched_ == 0)
            waitStartNs_ = startNs;
        if (++waitMatched_ == wait.size()) {
            waitMatched_ = 0;
            openChunk();
        }
        return true;
    }
    if (waitMatched_ > 0) {
        badChars_ += waitMatched_; // a wait text cut short
        waitMatched_ = 0;
        return takeData(c, startNs, endNs);
    }
    const int digit = hexDigitValue(c);
    if (digit < 0) {
        ++badChars_;
        return true;
    }
    ++chunkLength_;
    lastDataEndNs_ = endNs;
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
    // it; a PIC still busy with that would miss this chunk's start.
    const qint64 gap = std::max<qint64>(0, waitStartNs_ - lastDataEndNs_);
    if (smallestGapNs_ < 0 || gap < smallestGapNs_)
        smallestGapNs_ = gap;
    if (settings_.busyMs > 0 && gap < qint64(settings_.busyMs) * 1000000) {
        if (++busyCount_ <= kLinesPerProblem)
            answers_->append(QStringLiteral("BUSY chunk %1: %2 ms before the wait character, "
                                            "the PIC needs %3 ms")
                                 .arg(chunkNumber_)
                                 .arg(gap / 1e6, 0, 'f', 1)
                                 .arg(settings_.busyMs));
    }
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

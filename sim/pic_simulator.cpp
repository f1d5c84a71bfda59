#include "pic_simulator.h"

#include "lcd_decoder.h"

#include <algorithm>

namespace {

QString hex4(int value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

const PanelGeometry kDefaultEepromPanel{128, 64, ByteLayout::Vertical};

} // namespace

PicSimulator::PicSimulator(SimConfig config)
    : config_(std::move(config)), lcd_(blankLcdImage(128, 64)) {
    answers_.append(QStringLiteral("READY"));
}

PicSimulator::~PicSimulator() = default;

void PicSimulator::feed(const QByteArray& data, qint64 nowNs, qint64 earliestNs) {
    const qint64 unseenNs = std::min(nowNs - previousReadNs_, nowNs - earliestNs + kHandOverLagNs);
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data.at(i);
        if (waitingForQuiet() && nowNs >= quietDeadline())
            endTransfer();
        // A '*' outside a transfer opens one, which reads the line's format afresh.
        const bool opens = c == '*' && !reader_;
        const std::optional<WireFormat>& format = reader_ && !opens ? transferLine_ : line_;
        const qint64 characterNs = format ? format->characterNs() : 0;
        WireCharacter at;
        at.arrivedNs = nowNs;
        at.earliestArrivalNs = earliestNs;
        // A character cannot begin before the one before it has ended.
        at.startNs = characterNs > 0 ? std::max(nowNs, lastEndNs_) : nowNs;
        at.endNs = at.startNs + characterNs;
        at.earliestEndNs =
            (characterNs > 0 ? std::max(earliestNs, lastEarliestEndNs_) : earliestNs) + characterNs;
        // The i characters before it came in the same read. Had the wire had time to carry
        // them while they sat unseen (since the read before, and no longer than the reader's
        // lateness and the pseudo-terminal's hand-over allow), the host could have paused
        // after them, and this read would not show it.
        at.pauseMayBeHidden = i > 0 && qint64(i) * characterNs <= unseenNs;
        const qint64 earliestEndBefore = lastEarliestEndNs_;
        lastEndNs_ = at.endNs;
        lastEarliestEndNs_ = at.earliestEndNs;
        if (reader_) {
            if (reader_->take(c, at))
                continue;
            endTransfer(); // a '*' in the data: the next transfer starts without a pause
        }
        if (c == '*') {
            reportStrayChars();
            transferLine_ = line_;
            reader_ = std::make_unique<TransferReader>(
                TransferReader::Settings{config_.wait, config_.busyMs}, &answers_, at,
                std::max<qint64>(0, at.arrivedNs - earliestEndBefore));
        } else {
            ++strayChars_; // terminal keys or line noise between transfers
        }
    }
    if (!data.isEmpty())
        previousReadNs_ = nowNs;
}

void PicSimulator::tick(qint64 nowNs) {
    if (waitingForQuiet() && nowNs >= quietDeadline())
        endTransfer();
}

bool PicSimulator::waitingForQuiet() const {
    return reader_ || strayChars_ > 0;
}

void PicSimulator::endTransfer() {
    reportStrayChars();
    if (!reader_)
        return;
    const std::unique_ptr<TransferReader> reader = std::move(reader_);
    reader->finish();
    reportLine(*reader);
    finishTransfer(*reader);
}

// What the wire carried: its format, the transfer's characters and wire time (pauses
// included), and the shortest silence the PIC had before a wait text.
void PicSimulator::reportLine(const TransferReader& reader) {
    if (!transferLine_)
        return;
    QString line = QStringLiteral("LINE %1 %2 chars %3 s")
                       .arg(transferLine_->describe())
                       .arg(reader.characterCount())
                       .arg(reader.wireNs() / 1e9, 0, 'f', 2);
    const qint64 unmeasured = reader.unmeasuredGapCount();
    if (reader.smallestGapNs() >= 0)
        line += QStringLiteral(", smallest gap %1 ms").arg(reader.smallestGapNs() / 1e6, 0, 'f', 1);
    else if (unmeasured > 0)
        line += QStringLiteral(", smallest gap not measured");
    else
        line += QStringLiteral(", no wait character");
    if (unmeasured > 0 && reader.smallestGapNs() >= 0)
        line += QStringLiteral(", %1 gap%2 not measured")
                    .arg(unmeasured)
                    .arg(unmeasured == 1 ? "" : "s");
    answers_.append(line);
}

QStringList PicSimulator::takeAnswers() {
    QStringList due;
    due.swap(answers_);
    return due;
}

void PicSimulator::reportStrayChars() {
    if (strayChars_ == 0)
        return;
    answers_.append(QStringLiteral("ERROR no header: %1 char%2")
                        .arg(strayChars_)
                        .arg(strayChars_ == 1 ? "" : "s"));
    strayChars_ = 0;
}

void PicSimulator::finishTransfer(const TransferReader& reader) {
    if (!reader.header())
        return; // the header's error line is out already
    const CommandHeader& header = *reader.header();
    switch (header.mode) {
    case '1':
        storeInEeprom(header, reader.bytes());
        break;
    case '2':
        showEeprom(header, reader.chunkCount() > 0);
        break;
    default:
        showStream(header, reader.bytes());
        break;
    }
}

void PicSimulator::showStream(const CommandHeader& header, const QByteArray& bytes) {
    const std::optional<PanelGeometry> sent = panelForStream(header.mode, int(bytes.size()));
    if (!sent) {
        answers_.append(QStringLiteral("ERROR size %1 mode %2")
                            .arg(bytes.size())
                            .arg(QLatin1Char(header.mode)));
        return;
    }
    const Controller chip = config_.controller.value_or(controllerForWidth(sent->width));
    const PanelGeometry panel{sent->width, sent->height, layoutOf(chip)};
    QString hint;
    if (sent->layout != panel.layout) {
        // The chip writes the bytes its own way all the same: the picture comes out scrambled.
        hint = QStringLiteral("this %1x%2 %3 takes %4 bytes")
                   .arg(panel.width)
                   .arg(panel.height)
                   .arg(controllerName(chip), byteMatrixName(panel.layout));
        answers_.append(
            QStringLiteral("ERROR layout %1: %2").arg(byteMatrixName(sent->layout), hint));
    } else if (panel.layout == ByteLayout::Horizontal && bytes.back() != 0) {
        const auto closing = static_cast<unsigned char>(bytes.back());
        answers_.append(
            QStringLiteral("ERROR closing byte %1").arg(closing, 2, 16, QLatin1Char('0')));
    }
    show(decodePanel(bytes, panel, config_.horizontalOneIsDark));
    layoutHint_ = hint;
    answers_.append(QStringLiteral("LCD %1 %2 bytes").arg(panel.describe()).arg(bytes.size()));
}

void PicSimulator::storeInEeprom(const CommandHeader& header, const QByteArray& bytes) {
    const int stored = eeprom_.write(header.address, bytes);
    if (stored < bytes.size())
        answers_.append(QStringLiteral("ERROR EEPROM full: %1 lost").arg(bytes.size() - stored));
    lastEepromLoadBytes_ = int(bytes.size());
    answers_.append(QStringLiteral("EEPROM %1 bytes at %2").arg(stored).arg(hex4(header.address)));
}

void PicSimulator::showEeprom(const CommandHeader& header, bool dataFollowed) {
    if (dataFollowed)
        answers_.append(QStringLiteral("ERROR data after show"));
    PanelGeometry panel = kDefaultEepromPanel;
    if (config_.eepromPanel)
        panel = *config_.eepromPanel;
    else if (auto guessed = panelForAnyMode(lastEepromLoadBytes_))
        panel = *guessed;
    const QByteArray bytes = eeprom_.read(header.address, panel.imageBytes());
    show(decodePanel(bytes, panel, config_.horizontalOneIsDark));
    answers_.append(QStringLiteral("LCD %1 from EEPROM").arg(panel.describe()));
}

void PicSimulator::show(const QImage& image) {
    lcd_ = image;
    layoutHint_.clear();
    ++imageCount_;
}

#include "FirmwareWire.h"

#include "convert/ByteMatrix.h"
#include "convert/OutputText.h"
#include "convert/TransmitText.h"
#include "link/LineTiming.h"
#include "link/SendLoop.h"
#include "support/MemoryPort.h"

#include <QRandomGenerator>
#include <cmath>

namespace firmware {

double bitNs() {
    return 1e9 / double(Baud);
}

qint64 characterEndNs(const WireChar& w) {
    return w.startNs + qint64(std::ceil(10 * bitNs()));
}

Schedule backToBack(const QByteArray& text, qint64 startNs) {
    Schedule s;
    WireChar next{startNs, 0};
    for (const char c : text) {
        next.c = c;
        s.push_back(next);
        next.startNs = characterEndNs(next);
    }
    return s;
}

Schedule followedBy(Schedule first, const Schedule& then, qint64 gapNs) {
    const qint64 from = first.empty() ? 0 : characterEndNs(first.back()) + gapNs;
    const qint64 shift = then.empty() ? 0 : from - then.front().startNs;
    for (WireChar w : then) {
        w.startNs += shift;
        first.push_back(w);
    }
    return first;
}

QByteArray textOf(const Schedule& schedule) {
    QByteArray text;
    for (const WireChar& w : schedule)
        text += w.c;
    return text;
}

QByteArray rxStimulus(const Schedule& schedule) {
    QByteArray out = "0 0.0\n1 5.0\n";
    out.reserve(out.size() + qsizetype(schedule.size()) * 60);
    bool level = true;
    qint64 lastCycle = 1;
    for (const WireChar& w : schedule) {
        const auto byte = quint8(w.c);
        for (int bit = 0; bit < 10; ++bit) {
            const bool want = bit == 0 ? false : bit == 9 ? true : ((byte >> (bit - 1)) & 1) != 0;
            if (want == level)
                continue;
            const double ns = double(w.startNs) + bit * bitNs();
            // Never two edges on one cycle and never back in time: a level the stimulus cannot
            // place is a schedule fault, kept visible by the read-back.
            const qint64 cycle = std::max(lastCycle + 1, qint64(std::llround(ns / CycleNs)));
            out += QByteArray::number(cycle) + (want ? " 5.0\n" : " 0.0\n");
            lastCycle = cycle;
            level = want;
        }
    }
    return out;
}

ReadBack readStimulus(const QByteArray& stimulus) {
    // The levels as a list of (cycle, level) from line 2 on (the first line is ignored).
    std::vector<std::pair<qint64, bool>> edges;
    const QList<QByteArray> lines = stimulus.split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].simplified().split(' ');
        if (f.size() == 2)
            edges.push_back({f[0].toLongLong(), f[1].toDouble() > 2.5});
    }
    const auto levelAt = [&edges](double cycle) {
        bool level = true;
        for (const auto& [c, l] : edges) {
            if (double(c) > cycle)
                break;
            level = l;
        }
        return level;
    };
    ReadBack back;
    const double bitCycles = bitNs() / CycleNs;
    size_t i = 0;
    bool level = true;
    double busyUntil = 0;
    for (; i < edges.size(); ++i) {
        const auto [cycle, l] = edges[i];
        const bool falling = level && !l;
        level = l;
        if (!falling || double(cycle) < busyUntil)
            continue;
        int byte = 0;
        for (int bit = 0; bit < 8; ++bit)
            byte |= levelAt(double(cycle) + (1.5 + bit) * bitCycles) ? 1 << bit : 0;
        if (!levelAt(double(cycle) + 9.5 * bitCycles))
            ++back.framingErrors;
        back.text += char(byte);
        back.startCycles.push_back(cycle);
        busyUntil = double(cycle) + 9.5 * bitCycles;
    }
    return back;
}

namespace {
// A port whose writes leave on a simulated wire, noting when each character starts.
class ScheduledPort : public MemoryPort {
public:
    ScheduledPort(int bufferSize) : MemoryPort(LineSettings{}, bufferSize) {}
    bool Output(const QString& text) override {
        const qint64 wait = wire.nsUntilFewerThan(bufferSize, nowNs);
        const qint64 start = nowNs + wait + wire.nsUntilIdle(nowNs + wait);
        if (!MemoryPort::Output(text))
            return false;
        for (const QChar c : text)
            starts.push_back({start, char(c.toLatin1())});
        return true;
    }
    Schedule starts;
};
} // namespace

Schedule sendSchedule(const SendPlan& plan, qint64 startNs) {
    ScheduledPort port(plan.outBufferSize);
    port.nowNs = startNs;
    SendPacing pacing;
    pacing.waitString = plan.waitString;
    const int delay = plan.xmitDelayMs;
    pacing.pause = [delay] { return std::optional<int>(delay); };
    pacing.sleep = [&port](int ms) { port.nowNs += qint64(ms) * 1000000; };
    pacing.waitForLine = [&port](qint64 ns) { port.nowNs += ns; };
    const SendResult result = sendText(port, plan.xmitText, pacing);
    Q_ASSERT(result.ok());
    // The character times of the line model are rounded up; consecutive characters that it
    // places back to back stay back to back.
    return port.starts;
}

QByteArray pictureBytes(const QImage& canvas) {
    const VertMatrix m = verticalMatrix(canvas, canvas.width(), canvas.height());
    QByteArray bytes;
    for (int page = 0; page < m.pages; ++page)
        for (int x = 0; x < m.columns; ++x)
            bytes += char(m.at(x, page));
    return bytes;
}

QString pictureTransmitText(const QImage& canvas, const HeaderParameters& header,
                            const QString& waitString) {
    const VertMatrix m = verticalMatrix(canvas, canvas.width(), canvas.height());
    const QString output = verticalOutputText(m, OutputFormat{});
    const CommandHeader h = buildCommandHeader(header);
    Q_ASSERT(h.ok());
    ReformatInput in;
    in.windowText = output;
    in.header = h.text;
    in.pieceLength = header.picBuffer;
    in.waitChars = waitString;
    const Reformatted r = reformatForOutput(in);
    Q_ASSERT(r.ok());
    return r.xmitText;
}

QImage randomPicture(quint32 seed, int width, int height) {
    QRandomGenerator random(seed);
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, random.bounded(2) ? 0xFF000000u : 0xFFFFFFFFu);
    return picture;
}

HeaderParameters lcdHeader(int picBuffer, int picDelay) {
    HeaderParameters p;
    p.lcdSizeIndex = 1; // 128x64
    p.picBuffer = picBuffer;
    p.picDelay = picDelay;
    p.startAddress = QStringLiteral("0");
    return p;
}

HeaderParameters eepromHeader(int startAddress, int picBuffer, int picDelay) {
    HeaderParameters p = lcdHeader(picBuffer, picDelay);
    p.eepromMode = true;
    p.startAddress = QString::number(startAddress);
    return p;
}

} // namespace firmware

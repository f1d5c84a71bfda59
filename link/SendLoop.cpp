#include "link/SendLoop.h"

#include "link/NumberText.h"
#include "link/SerialPort.h"

#include <chrono>
#include <limits>
#include <thread>

namespace {
SendResult lineFailed(SerialPort& port, SendResult result) {
    result.stop = SendResult::Stop::WriteFailed;
    result.portError = port.errorString();
    return result;
}
} // namespace

SendResult sendText(SerialPort& port, const QString& text, const SendPacing& pacing,
                    const std::function<void(qsizetype sent)>& progress) {
    const bool paced = pacing.waitString.size() == 1;
    const QChar waitChar = paced ? pacing.waitString.front() : QChar();
    std::optional<int> pause;
    bool pauseRead = false;
    SendResult result;
    for (const QChar c : text) {
        if (paced && c == waitChar) {
            if (!pauseRead) {
                pause = pacing.pause ? pacing.pause() : std::optional<int>(0);
                pauseRead = true;
            }
            if (!pause) {
                result.stop = SendResult::Stop::BadPause;
                return result;
            }
            if (!waitUntilSent(port, pacing.waitForLine))
                return lineFailed(port, result);
            if (*pause > 0 && pacing.sleep)
                pacing.sleep(*pause);
            else if (*pause > 0)
                blockingSleep(*pause);
        }
        if (!port.Output(QString(c))) {
            result.stop = SendResult::Stop::WriteFailed;
            result.portError = port.errorString();
            return result;
        }
        ++result.sent;
        if (progress)
            progress(result.sent);
    }
    if (!waitUntilSent(port, pacing.waitForLine))
        return lineFailed(port, result);
    return result;
}

bool waitUntilSent(SerialPort& port, const std::function<void(qint64 nanoseconds)>& wait) {
    for (;;) {
        const std::optional<qint64> left = port.nsUntilSent();
        if (!left)
            return false;
        if (*left <= 0)
            return true;
        if (wait)
            wait(*left);
        else
            std::this_thread::sleep_for(std::chrono::nanoseconds(*left));
    }
}

void blockingSleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace {
constexpr long long longestPause = std::numeric_limits<int>::max();

std::optional<int> asPause(std::optional<long long> value) {
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}
} // namespace

std::optional<int> sendToLcdPause(const QString& xmitDelayText) {
    return asPause(readFloor(xmitDelayText, 0, longestPause));
}

std::optional<int> pasteAndSendPause(const QString& xmitDelayText) {
    return asPause(readRounded(xmitDelayText, 0, longestPause));
}

#include "link/NumberText.h"

#include <QRegularExpression>
#include <cfenv>
#include <cmath>

std::optional<double> readNumber(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = match.captured(1).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double roundHalfEven(double value) {
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previous);
    return rounded;
}

namespace {
std::optional<long long> inRange(double whole, long long min, long long max) {
    if (whole < static_cast<double>(min) || whole > static_cast<double>(max))
        return std::nullopt;
    return static_cast<long long>(whole);
}
} // namespace

std::optional<long long> readRounded(const QString& text, long long min, long long max) {
    const auto value = readNumber(text);
    if (!value)
        return std::nullopt;
    return inRange(roundHalfEven(*value), min, max);
}

std::optional<long long> readFloor(const QString& text, long long min, long long max) {
    const auto value = readNumber(text);
    if (!value)
        return std::nullopt;
    return inRange(std::floor(*value), min, max);
}

#include "link/PauseText.h"

#include "link/NumberText.h"

#include <limits>

QString xmitDelayRefusal(const QString& xmitDelayText) {
    constexpr int longest = std::numeric_limits<int>::max();
    const auto value = readNumber(xmitDelayText);
    if (value && roundHalfEven(*value) > longest)
        return QStringLiteral("Xmit Delay \"%1\" is too large: the longest pause accepted is %2 "
                              "milliseconds.")
            .arg(xmitDelayText)
            .arg(longest);
    return QStringLiteral("Xmit Delay \"%1\" is not a pause in milliseconds: it must be a "
                          "number, 0 or more.")
        .arg(xmitDelayText);
}

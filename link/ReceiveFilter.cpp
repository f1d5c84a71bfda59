#include "link/ReceiveFilter.h"

QString receivedForDisplay(const QString& piece) {
    QString shown;
    shown.reserve(piece.size() + piece.count(QLatin1Char('\r')));
    for (const QChar c : piece) {
        if (c == QLatin1Char('\n'))
            continue;
        if (c == QChar(0)) {
            shown += QChar(0x2400);
            continue;
        }
        shown += c;
        if (c == QLatin1Char('\r'))
            shown += QLatin1Char('\n');
    }
    return shown;
}

ReceiveUpdate receiveIntoWindow(const QString& window, const QString& piece, int limit) {
    if (piece.isEmpty())
        return {};
    const QString shown = receivedForDisplay(piece);
    const bool placeholder = window == receivePlaceholder();
    const qsizetype kept = placeholder ? 0 : window.size();
    if (limit > 0 && kept + shown.size() >= limit)
        return {ReceiveUpdate::Action::Replace, shown.right(limit - 1)};
    if (placeholder)
        return {ReceiveUpdate::Action::Replace, shown};
    if (shown.isEmpty())
        return {};
    return {ReceiveUpdate::Action::Append, shown};
}

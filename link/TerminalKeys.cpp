#include "link/TerminalKeys.h"

#include <QStringView>

QString lineCharacters(const QString& text) {
    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() <= 0xFF) {
            line += c;
            continue;
        }
        line += QLatin1Char('?');
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    return line;
}

QList<int> terminalKeyCodes(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    const Qt::KeyboardModifiers chords =
        modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (chords & Qt::ControlModifier) {
        if (chords == Qt::ControlModifier && key >= Qt::Key_A && key <= Qt::Key_Z)
            return {key - Qt::Key_A + 1};
        return {};
    }
    // Delete edits the box; the line's DEL (127) is not what the user asked for.
    if (key == Qt::Key_Delete)
        return {};
    QList<int> codes;
    for (const QChar c : lineCharacters(text))
        codes << c.unicode();
    return codes;
}

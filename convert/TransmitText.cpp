#include "convert/TransmitText.h"

#include "convert/OutputText.h"

#include <algorithm>

QString reformatSource(const QString& windowText) {
    return trimSpaces(windowText).toLower();
}

QString transmitText(const QString& header, const QString& text, int pieceLength,
                     const QString& waitChars) {
    const qsizetype piece = pieceLength >= 1 ? pieceLength : std::max<qsizetype>(text.size(), 1);
    const qsizetype pieces = (text.size() + piece - 1) / piece;
    QString stream;
    stream.reserve(header.size() + pieces * waitChars.size() + text.size());
    stream.append(header);
    for (qsizetype start = 0; start < text.size(); start += piece) {
        stream.append(waitChars);
        stream.append(QStringView(text).mid(start, piece));
    }
    return std::move(stream).toLower();
}

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

Reformatted reformatForOutput(const ReformatInput& input) {
    // The line breaks of these boxes are a line feed followed by a carriage return.
    Reformatted result;
    if (!input.format.format.isEmpty() || !input.format.delimiter.isEmpty()) {
        result.refusal =
            QStringLiteral("No Format or Delimiters allowed\n\rConvert again without them.");
        return result;
    }
    if (!input.format.header.isEmpty() || !input.format.footer.isEmpty()) {
        result.refusal =
            QStringLiteral("No Header or Footer allowed\n\rConvert again without them.");
        return result;
    }
    result.convText = reformatSource(input.windowText);
    result.xmitText =
        transmitText(input.header, result.convText, input.pieceLength, input.waitChars);
    return result;
}

QStringList staleTransmitReasons(const TransmitBasis& a, const TransmitBasis& b) {
    QStringList reasons;
    const auto differs = [&reasons](bool changed, const char* name) {
        if (changed)
            reasons << QString::fromLatin1(name);
    };
    differs(a.canvasRevision != b.canvasRevision, "the canvas");
    differs(a.lcdSizeIndex != b.lcdSizeIndex, "the LCD size");
    differs(a.horizontal != b.horizontal, "Byte Matrix");
    differs(a.inverted != b.inverted, "Inverted");
    differs(a.eepromMode != b.eepromMode, "Load EEprom");
    differs(a.startAddress != b.startAddress, "Start Addr");
    differs(a.picBufferEntry != b.picBufferEntry, "PIC Buffer");
    differs(a.picDelayEntry != b.picDelayEntry, "PIC Delay");
    differs(a.waitChars != b.waitChars, "Wait Chr");
    differs(a.format.format != b.format.format, "Format");
    differs(a.format.delimiter != b.format.delimiter, "Delimiter");
    differs(a.format.header != b.format.header, "Header");
    differs(a.format.footer != b.format.footer, "Footer");
    return reasons;
}

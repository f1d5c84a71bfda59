#include "cli/FileNames.h"

#include <QChar>

namespace {
constexpr char16_t EscapedByte = 0xDC00; // + the byte, 0x80-0xFF

bool isEscapedByte(char16_t c) {
    return c >= EscapedByte + 0x80 && c <= EscapedByte + 0xFF;
}

// Length of the valid UTF-8 sequence at `at`, 0 when there is none.
int sequenceAt(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    int length = 0;
    char32_t code = 0;
    char32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const unsigned char next = byte(at + k);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and code points past Unicode's range are not UTF-8.
    if (code < lowest || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

QString hexEscape(const char* form, uint value, int digits) {
    return QLatin1String(form) + QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0'));
}

bool isBidiControl(char32_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

QString escaped(const QString& text, bool comment) {
    QString shown;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (isEscapedByte(c) && !(i > 0 && QChar::isHighSurrogate(text[i - 1].unicode()))) {
            shown += hexEscape("\\x", c - EscapedByte, 2);
            continue;
        }
        switch (c) {
        case u'\n':
            shown += QLatin1String("\\n");
            continue;
        case u'\r':
            shown += QLatin1String("\\r");
            continue;
        case u'\t':
            shown += QLatin1String("\\t");
            continue;
        case u'\\':
            shown += comment ? QLatin1String("\\x5c") : QLatin1String("\\\\");
            continue;
        case u'/':
            if (comment &&
                ((i >= 1 && text[i - 1] == QLatin1Char('*')) ||
                 (i >= 2 && text[i - 1] == QLatin1Char('?') && text[i - 2] == QLatin1Char('?')))) {
                shown += QLatin1String("\\x2f");
                continue;
            }
            break;
        default:
            break;
        }
        if (c < 0x20 || c == 0x7F) {
            shown += hexEscape("\\x", c, 2);
        } else if ((c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029 || isBidiControl(c)) {
            // C1 controls (U+0085 ends a line for some editors), the Unicode line and paragraph
            // separators, and the marks that reorder the text around them.
            shown += hexEscape("\\u", c, 4);
        } else {
            shown += QChar(c);
        }
    }
    return shown;
}
} // namespace

QString argumentText(const QByteArray& native) {
    QString text;
    for (qsizetype i = 0; i < native.size();) {
        const int length = sequenceAt(native, i);
        if (length == 0) {
            text += QChar(char16_t(EscapedByte + static_cast<unsigned char>(native[i])));
            ++i;
        } else {
            text += QString::fromUtf8(native.constData() + i, length);
            i += length;
        }
    }
    return text;
}

QByteArray nativeName(const QString& text) {
    QByteArray native;
    qsizetype plainFrom = 0;
    const auto flush = [&](qsizetype to) {
        native += QStringView(text).mid(plainFrom, to - plainFrom).toUtf8();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (isEscapedByte(c) && !(i > 0 && QChar::isHighSurrogate(text[i - 1].unicode()))) {
            flush(i);
            native += static_cast<char>(c - EscapedByte);
            plainFrom = i + 1;
        }
    }
    flush(text.size());
    return native;
}

QString shownFileName(const QString& text) {
    return escaped(text, false);
}

QString commentFileName(const QString& text) {
    return escaped(text, true);
}

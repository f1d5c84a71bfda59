#include "convert/TableReader.h"

#include <QStringDecoder>
#include <QStringList>
#include <QStringView>

namespace {
bool isIdentifierChar(QChar c) {
    return c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('_'));
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// /* ... */ and // comments become spaces; line breaks stay, so lines keep their places.
QString withoutCComments(const QString& text) {
    QString out = text;
    const qsizetype n = out.size();
    for (qsizetype i = 0; i + 1 < n; ++i) {
        if (out[i] != QLatin1Char('/'))
            continue;
        if (out[i + 1] == QLatin1Char('/')) {
            for (; i < n && out[i] != QLatin1Char('\n') && out[i] != QLatin1Char('\r'); ++i)
                out[i] = QLatin1Char(' ');
        } else if (out[i + 1] == QLatin1Char('*')) {
            out[i] = out[i + 1] = QLatin1Char(' ');
            for (i += 2; i < n; ++i) {
                if (out[i] == QLatin1Char('*') && i + 1 < n && out[i + 1] == QLatin1Char('/')) {
                    out[i] = out[i + 1] = QLatin1Char(' ');
                    ++i;
                    break;
                }
                if (out[i] != QLatin1Char('\n') && out[i] != QLatin1Char('\r'))
                    out[i] = QLatin1Char(' ');
            }
        }
    }
    return out;
}

qsizetype skipBlanks(QStringView line, qsizetype i) {
    while (i < line.size() && isBlank(line[i]))
        ++i;
    return i;
}

// The identifier (letters, digits, '_', and a leading '.') starting at i.
QStringView wordAt(QStringView line, qsizetype i) {
    qsizetype end = i;
    if (end < line.size() && line[end] == QLatin1Char('.'))
        ++end;
    while (end < line.size() && isIdentifierChar(line[end]))
        ++end;
    return line.mid(i, end - i);
}

bool isPreprocessorLine(QStringView line, qsizetype lead) {
    if (lead >= line.size() || line[lead] != QLatin1Char('#'))
        return false;
    static const QStringList directives{
        QStringLiteral("define"), QStringLiteral("include"), QStringLiteral("pragma"),
        QStringLiteral("if"),     QStringLiteral("ifdef"),   QStringLiteral("ifndef"),
        QStringLiteral("elif"),   QStringLiteral("else"),    QStringLiteral("endif"),
        QStringLiteral("undef"),  QStringLiteral("error"),   QStringLiteral("warning"),
        QStringLiteral("line")};
    return directives.contains(wordAt(line, skipBlanks(line, lead + 1)).toString());
}

// A BASIC line number in front of the statement; returns where the statement starts.
qsizetype afterLineNumber(QStringView line, qsizetype lead) {
    qsizetype i = lead;
    while (i < line.size() && line[i].isDigit())
        ++i;
    if (i == lead || i >= line.size() || !isBlank(line[i]))
        return lead;
    return skipBlanks(line, i);
}

bool isBasicRemark(QStringView line, qsizetype statement) {
    if (statement < line.size() && line[statement] == QLatin1Char('\''))
        return true;
    return wordAt(line, statement).compare(QLatin1String("rem"), Qt::CaseInsensitive) == 0;
}

bool isAssemblerDataDirective(QStringView word) {
    static const QStringList directives{QStringLiteral("db"), QStringLiteral(".db"),
                                        QStringLiteral(".byte"), QStringLiteral("defb"),
                                        QStringLiteral("fcb")};
    return directives.contains(word.toString(), Qt::CaseInsensitive);
}

// The part of a line that may hold bytes, with what is known not to be data made blank.
QString dataOf(QStringView line) {
    const qsizetype lead = skipBlanks(line, 0);
    if (lead >= line.size() || line[lead] == QLatin1Char(';') || isPreprocessorLine(line, lead))
        return QString();

    // BASIC: "10 REM ..." is a comment; "10 DATA ..." keeps its data without the line number.
    const qsizetype statement = afterLineNumber(line, lead);
    if (isBasicRemark(line, statement))
        return QString();
    QString data = line.toString();
    if (statement != lead &&
        wordAt(line, statement).compare(QLatin1String("data"), Qt::CaseInsensitive) == 0)
        data.replace(lead, statement - lead, QString(statement - lead, QLatin1Char(' ')));

    // Assembler: "[label:] db ..." ends at ';'; the directive itself is not a byte.
    qsizetype directive = lead;
    const QStringView first = wordAt(line, lead);
    if (!first.isEmpty() && lead + first.size() < line.size() &&
        line[lead + first.size()] == QLatin1Char(':'))
        directive = skipBlanks(line, lead + first.size() + 1);
    const QStringView word = wordAt(line, directive);
    if (isAssemblerDataDirective(word)) {
        const qsizetype comment = data.indexOf(QLatin1Char(';'), directive);
        if (comment >= 0)
            data.truncate(comment);
        data.replace(lead, directive + word.size() - lead,
                     QString(directive + word.size() - lead, QLatin1Char(' ')));
    }

    // Array sizes: "logo[1024]" holds no data.
    for (qsizetype open = data.indexOf(QLatin1Char('[')); open >= 0;
         open = data.indexOf(QLatin1Char('['), open + 1)) {
        const qsizetype close = data.indexOf(QLatin1Char(']'), open);
        if (close < 0)
            break;
        for (qsizetype i = open + 1; i < close; ++i)
            data[i] = QLatin1Char(' ');
    }
    return data;
}

// Length of a byte prefix at i (0x, $, &H) that a hex digit follows, or 0.
int prefixAt(QStringView s, qsizetype i) {
    const auto hexAt = [&](qsizetype j) { return j < s.size() && hexValue(s[j]) >= 0; };
    if (s[i] == QLatin1Char('$'))
        return hexAt(i + 1) ? 1 : 0;
    if (i + 1 >= s.size())
        return 0;
    const QChar next = s[i + 1];
    if (s[i] == QLatin1Char('0') && (next == QLatin1Char('x') || next == QLatin1Char('X')))
        return hexAt(i + 2) ? 2 : 0;
    if (s[i] == QLatin1Char('&') && (next == QLatin1Char('h') || next == QLatin1Char('H')))
        return hexAt(i + 2) ? 2 : 0;
    return 0;
}

// A prefixed byte holds one or two hex digits. More digits are a wider word (0x1234, $01FF)
// or a value above 255, which no byte holds: the first such word is kept in `wide`. Digits
// that a new prefix follows ("0xff0x80", a Format with no Delimiter) are two bytes.
void scan(QStringView s, QByteArray& prefixed, QByteArray& bare, QString* wide) {
    bool afterByte = false; // a prefixed byte just ended: "0xff0x80" has no separator
    for (qsizetype i = 0; i < s.size();) {
        const bool tokenStart = afterByte || i == 0 || !isIdentifierChar(s[i - 1]);
        afterByte = false;
        if (!tokenStart) {
            ++i;
            continue;
        }
        if (const int prefix = prefixAt(s, i)) {
            qsizetype j = i + prefix;
            int value = 0;
            for (int digits = 0; digits < 2 && j < s.size() && hexValue(s[j]) >= 0; ++digits)
                value = value * 16 + hexValue(s[j++]);
            if (wide->isEmpty() && j < s.size() && hexValue(s[j]) >= 0 && prefixAt(s, j) == 0) {
                qsizetype end = j;
                while (end < s.size() && isIdentifierChar(s[end]))
                    ++end;
                *wide = s.mid(i, end - i).toString();
            }
            prefixed.append(static_cast<char>(value));
            i = j;
            afterByte = true;
            continue;
        }
        if (!isIdentifierChar(s[i])) {
            ++i;
            continue;
        }
        qsizetype end = i;
        bool hex = true;
        for (; end < s.size() && isIdentifierChar(s[end]); ++end)
            hex = hex && hexValue(s[end]) >= 0;
        if (hex && (end - i) % 2 == 0) {
            for (qsizetype k = i; k < end; k += 2)
                bare.append(static_cast<char>(hexValue(s[k]) * 16 + hexValue(s[k + 1])));
        }
        i = end;
    }
}
} // namespace

QByteArray readTableBytes(const QString& text, QString* failure) {
    QByteArray prefixed;
    QByteArray bare;
    const QString plain = withoutCComments(text);
    int lineNumber = 0;
    QString wide;
    int wideLine = 0;
    for (QStringView line : QStringView(plain).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // A lone CR also ends a line (old Mac files, and the LF CR pair some messages use).
        for (QStringView part : line.split(QLatin1Char('\r'))) {
            ++lineNumber;
            scan(dataOf(part), prefixed, bare, &wide);
            if (!wide.isEmpty() && wideLine == 0)
                wideLine = lineNumber;
        }
    }
    if (!wide.isEmpty() && failure) {
        *failure = QStringLiteral("%1 on line %2 is not a byte: a byte has one or two hex digits")
                       .arg(wide)
                       .arg(wideLine);
        return {};
    }
    return prefixed.isEmpty() ? bare : prefixed;
}

QByteArray readTableFile(const QByteArray& contents, QString* failure) {
    for (const char c : contents) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f' && u != '\v')
            return contents;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(contents);
    if (decoder.hasError())
        return contents;
    return readTableBytes(text, failure);
}

#pragma once

#include <QByteArray>
#include <QString>

// File names as the system holds them: any bytes but '/' and NUL, not necessarily UTF-8. An
// argument is carried as a QString in which each byte that is not part of valid UTF-8 stands as
// the lone low surrogate U+DC80 + (byte - 0x80), so that the name turns back into the same bytes
// for the system, and shows escaped in messages and comments.

// The argument as the system passed it.
QString argumentText(const QByteArray& native);

// The bytes of the file name that argumentText made `text` from.
QByteArray nativeName(const QString& text);

// The name fit to print on one line: control characters and line breaks as \n, \t, \xNN or
// \uNNNN, the bytes that are not UTF-8 as \xNN, a backslash doubled.
QString shownFileName(const QString& text);

// The name fit to stand in a comment of C, assembler or BASIC: as shownFileName, and besides a
// backslash written \x5c (one ending a // comment would join the next line to it) and a '/'
// after '*' or "??" written \x2f (no "*/" ends a comment, no "??/" trigraph joins lines).
QString commentFileName(const QString& text);

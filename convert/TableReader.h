#pragma once

#include <QByteArray>
#include <QString>

// Reading bytes back out of a table: the output text of any Format and Delimiter, or a C,
// assembler or BASIC table, our own or another tool's.
//
// A byte is written either with a prefix, 0x.. / $.. / &H.. (one or two hex digits, any case), or
// bare, as a word of hex digits only; a bare word of 2n digits is n bytes, so the undecorated
// stream "ff8080..." reads as the bytes it sends. When the text holds any prefixed byte, only
// prefixed bytes count: then "#define LOGO_HEIGHT 64", BASIC line numbers, the "db" of an
// assembler line and the bare closing "00" of a horizontal output text are not data.
//
// Ignored as comments: /* ... */, // to the end of the line, preprocessor lines (#define,
// #include, ...), lines that begin with ';', BASIC lines whose statement is REM or ', and on an
// assembler data line (db, .db, .byte, defb) everything after ';'. Elsewhere ';' is an ordinary
// character, because it may be a Delimiter or a Footer. Array sizes in [...] are not data.
//
// A prefixed word of more than two hex digits (0x1234, a table of 16-bit words, or 0x100) holds
// no byte: with `failure` given, the result is empty and `failure` names the first such word and
// its line ("0x1234 on line 3 is not a byte: ..."); without, the word reads as its first two
// digits.
QByteArray readTableBytes(const QString& text, QString* failure = nullptr);

// The bytes of a table file. A file that is not text (a NUL byte, a control character or broken
// UTF-8) is taken as the raw bytes of a binary export.
QByteArray readTableFile(const QByteArray& contents, QString* failure = nullptr);

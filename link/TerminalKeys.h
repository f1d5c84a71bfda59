#pragma once

#include <QList>
#include <QString>
#include <Qt>

// What the terminal puts on the line for what the user types. The line carries one byte per
// character (Latin-1).

// The codes one key press sends, in order (mostly one, none for a key that is only an edit):
// Ctrl+A to Ctrl+Z give 1 to 26, as on a terminal; Delete nothing; any other key with Ctrl
// (or Ctrl and Alt) nothing; otherwise the key's text, one code per character (see lineCharacters).
QList<int> terminalKeyCodes(int key, Qt::KeyboardModifiers modifiers, const QString& text);

// The text as the line carries it: a character beyond Latin-1 becomes one "?", however many
// UTF-16 units it takes (an emoji is one character, not two).
QString lineCharacters(const QString& text);

#pragma once

#include <QString>

// The output window's text as "Reformat For Output" takes it: spaces trimmed off both ends,
// lower case.
QString reformatSource(const QString& windowText);

// The stream for the PIC: the command header, then every run of pieceLength characters of text,
// each preceded by the wait character(s) the PIC answers before its buffer is ready again; the
// last run may be shorter. All lower case. A pieceLength below 1 sends the text as one run.
QString transmitText(const QString& header, const QString& text, int pieceLength,
                     const QString& waitChars);

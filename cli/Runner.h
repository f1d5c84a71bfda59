#pragma once

#include <QStringList>

class QIODevice;

// One run of quorvel-convert: the arguments after the program's name, standard input, output
// and error. Returns the exit status: 0 when every input converted, 1 when any failed (each named
// on `err`, the others still written), 2 for a usage error.
int runConvert(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err);

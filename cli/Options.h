#pragma once

#include "canvas/Import.h"
#include "convert/Export.h"
#include "convert/OutputText.h"

#include <QString>
#include <QStringList>
#include <optional>

// Everything one run of quorvel-convert was asked to do.
struct CliOptions {
    int width = 128;
    int height = 64;
    bool horizontal = false;
    bool inverted = true; // the window's "Inverted" box, ticked as at start-up
    ImportOptions import;
    OutputFormat text;                       // the output text's four boxes
    std::optional<ExportFormat> exportTable; // a table as Export writes it instead
    QString name;                            // the export's name; empty: the picture's own
    int bytesPerLine = 16;
    // --c-type uint8_t: a C table of uint8_t from <stdint.h> instead of unsigned char
    bool uint8Type = false;
    QString output;  // empty: standard output
    QString preview; // empty: none
    bool decode = false;
    QStringList inputs; // "-" is standard input
};

struct ParsedCommandLine {
    enum Outcome { Run, Help, Version, UsageError };
    Outcome outcome = UsageError;
    CliOptions options;
    QString text; // the help, the version line or what is wrong with the command line
};

// The arguments after the program's name.
ParsedCommandLine parseCommandLine(const QStringList& arguments);

// "Usage: quorvel-convert [options] PICTURE..."
QString usageLine();

// -o and --preview name a directory when they end in '/' or name one that exists.
bool namesDirectory(const QString& path);

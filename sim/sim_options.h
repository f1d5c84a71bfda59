#pragma once

#include "pic_simulator.h"

#include <QString>
#include <QStringList>

#include <optional>

struct SimOptions {
    QString linkPath; // symlink to the pty's device, removed on exit
    QString pngPath;  // LCD picture written after every picture shown
    bool noWindow = false;
    bool quiet = false; // no copy of the status lines on stderr
    int scale = 3;
    SimConfig config;
};

struct OptionsParse {
    std::optional<SimOptions> options;
    QString message; // error text, or the help text when help was asked for
    bool helpRequested = false;
};

// arguments as in main()'s argv, program name first.
OptionsParse parseSimOptions(const QStringList& arguments);

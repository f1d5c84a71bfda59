#pragma once

#include <QString>

double residentMegabytes();
int startupProbe(int argc, char** argv);
void benchStartup(const QString& self);

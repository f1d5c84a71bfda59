#pragma once

#include <QString>

// Each prints its tables to standard output.
void benchConversion();   // bench_convert.cpp
void benchConvertClick(); // bench_window.cpp
void benchSendCost();     // bench_send.cpp
void benchSendImage();    // bench_send.cpp
void benchTextBoxes();    // bench_textbox.cpp
void benchPenPaint();     // bench_paint.cpp
void benchImport();       // bench_import.cpp
void benchExport();       // bench_export.cpp
void benchStartup(const QString& self);
void benchCli();      // bench_cli.cpp: quorvel-convert beside ImageMagick
void benchFirmware(); // bench_firmware.cpp: the reference firmware in gpsim

// The child process that benchStartup starts and times (bench_startup.cpp).
int startupProbe(int argc, char** argv);
double residentMegabytes();

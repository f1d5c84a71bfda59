// quorvel-bench: prints a table of how fast the program does its work. Never fails on time.
#include "Harness.h"
#include "bench/Benches.h"

#include <QApplication>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--startup-probe") == 0)
        return startupProbe(argc, argv);
    QApplication app(argc, argv);
    benchStartup(QString::fromLocal8Bit(argv[0]));
    return 0;
}

// The main of a program that holds several test classes (TestGroup.h).
#include "support/TestGroup.h"

#include <cstdio>
#include <map>
#include <string>

namespace {
// Filled before main by the files' registrations, whatever their order.
std::map<std::string, test_group::Entry>& entries() {
    static std::map<std::string, test_group::Entry> all;
    return all;
}

std::string baseName(const char* path) {
    std::string name(path);
    const auto slash = name.find_last_of('/');
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const auto dot = name.find('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}
} // namespace

bool test_group::add(const char* sourceFile, Entry entry) {
    entries()[baseName(sourceFile)] = entry;
    return true;
}

int main(int argc, char** argv) {
    const auto found = argc > 1 ? entries().find(argv[1]) : entries().end();
    if (found == entries().end()) {
        std::fprintf(stderr, "usage: %s TEST [QTest options]\nTEST is one of:", argv[0]);
        for (const auto& entry : entries())
            std::fprintf(stderr, " %s", entry.first.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    // The test sees its own arguments only, as a program of its own would.
    for (int i = 1; i + 1 < argc; ++i)
        argv[i] = argv[i + 1];
    argv[argc - 1] = nullptr;
    return found->second(argc - 1, argv);
}

// libFuzzer entry for the whole Load path. The first byte picks the panel (low three bits) and
// Inverted (bit 3); the rest is the file.
#include "LoadFuzz.h"

#include "canvas/LcdSize.h"

#include <QtGlobal>
#include <cstdint>
#include <cstdlib>

namespace {
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool once = [] {
        qInstallMessageHandler(quiet);
        return true;
    }();
    (void)once;
    if (size < 1)
        return 0;
    const LcdSize& panel = lcdSizes()[size_t(data[0] & 7) % lcdSizes().size()];
    const QByteArray file(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QString problem = loadDamagedFile(file, panel.width, panel.height, data[0] & 8);
    if (!problem.isEmpty())
        std::abort(); // a finding: the file is in the crash artifact
    return 0;
}

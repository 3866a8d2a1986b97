// Torvane.cfg as the program reads it at start, and what it writes back at close: the bytes
// written for what was read read back as the same settings, so a second write changes nothing.

#include "FuzzSupport.h"
#include "core/ConfigFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::scratch() + QStringLiteral("/Torvane.cfg");
    fuzz::writeFile(path, fuzz::bytes(data, size));
    torvane::ProgramValues values;
    FUZZ_CHECK(torvane::readConfigFile(path, values));
    const torvane::WindowPlacement window{values.WindowLeft, values.WindowTop, values.WindowWidth};
    const QByteArray written = torvane::configFileBytes(values, window);

    fuzz::writeFile(path, written);
    torvane::ProgramValues again;
    FUZZ_CHECK(torvane::readConfigFile(path, again));
    const torvane::WindowPlacement window2{again.WindowLeft, again.WindowTop, again.WindowWidth};
    FUZZ_CHECK(torvane::configFileBytes(again, window2) == written);
    return 0;
}

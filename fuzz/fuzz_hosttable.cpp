// Hosts.cfg as the program reads it, and the addresses made from it.

#include "FuzzSupport.h"
#include "core/HostTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::scratch() + QStringLiteral("/Hosts.cfg");
    fuzz::writeFile(path, fuzz::bytes(data, size));
    const torvane::HostTable hosts = torvane::HostTable::fromFile(path);
    for (const char *name : {"eham", "qrz", "qrzcq", "callook", "hamcall", "qrzpictures",
                             "geocoder", "maps", "maker"})
        FUZZ_CHECK(!hosts.host(QString::fromLatin1(name)).endsWith(u'/'));
    for (int source = -1; source <= 5; ++source)
        FUZZ_CHECK(torvane::sourceInfo(source, hosts).name.isEmpty() == (source < 0 || source > 4));
    return 0;
}
